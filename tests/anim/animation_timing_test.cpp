#include "anim/animation_timing.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_items.h"

namespace {

using Delays = std::vector<std::uint32_t>;

// Five 4 x 4 items with delays 100, 200, ..., 500 ms.
class AnimationTimingTest : public testing::Test {
protected:
    AnimationTimingTest() {
        for (int i = 0; i < 5; ++i) {
            AddPicture(list, 4, 4);
            list.Item(i)->frameInfo.delay = 100u * static_cast<std::uint32_t>(i + 1);
        }
    }
    Delays ItemDelays() const {
        Delays delays;
        for (int i = 0; i < list.Count(); ++i) delays.push_back(list.Item(i)->frameInfo.delay);
        return delays;
    }
    static Delays FrameDelays(const AnimationTiming& timing) {
        Delays delays;
        for (std::uint32_t k = 0; k < timing.FrameCount(); ++k)
            delays.push_back(timing.FrameDelay(k));
        return delays;
    }
    CItemList list;
};

}  // namespace

TEST_F(AnimationTimingTest, SetWorksOnACopyUntilWriteBack) {
    AnimationTiming timing(list, false);
    ASSERT_EQ(timing.FrameCount(), 5u);
    EXPECT_EQ(timing.Total(), 1500u);
    EXPECT_EQ(timing.WriteBack(list), 0);  // nothing set yet

    ASSERT_TRUE(timing.ShowFrame(list, 2));
    ASSERT_TRUE(timing.Set(TimingMethod::EaseIn, 100, 30));
    EXPECT_EQ(FrameDelays(timing), (Delays{160, 130, 100, 70, 40}));
    EXPECT_EQ(timing.Total(), 500u);
    EXPECT_TRUE(timing.Changed());
    EXPECT_EQ(ItemDelays(), (Delays{100, 200, 300, 400, 500}));

    EXPECT_EQ(timing.WriteBack(list), 5);
    EXPECT_EQ(ItemDelays(), (Delays{160, 130, 100, 70, 40}));
}

TEST_F(AnimationTimingTest, TheExcludedFirstFrameIsLeftOutAndKeepsItsDelay) {
    AnimationTiming timing(list, true);
    ASSERT_EQ(timing.FrameCount(), 4u);
    EXPECT_EQ(timing.FrameItem(0), 1);
    EXPECT_EQ(timing.Total(), 1400u);
    // The canvas is cleared before frame 0 is drawn.
    EXPECT_EQ(timing.PendingDispose(), 1);
    ASSERT_TRUE(timing.Set(TimingMethod::Linear, 50, 0));
    timing.WriteBack(list);
    EXPECT_EQ(ItemDelays(), (Delays{100, 50, 50, 50, 50}));
}

TEST_F(AnimationTimingTest, LimitToSelectedKeepsEditedDelaysAndWritesOnlyItsFrames) {
    list.Item(3)->x = 10;  // 14 wide
    list.SetSelected(1, true);
    list.SetSelected(3, true);
    list.SetSelected(4, true);
    AnimationTiming timing(list, false);
    ASSERT_TRUE(timing.ShowFrame(list, 4));
    ASSERT_TRUE(timing.Set(TimingMethod::Distinct, 70, 0));

    timing.Rebuild(list, true, true);  // item 1 is the excluded first
    ASSERT_EQ(timing.FrameCount(), 2u);
    EXPECT_EQ(timing.FrameItem(0), 3);
    EXPECT_EQ(timing.CurrentFrame(), 0u);
    EXPECT_EQ(timing.Total(), 470u);  // item 4's edited 70 survived the rebuild
    // The bounding size covers the excluded item too.
    EXPECT_EQ(timing.BoundingWidth(), 14);
    EXPECT_EQ(timing.BoundingText(), "Animation bounding: 14x4");

    ASSERT_TRUE(timing.Set(TimingMethod::Linear, 20, 0));
    timing.WriteBack(list);
    EXPECT_EQ(ItemDelays(), (Delays{100, 200, 300, 20, 20}));
}

TEST_F(AnimationTimingTest, AnEmptyFrameListDoesNothingHarmful) {
    AddPicture(list, 2, 2);
    list.SetSelected(5, true);
    AnimationTiming timing(list, true);
    timing.Rebuild(list, true, true);
    EXPECT_TRUE(timing.Empty());
    EXPECT_FALSE(timing.ShowFrame(list, 0));
    EXPECT_FALSE(timing.FirstFrame());
    EXPECT_FALSE(timing.LastFrame());
    EXPECT_FALSE(timing.NextFrame());
    EXPECT_FALSE(timing.PreviousFrame());
    EXPECT_FALSE(timing.Set(TimingMethod::Linear, 10, 0));
    EXPECT_FALSE(timing.Changed());
    EXPECT_EQ(timing.CounterText(), "0/0");
    EXPECT_TRUE(timing.Sequence().Empty());
    EXPECT_FALSE(timing.Sequence().Next(0));
}

TEST_F(AnimationTimingTest, ShowingAFrameTakesThePendingDisposeAndNavigationStopsAtTheEnds) {
    list.Item(0)->frameInfo.disposeOp = 2;
    list.Item(1)->frameInfo.disposeOp = 1;
    AnimationTiming timing(list, false);
    auto step = timing.ShowFrame(list, 0);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->disposeBefore, 0);
    EXPECT_EQ(timing.PendingDispose(), 2);
    step = timing.ShowFrame(list, 1);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->item, 1);
    EXPECT_EQ(step->disposeBefore, 2);
    timing.ClearBeforeNextFrame();
    EXPECT_EQ(timing.ShowFrame(list, 1)->disposeBefore, 1);

    EXPECT_EQ(timing.CounterText(), "2/5");
    EXPECT_EQ(timing.TimesText(), "00:00.20/00:01.50");
    EXPECT_EQ(timing.ValueText(), "20");
    EXPECT_EQ(timing.PreviousFrame(), 0u);
    EXPECT_EQ(timing.NextFrame(), 2u);
    EXPECT_EQ(timing.LastFrame(), 4u);
    timing.ShowFrame(list, 4);
    EXPECT_FALSE(timing.NextFrame());
    timing.ShowFrame(list, 0);
    EXPECT_FALSE(timing.PreviousFrame());
    EXPECT_FALSE(timing.ShowFrame(list, 5));
    EXPECT_EQ(timing.CurrentFrame(), 0u);

    EXPECT_EQ(timing.FrameOfTrackPosition(1), 0u);
    EXPECT_EQ(timing.FrameOfTrackPosition(5), 4u);
    EXPECT_FALSE(timing.FrameOfTrackPosition(0));
    EXPECT_FALSE(timing.FrameOfTrackPosition(6));
}

TEST_F(AnimationTimingTest, TheSequenceIsASnapshotThatWrapsToFrameZero) {
    AnimationTiming timing(list, true);
    const SharedFrameSequence sequence = std::make_shared<const FrameSequence>(timing.Sequence());
    ASSERT_TRUE(timing.Set(TimingMethod::Linear, 10, 0));
    list.RemoveAllItems();  // a player holding the sequence does not see the list

    ASSERT_EQ(sequence->Count(), 4u);
    EXPECT_EQ(sequence->At(0)->item, 1);
    EXPECT_EQ(sequence->At(3)->delay, 500u);
    EXPECT_FALSE(sequence->At(4));
    EXPECT_EQ(sequence->Next(2), 3u);
    EXPECT_EQ(sequence->Next(3), 0u);

    // One frame plays again and again with its own delay.
    const FrameSequence one({{7, 40}});
    EXPECT_EQ(one.Next(0), 0u);
    EXPECT_EQ(one.At(*one.Next(0))->delay, 40u);
}
