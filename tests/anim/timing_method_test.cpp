#include "anim/timing_method.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Delays = std::vector<std::uint32_t>;

}  // namespace

TEST(TimingMethod, EveryMethodAroundTheCurrentFrame) {
    struct Case {
        const char* name;
        TimingMethod method;
        std::uint32_t current;
        std::uint32_t value;
        std::uint32_t step;
        Delays expected;
    };
    const Delays before = {1, 2, 3, 4, 5};
    const Case cases[] = {
        {"distinct", TimingMethod::Distinct, 2, 70, 30, {1, 2, 70, 4, 5}},
        {"linear", TimingMethod::Linear, 2, 70, 30, {70, 70, 70, 70, 70}},
        // Slower before the current frame, faster after it.
        {"ease-in", TimingMethod::EaseIn, 2, 100, 30, {160, 130, 100, 70, 40}},
        // Once the running value is not above the step, the rest are 0.
        {"ease-in short", TimingMethod::EaseIn, 2, 50, 30, {110, 80, 50, 20, 0}},
        {"ease-in equal", TimingMethod::EaseIn, 0, 60, 30, {60, 30, 0, 0, 0}},
        // Frame 0: only it and the frames after it.
        {"ease-out first", TimingMethod::EaseOut, 0, 100, 30, {100, 130, 160, 190, 220}},
        {"ease-out last", TimingMethod::EaseOut, 4, 100, 30, {0, 10, 40, 70, 100}},
        {"ease-in-out", TimingMethod::EaseInOut, 2, 100, 30, {160, 130, 100, 130, 160}},
        {"zero step", TimingMethod::EaseIn, 2, 100, 0, {100, 100, 100, 100, 100}},
        {"zero value", TimingMethod::EaseIn, 2, 0, 0, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Delays delays = before;
        EXPECT_TRUE(ApplyTimingMethod(delays, c.current, c.method, c.value, c.step));
        EXPECT_EQ(delays, c.expected);
    }
}

TEST(TimingMethod, AGrowingRampStopsAtTheLargestDelay) {
    Delays delays(4, 0);
    ASSERT_TRUE(ApplyTimingMethod(delays, 3, TimingMethod::EaseIn, 0xFFFFFF00u, 0x80u));
    EXPECT_EQ(delays, (Delays{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFF80u, 0xFFFFFF00u}));
}

TEST(TimingMethod, ACurrentFrameOutsideTheListChangesNothing) {
    Delays delays = {5, 6};
    EXPECT_FALSE(ApplyTimingMethod(delays, 2, TimingMethod::Linear, 9, 0));
    EXPECT_EQ(delays, (Delays{5, 6}));
    Delays none;
    EXPECT_FALSE(ApplyTimingMethod(none, 0, TimingMethod::Distinct, 9, 0));
}

TEST(TimingMethod, TheTotalWrapsAndTheTimesAreMinutesSecondsHundredths) {
    EXPECT_EQ(TotalDelay(Delays{0xFFFFFFF0u, 0x20u}), 0x10u);
    EXPECT_EQ(TotalDelay(Delays{}), 0u);

    const std::pair<std::uint32_t, const char*> times[] = {
        {0, "00:00.00"},     {9, "00:00.00"},      {125, "00:00.12"},
        {61999, "01:01.99"}, {600000, "10:00.00"}, {0xFFFFFFFFu, "71582:47.29"},
    };
    for (const auto& [ms, text] : times) {
        SCOPED_TRACE(ms);
        EXPECT_EQ(FormatFrameTime(ms), text);
    }
    EXPECT_EQ(FormatFrameTimes(1500, 62340), "00:01.50/01:02.34");
    EXPECT_EQ(FormatFrameCounter(3, 12), "3/12");
}
