// The playback thread of the animation preview. It walks an immutable frame
// sequence: it decides which frame comes next (the one after the frame shown
// last, 0 after the last one) and when (after the shown frame's delay), and
// hands "show frame k" to its owner through a callback that must only pass the
// request on to the owner's thread (post it) and return. Showing the frame is
// the owner's business; it tells the player with Shown(), and the player hands
// over no further frame until it has, so frames of delay 0 cannot pile up.
//
// Everything the thread touches lives in a state block it shares with the
// player: the sequence, the frame shown, the stop request and the callback. A
// stop request is taken under the block's lock, and the callback is only ever
// called under that lock before a stop request, so once Stop() has returned the
// callback is never called again, even by a thread that did not end in time
// and was let go. The owner calls every member from one thread of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "anim/frame_sequence.h"

class FramePlayer {
public:
    // Called on the playback thread with the frame to show next.
    using HandOver = std::function<void(std::uint32_t frame)>;
    // Starts the thread running `body`; throws std::system_error when no thread
    // can be made. Replaceable so that a failure to start can be shown.
    using Launcher = std::function<std::thread(std::function<void()> body)>;

    static constexpr std::chrono::milliseconds kStopTimeout{1000};

    FramePlayer();
    ~FramePlayer();
    FramePlayer(const FramePlayer&) = delete;
    FramePlayer& operator=(const FramePlayer&) = delete;

    void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

    // Starts playing `sequence` after frame `current` (the frame shown now).
    // False when a thread is already playing or none could be started.
    bool Start(SharedFrameSequence sequence, std::uint32_t current, HandOver handOver);
    // Started and not stopped (a thread whose sequence is empty ends by itself
    // but still counts until Stop).
    bool Playing() const { return state_ != nullptr; }

    // The frame handed over and not yet shown, if any; the owner's thread may
    // read it instead of carrying the frame from the callback itself.
    std::optional<std::uint32_t> PendingFrame() const;

    // The owner showed `frame` (handed over, or chosen by the user): playback
    // goes on after it, and the next frame may be handed over once the delay of
    // the frame handed over last has passed.
    void Shown(std::uint32_t frame);
    // Asks the thread to end and waits up to `timeout` for it. True when it
    // ended in time; a thread that did not is let go with its own state and
    // calls no callback any more. Nothing happens when not playing (true).
    bool Stop(std::chrono::milliseconds timeout = kStopTimeout);

private:
    struct State;
    static void Run(const std::shared_ptr<State>& state);

    Launcher launcher_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};
