#include "anim/frame_player.h"

#include <condition_variable>
#include <mutex>
#include <system_error>

struct FramePlayer::State {
    std::mutex lock;
    std::condition_variable changed;
    SharedFrameSequence sequence;
    std::uint32_t current = 0;
    bool awaitingShow = false;  // a frame was handed over and not yet shown
    bool stop = false;
    bool finished = false;
    HandOver handOver;
};

FramePlayer::FramePlayer()
    : launcher_([](std::function<void()> body) { return std::thread(std::move(body)); }) {}

FramePlayer::~FramePlayer() {
    Stop();
}

void FramePlayer::Run(const std::shared_ptr<State>& state) {
    std::unique_lock<std::mutex> lock(state->lock);
    while (!state->stop) {
        const SharedFrameSequence sequence = state->sequence;
        const std::optional<std::uint32_t> next = sequence ? sequence->Next(state->current)
                                                           : std::nullopt;
        if (!next) break;
        const std::uint32_t delay = sequence->At(*next)->delay;
        state->current = *next;
        state->awaitingShow = true;
        state->handOver(*next);
        // The frame's delay, counted from the hand-over; then the frame must
        // have been shown before the one after it is handed over.
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(delay);
        state->changed.wait_until(lock, due, [&] { return state->stop; });
        state->changed.wait(lock, [&] { return state->stop || !state->awaitingShow; });
    }
    state->finished = true;
    state->changed.notify_all();
}

bool FramePlayer::Start(SharedFrameSequence sequence, std::uint32_t current, HandOver handOver) {
    if (state_) return false;
    auto state = std::make_shared<State>();
    state->sequence = std::move(sequence);
    state->current = current;
    state->handOver = std::move(handOver);
    try {
        thread_ = launcher_([state] { Run(state); });
    } catch (const std::system_error&) {
        return false;
    }
    state_ = std::move(state);
    return true;
}

std::optional<std::uint32_t> FramePlayer::PendingFrame() const {
    if (!state_) return std::nullopt;
    const std::lock_guard<std::mutex> lock(state_->lock);
    if (!state_->awaitingShow) return std::nullopt;
    return state_->current;
}

void FramePlayer::Shown(std::uint32_t frame) {
    if (!state_) return;
    const std::lock_guard<std::mutex> lock(state_->lock);
    state_->current = frame;
    state_->awaitingShow = false;
    state_->changed.notify_all();
}

bool FramePlayer::Stop(std::chrono::milliseconds timeout) {
    if (!state_) return true;
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(state_->lock);
        state_->stop = true;
        state_->changed.notify_all();
        ended = state_->changed.wait_for(lock, timeout, [&] { return state_->finished; });
    }
    if (thread_.joinable()) {
        if (ended)
            thread_.join();
        else
            thread_.detach();
    }
    state_.reset();
    return ended;
}
