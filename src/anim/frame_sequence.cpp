#include "anim/frame_sequence.h"

std::optional<FrameSequence::Frame> FrameSequence::At(std::uint32_t index) const {
    if (index >= frames_.size()) return std::nullopt;
    return frames_[index];
}

std::optional<std::uint32_t> FrameSequence::Next(std::uint32_t index) const {
    if (frames_.empty()) return std::nullopt;
    return index + 1 < frames_.size() ? index + 1 : 0;
}
