#include "anim/timing_method.h"

#include <cstdio>
#include <limits>

namespace {

// Adding a step to a delay saturates: a wrapped sum would turn the slowest
// frame of a ramp into the fastest.
std::uint32_t Grow(std::uint32_t delay, std::uint32_t step) {
    const std::uint32_t sum = delay + step;
    return sum < delay ? std::numeric_limits<std::uint32_t>::max() : sum;
}

// The decreasing side: the running value drops by the step while it is
// greater than the step, then every remaining frame gets 0.
std::uint32_t Shrink(std::uint32_t& running, std::uint32_t step) {
    if (running > step) {
        running -= step;
        return running;
    }
    running = 0;
    return 0;
}

}  // namespace

bool ApplyTimingMethod(std::span<std::uint32_t> delays, std::uint32_t current, TimingMethod method,
                       std::uint32_t value, std::uint32_t step) {
    if (current >= delays.size()) return false;
    const std::size_t j = current;
    if (method == TimingMethod::Linear) {
        for (std::uint32_t& delay : delays) delay = value;
        return true;
    }
    delays[j] = value;
    if (method == TimingMethod::Distinct) return true;

    const bool growBackwards = method != TimingMethod::EaseOut;
    const bool growForwards = method != TimingMethod::EaseIn;
    std::uint32_t running = value;
    for (std::size_t i = j; i-- > 0;)
        delays[i] = growBackwards ? (running = Grow(running, step)) : Shrink(running, step);
    running = value;
    for (std::size_t i = j + 1; i < delays.size(); ++i)
        delays[i] = growForwards ? (running = Grow(running, step)) : Shrink(running, step);
    return true;
}

std::uint32_t TotalDelay(std::span<const std::uint32_t> delays) {
    std::uint32_t total = 0;
    for (std::uint32_t delay : delays) total += delay;
    return total;
}

std::string FormatFrameCounter(std::uint32_t frameNumber, std::uint32_t frameCount) {
    char text[32];
    std::snprintf(text, sizeof text, "%u/%u", frameNumber, frameCount);
    return text;
}

std::string FormatFrameTime(std::uint32_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u.%02u", milliseconds / 60000,
                  (milliseconds % 60000) / 1000, (milliseconds % 1000) / 10);
    return text;
}

std::string FormatFrameTimes(std::uint32_t delay, std::uint32_t total) {
    return FormatFrameTime(delay) + '/' + FormatFrameTime(total);
}
