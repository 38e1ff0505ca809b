#include "anim/animation_timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

std::int32_t ClampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

AnimationTiming::AnimationTiming(const CItemList& list, bool firstFrameExcluded) {
    delays_.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) delays_.push_back(list.Item(i)->frameInfo.delay);
    Rebuild(list, false, firstFrameExcluded);
}

void AnimationTiming::Rebuild(const CItemList& list, bool limitToSelected,
                              bool firstFrameExcluded) {
    limit_to_selected_ = limitToSelected;
    first_frame_excluded_ = firstFrameExcluded;
    frames_.clear();
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool firstEligible = true;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM& item = *list.Item(i);
        if (limitToSelected && !item.IsSelected()) continue;
        // The list may have grown since opening; its new items start with their own delays.
        if (static_cast<std::size_t>(i) >= delays_.size())
            delays_.resize(static_cast<std::size_t>(i) + 1, item.frameInfo.delay);
        if (const DibHeader* header = item.Image().header) {
            width = std::max(width, std::int64_t{item.x} + header->biWidth);
            height =
                std::max(height, std::int64_t{item.y} + std::abs(std::int64_t{header->biHeight}));
        }
        if (firstEligible && firstFrameExcluded) {
            firstEligible = false;
            continue;
        }
        frames_.push_back(i);
    }
    bounding_width_ = ClampToInt(width);
    bounding_height_ = ClampToInt(height);
    current_ = 0;
    if (firstFrameExcluded) pending_dispose_ = 1;
    Recount();
}

void AnimationTiming::Recount() {
    std::uint32_t total = 0;
    for (int item : frames_) total += delays_[static_cast<std::size_t>(item)];
    total_ = total;
}

int AnimationTiming::FrameItem(std::uint32_t frame) const {
    return frame < frames_.size() ? frames_[frame] : -1;
}

std::uint32_t AnimationTiming::FrameDelay(std::uint32_t frame) const {
    return frame < frames_.size() ? delays_[static_cast<std::size_t>(frames_[frame])] : 0;
}

std::optional<AnimationTiming::FrameStep> AnimationTiming::ShowFrame(const CItemList& list,
                                                                     std::uint32_t frame) {
    const tagILVITEM* item = list.Item(FrameItem(frame));
    if (!item) return std::nullopt;
    current_ = frame;
    const FrameStep step{frames_[frame], pending_dispose_};
    pending_dispose_ = item->frameInfo.disposeOp;
    return step;
}

std::optional<std::uint32_t> AnimationTiming::FirstFrame() const {
    if (frames_.empty()) return std::nullopt;
    return 0;
}

std::optional<std::uint32_t> AnimationTiming::LastFrame() const {
    if (frames_.empty()) return std::nullopt;
    return FrameCount() - 1;
}

std::optional<std::uint32_t> AnimationTiming::PreviousFrame() const {
    if (frames_.empty() || current_ == 0) return std::nullopt;
    return current_ - 1;
}

std::optional<std::uint32_t> AnimationTiming::NextFrame() const {
    if (current_ + 1 >= frames_.size()) return std::nullopt;
    return current_ + 1;
}

std::optional<std::uint32_t> AnimationTiming::FrameOfTrackPosition(std::int64_t position) const {
    if (position < 1 || position > static_cast<std::int64_t>(frames_.size())) return std::nullopt;
    return static_cast<std::uint32_t>(position - 1);
}

bool AnimationTiming::Set(TimingMethod method, std::uint32_t value, std::uint32_t step) {
    std::vector<std::uint32_t> delays;
    delays.reserve(frames_.size());
    for (int item : frames_) delays.push_back(delays_[static_cast<std::size_t>(item)]);
    if (!ApplyTimingMethod(delays, current_, method, value, step)) return false;
    for (std::size_t i = 0; i < frames_.size(); ++i)
        delays_[static_cast<std::size_t>(frames_[i])] = delays[i];
    changed_ = true;
    Recount();
    return true;
}

int AnimationTiming::WriteBack(CItemList& list) const {
    if (!changed_) return 0;
    int written = 0;
    for (int index : frames_) {
        tagILVITEM* item = list.Item(index);
        if (!item) continue;
        item->frameInfo.delay = delays_[static_cast<std::size_t>(index)];
        ++written;
    }
    return written;
}

FrameSequence AnimationTiming::Sequence() const {
    std::vector<FrameSequence::Frame> frames;
    frames.reserve(frames_.size());
    for (int item : frames_) frames.push_back({item, delays_[static_cast<std::size_t>(item)]});
    return FrameSequence(std::move(frames));
}

std::string AnimationTiming::CounterText() const {
    return FormatFrameCounter(frames_.empty() ? 0 : current_ + 1, FrameCount());
}

std::string AnimationTiming::TimesText() const {
    return FormatFrameTimes(FrameDelay(current_), total_);
}

std::string AnimationTiming::ValueText() const {
    return std::to_string(FrameDelay(current_) / 10);
}

std::string AnimationTiming::BoundingText() const {
    char text[64];
    std::snprintf(text, sizeof text, "Animation bounding: %dx%d", bounding_width_,
                  bounding_height_);
    return text;
}
