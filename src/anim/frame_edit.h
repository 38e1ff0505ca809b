// Edits of an item's frame values - position, delay, blend and dispose ops, hot
// spot - and the duplicate of an item: what the Frame Properties and Set Hot Spot
// dialogs apply on OK and what the command-line tool sets. The application layer
// marks the compilation modified after them.
#pragma once

#include <cstdint>
#include <optional>

#include "core/item_list.h"

// The values to set; an absent one is left as it is.
struct FrameEdit {
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };
    struct HotSpot {
        std::int16_t x = 0;
        std::int16_t y = 0;
    };
    std::optional<Point> position;     // within the animation frame
    std::optional<std::uint32_t> delay;  // milliseconds
    std::optional<std::int32_t> blendOp;
    std::optional<std::int32_t> disposeOp;
    std::optional<HotSpot> hotSpot;  // pixels from the top left
};

// Applies the edit to the item at `index` (a duplicate keeps its own values);
// a new position makes the list recompute its bounding size and lay out. False
// when there is no item at `index`.
bool ApplyFrameEdit(CItemList& list, int index, const FrameEdit& edit);

// Applies the edit to every selected item, then recomputes the bounding size
// once. Returns how many items were changed.
int ApplyFrameEditToSelection(CItemList& list, const FrameEdit& edit);

// Appends a duplicate of the original of the item at `index` (the item itself,
// or its reference for a duplicate), with the original's frame values and
// position. The new index, or -1 when there is no item at `index`.
int AppendDuplicateOf(CItemList& list, int index);
