// The timing methods: one entered delay turned into the delays of one frame, of
// all frames, or of a ramp around the current frame; and the texts the timing
// display shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// In the order of the method list.
enum class TimingMethod : int {
    Distinct = 0,   // the current frame only
    Linear = 1,     // every frame
    EaseIn = 2,     // slower before the current frame, faster after it
    EaseOut = 3,    // faster before the current frame, slower after it
    EaseInOut = 4,  // the current frame is the fastest
};
constexpr int kTimingMethodCount = 5;

// Whether the method takes a step (Ease-in, Ease-out, Ease-in-out).
constexpr bool TimingMethodUsesStep(TimingMethod method) {
    return method == TimingMethod::EaseIn || method == TimingMethod::EaseOut ||
           method == TimingMethod::EaseInOut;
}

// Sets the delays (milliseconds, one per frame in animation order) from `value`
// for frame `current` with the method; `step` (milliseconds) is used by the
// ramps only. A ramp that grows away from the current frame adds the step once
// per frame (stopping at the largest delay rather than wrapping); one that
// shrinks subtracts it while the running value is greater than the step and
// gives 0 from the first frame where it is not. Nothing changes, and false is
// returned, when `current` is not a frame.
bool ApplyTimingMethod(std::span<std::uint32_t> delays, std::uint32_t current, TimingMethod method,
                       std::uint32_t value, std::uint32_t step);

// The sum of the delays, modulo 2^32 as the total display has always shown it.
std::uint32_t TotalDelay(std::span<const std::uint32_t> delays);

// "%u/%u": the frame number from 1 and the frame count.
std::string FormatFrameCounter(std::uint32_t frameNumber, std::uint32_t frameCount);
// "%02u:%02u.%02u": minutes, seconds and hundredths of `milliseconds`.
std::string FormatFrameTime(std::uint32_t milliseconds);
// "%s/%s": the frame's time and the total time, each as FormatFrameTime.
std::string FormatFrameTimes(std::uint32_t delay, std::uint32_t total);
