// The working state of the animation timing editor: the frame list (the items
// that take part in the animation, in list order), a private copy of every
// item's delay, the current frame, the total and the dispose op pending before
// the next frame is drawn. The items change only through WriteBack.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "anim/frame_sequence.h"
#include "anim/timing_method.h"
#include "core/item_list.h"

class AnimationTiming {
public:
    // Opening: copies every item's delay and builds the frame list with "Limit
    // to selected items" off.
    AnimationTiming(const CItemList& list, bool firstFrameExcluded);

    // Rebuilds the frame list: every item when `limitToSelected` is off, else the
    // selected ones; the first of them is left out when `firstFrameExcluded` is
    // set, and then the canvas is to be cleared before the next frame is drawn.
    // The bounding size covers every eligible item, the left-out one included.
    // Edited delays are kept. The current frame becomes 0; the caller shows it.
    void Rebuild(const CItemList& list, bool limitToSelected, bool firstFrameExcluded);

    std::uint32_t FrameCount() const { return static_cast<std::uint32_t>(frames_.size()); }
    bool Empty() const { return frames_.empty(); }
    std::uint32_t CurrentFrame() const { return current_; }
    // The item index of a frame, or -1 outside the frame list.
    int FrameItem(std::uint32_t frame) const;
    // The working delay (milliseconds) of a frame, 0 outside the frame list.
    std::uint32_t FrameDelay(std::uint32_t frame) const;
    // The sum of the frames' working delays, modulo 2^32.
    std::uint32_t Total() const { return total_; }
    // The largest x + width and y + |height| over the eligible items (the image
    // of a duplicate's reference), clamped to the int range; 0 x 0 for none.
    std::int32_t BoundingWidth() const { return bounding_width_; }
    std::int32_t BoundingHeight() const { return bounding_height_; }
    bool LimitToSelected() const { return limit_to_selected_; }
    bool FirstFrameExcluded() const { return first_frame_excluded_; }
    // Whether a timing method was applied since opening.
    bool Changed() const { return changed_; }
    // The dispose op to apply to the canvas before the next frame is drawn:
    // 0 none, 1 fill with the background, 2 restore the canvas saved before the
    // last frame was drawn.
    std::int32_t PendingDispose() const { return pending_dispose_; }

    // What showing a frame draws: the item (its reference's image for a
    // duplicate, at the item's own position and blend op) after applying
    // `disposeBefore` to the canvas.
    struct FrameStep {
        int item = 0;
        std::int32_t disposeBefore = 0;
    };
    // Makes `frame` the current frame and takes the pending dispose op; the
    // item's own dispose op becomes the pending one. Nullopt (nothing changes)
    // outside the frame list.
    std::optional<FrameStep> ShowFrame(const CItemList& list, std::uint32_t frame);
    // The preview's background changed: the canvas is cleared before the
    // current frame is drawn again.
    void ClearBeforeNextFrame() { pending_dispose_ = 1; }

    // Navigation targets; nullopt when the button does nothing.
    std::optional<std::uint32_t> FirstFrame() const;
    std::optional<std::uint32_t> LastFrame() const;
    std::optional<std::uint32_t> PreviousFrame() const;
    std::optional<std::uint32_t> NextFrame() const;
    // The frame of a track bar position (1 to the frame count).
    std::optional<std::uint32_t> FrameOfTrackPosition(std::int64_t position) const;

    // SET: applies the method at the current frame with `value` and `step` in
    // milliseconds, recomputes the total and sets the changed flag. False, with
    // nothing changed, when the frame list is empty.
    bool Set(TimingMethod method, std::uint32_t value, std::uint32_t step);

    // OK: when changed, writes each frame's working delay into its item's
    // frame info; items outside the frame list keep theirs. Returns how many
    // items were written.
    int WriteBack(CItemList& list) const;

    // The frames and their working delays as they are now, for a player.
    FrameSequence Sequence() const;

    // The displays of the current frame: the counter "%u/%u", the times
    // "%s/%s" of the frame and the total, the value edit (its delay in
    // hundredths), and the preview label "Animation bounding: %dx%d". With an
    // empty frame list the counter reads "0/0" and the frame's time and value 0.
    std::string CounterText() const;
    std::string TimesText() const;
    std::string ValueText() const;
    std::string BoundingText() const;

private:
    void Recount();

    std::vector<int> frames_;            // item indices
    std::vector<std::uint32_t> delays_;  // working delays, by item index
    std::uint32_t current_ = 0;
    std::uint32_t total_ = 0;
    std::int32_t bounding_width_ = 0;
    std::int32_t bounding_height_ = 0;
    std::int32_t pending_dispose_ = 0;
    bool limit_to_selected_ = false;
    bool first_frame_excluded_ = false;
    bool changed_ = false;
};
