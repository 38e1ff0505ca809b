// The frames a player walks: item indices with their delays, fixed when made.
// A playback thread holds one by value or through a shared_ptr to const; it
// never reads the item list, so the list may change under the dialog while the
// thread runs (the dialog hands it a new sequence, or stops it, when it does).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class FrameSequence {
public:
    struct Frame {
        int item = 0;             // index in the item list when the sequence was made
        std::uint32_t delay = 0;  // milliseconds
    };

    FrameSequence() = default;
    explicit FrameSequence(std::vector<Frame> frames) : frames_(std::move(frames)) {}

    std::uint32_t Count() const { return static_cast<std::uint32_t>(frames_.size()); }
    bool Empty() const { return frames_.empty(); }
    // The frame at `index`, or nullopt outside the sequence.
    std::optional<Frame> At(std::uint32_t index) const;
    // The frame shown after `index`: the next one, 0 after the last (playback
    // never ends by itself); nullopt for an empty sequence. An index outside
    // the sequence also continues at 0.
    std::optional<std::uint32_t> Next(std::uint32_t index) const;

private:
    std::vector<Frame> frames_;
};

using SharedFrameSequence = std::shared_ptr<const FrameSequence>;
