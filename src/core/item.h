// One image of a compilation: the item record and its frame information.
#pragma once

#include <cstdint>

#include "platform/bitmap_types.h"

constexpr std::uint32_t kDefaultFrameDelay = 600;  // milliseconds

// Timing, blending and hot spot of one item; a duplicate has its own.
struct FrameInfo {
    std::uint32_t delay = kDefaultFrameDelay;  // milliseconds
    std::int32_t blendOp = 0;                  // 0 copy (source), 1 over
    std::int32_t disposeOp = 0;                // 0 none, 1 background, 2 previous
    std::int16_t hotspotX = 0;                 // pixels from the left edge
    std::int16_t hotspotY = 0;                 // pixels from the top edge
};

constexpr std::int32_t kItemSelected = 1;  // flags bit 0

// An item of the list. An original owns its header, bits and mask blocks (malloc
// heap); a duplicate has none and shows its reference's, which is always an
// original. The list that holds the record owns it and, through it, the blocks;
// copies handed out by the list are views that own nothing.
struct tagILVITEM {
    std::int32_t flags = 0;  // bit 0 selected; bits 1 and 2 the view's highlights
    FrameInfo frameInfo;
    std::int32_t duplicateCount = 0;  // duplicates referring to this item
    tagILVITEM* reference = nullptr;  // the original, for a duplicate
    std::int32_t x = 0;               // position within the animation frame
    std::int32_t y = 0;
    DibHeader* header = nullptr;   // null on a duplicate
    std::uint8_t* bits = nullptr;  // null on a duplicate
    std::uint8_t* mask = nullptr;  // null without a mask and on a duplicate

    bool IsDuplicate() const { return reference != nullptr; }
    bool IsSelected() const { return (flags & kItemSelected) != 0; }
    // The record whose blocks make this item's picture.
    const tagILVITEM& Image() const { return reference ? *reference : *this; }
};
