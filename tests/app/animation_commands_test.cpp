#include "app/animation_commands.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

const char* const kInteger = "Please enter an integer value.";

class AnimationCommands : public testing::Test {
protected:
    AnimationCommands() {
        for (int i = 0; i < 5; ++i) AddPicture(app.Items(), 4, 4);
        app.ClearModified();
    }
    std::vector<std::uint32_t> Delays() const {
        std::vector<std::uint32_t> delays;
        for (int i = 0; i < app.Items().Count(); ++i)
            delays.push_back(app.Items().Item(i)->frameInfo.delay);
        return delays;
    }
    ScriptedInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(AnimationCommands, SetReadsTheValueThenTheStepOfTheRamps) {
    struct Case {
        TimingMethod method;
        const char* value;
        const char* step;
        TimingField field;
        std::vector<std::uint32_t> delays;  // of the five frames after SET at frame 2
    };
    const std::vector<std::uint32_t> untouched(5, kDefaultFrameDelay);
    const Case cases[] = {
        {TimingMethod::EaseIn, "10", "3", TimingField::None, {160, 130, 100, 70, 40}},
        {TimingMethod::EaseIn, "5", "3", TimingField::None, {110, 80, 50, 20, 0}},
        {TimingMethod::Distinct, "7", "", TimingField::None, {600, 600, 70, 600, 600}},
        {TimingMethod::Linear, " 0", "x", TimingField::None, {0, 0, 0, 0, 0}},
        {TimingMethod::EaseInOut,
         "9999",
         "0",
         TimingField::None,
         {99990, 99990, 99990, 99990, 99990}},
        {TimingMethod::Distinct, "", "3", TimingField::Value, untouched},
        {TimingMethod::EaseIn, "-1", "3", TimingField::Value, untouched},
        {TimingMethod::Linear, "1.5", "3", TimingField::Value, untouched},
        {TimingMethod::Linear, "429496730", "3", TimingField::Value, untouched},  // x 10 overflows
        {TimingMethod::EaseOut, "10", "", TimingField::Step, untouched},
        {TimingMethod::EaseOut, "10", "3 ", TimingField::Step, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.method) << " \"" << c.value << "\" \"" << c.step << '"');
        ScriptedInteraction local;
        std::optional<AnimationTiming> timing = OpenAnimationTiming(app);
        ASSERT_TRUE(timing);
        timing->ShowFrame(app.Items(), 2);
        EXPECT_EQ(AcceptTimingSet(local, c.method, c.value, c.step, &*timing), c.field);
        std::vector<std::uint32_t> delays;
        for (std::uint32_t k = 0; k < 5; ++k) delays.push_back(timing->FrameDelay(k));
        EXPECT_EQ(delays, c.delays);
        EXPECT_EQ(timing->Changed(), c.field == TimingField::None);
        if (c.field == TimingField::None) {
            EXPECT_TRUE(local.messages.empty());
        } else {
            ASSERT_EQ(local.messages.size(), 1u);
            EXPECT_EQ(local.messages[0].id, kStrIntegerValue);
            EXPECT_EQ(local.messages[0].text, kInteger);
        }
    }
    EXPECT_TRUE(TimingMethodUsesStep(TimingMethod::EaseInOut));
    EXPECT_FALSE(TimingMethodUsesStep(TimingMethod::Linear));
}

TEST_F(AnimationCommands, OkWritesOnlyAfterSetAndMarksTheCompilation) {
    app.Compilation().firstFrameExcluded = true;
    std::optional<AnimationTiming> timing = OpenAnimationTiming(app);
    ASSERT_TRUE(timing);
    EXPECT_FALSE(ApplyAnimationTiming(app, *timing));
    EXPECT_FALSE(app.IsModified());

    ASSERT_EQ(AcceptTimingSet(ui, TimingMethod::Linear, "3", "", &*timing), TimingField::None);
    EXPECT_EQ(Delays(), std::vector<std::uint32_t>(5, kDefaultFrameDelay));
    EXPECT_TRUE(ApplyAnimationTiming(app, *timing));
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(Delays(), (std::vector<std::uint32_t>{600, 30, 30, 30, 30}));
}

TEST_F(AnimationCommands, OpeningRefusesAnEmptyFrameListAndOptionsRebuildIt) {
    CIconmillApp empty(ui);
    EXPECT_FALSE(OpenAnimationTiming(empty));
    EXPECT_TRUE(ui.messages.empty());  // no items: the command does nothing

    CIconmillApp single(ui);
    AddPicture(single.Items(), 4, 4);
    single.Compilation().firstFrameExcluded = true;
    EXPECT_FALSE(OpenAnimationTiming(single));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrImproperArgument);
    EXPECT_EQ(ui.messages[0].text, "Encountered an improper argument.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);

    EXPECT_FALSE(CanLimitTimingToSelected(app));
    app.Items().SetSelected(3, true);
    EXPECT_TRUE(CanLimitTimingToSelected(app));
    std::optional<AnimationTiming> timing = OpenAnimationTiming(app);
    ASSERT_TRUE(timing);
    EXPECT_FALSE(RefreshTimingAfterOptions(app, *timing));
    app.Compilation().firstFrameExcluded = true;
    EXPECT_TRUE(RefreshTimingAfterOptions(app, *timing));
    EXPECT_EQ(timing->FrameCount(), 4u);
}

TEST_F(AnimationCommands, AnimationOptionsFillCheckAndApply) {
    app.Compilation().numPlays = 3;
    AnimationOptionsForm form = AnimationOptionsFormOf(app.Compilation());
    EXPECT_EQ(form.plays, "3");
    EXPECT_FALSE(form.infinite);
    EXPECT_TRUE(PlaysEditEnabled(form));
    app.Compilation().numPlays = 0;
    EXPECT_TRUE(AnimationOptionsFormOf(app.Compilation()).infinite);

    struct Case {
        const char* plays;
        bool infinite;
        AnimationOptionsField field;
        std::uint32_t stored;
    };
    const Case cases[] = {
        {"12", false, AnimationOptionsField::None, 12},
        {"0", false, AnimationOptionsField::None, 0},
        {"4294967295", false, AnimationOptionsField::None, 4294967295u},
        {"junk", true, AnimationOptionsField::None, 0},  // Infinite ignores the edit
        {"", false, AnimationOptionsField::Plays, 77},
        {"4294967296", false, AnimationOptionsField::Plays, 77},
        {"-2", false, AnimationOptionsField::Plays, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plays);
        ScriptedInteraction local;
        AnimationOptions options{77, false};
        EXPECT_EQ(AcceptAnimationOptions(local, {c.plays, c.infinite, true}, &options), c.field);
        EXPECT_EQ(options.plays, c.stored);
        EXPECT_EQ(options.excludeFirstFrame, c.field == AnimationOptionsField::None);
        if (c.field == AnimationOptionsField::None) {
            EXPECT_TRUE(local.messages.empty());
        } else {
            ASSERT_EQ(local.messages.size(), 1u);
            EXPECT_EQ(local.messages[0].text, kInteger);
        }
    }

    ApplyAnimationOptions(app, {0, false});  // the same values still mark the compilation
    EXPECT_TRUE(app.IsModified());
    ApplyAnimationOptions(app, {5, true});
    EXPECT_EQ(app.Compilation().numPlays, 5u);
    EXPECT_TRUE(app.Compilation().firstFrameExcluded);
}

TEST_F(AnimationCommands, AnimatedCursorOptionsTakeACountFrom1To99) {
    struct Case {
        const char* count;
        AniOptionsField field;
        int stored;
    };
    const Case cases[] = {
        {"1", AniOptionsField::None, 1},    {"99", AniOptionsField::None, 99},
        {"07", AniOptionsField::None, 7},   {"0", AniOptionsField::Count, 4},
        {"100", AniOptionsField::Count, 4}, {"", AniOptionsField::Count, 4},
        {"x", AniOptionsField::Count, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        ScriptedInteraction local;
        AniSaveOptions options{"old", "old", 4, true};
        EXPECT_EQ(AcceptAniOptions(local, {"Walk", "Me", c.count, false}, &options), c.field);
        EXPECT_EQ(options.imagesPerDirectory, c.stored);
        const bool accepted = c.field == AniOptionsField::None;
        EXPECT_EQ(options.name, accepted ? "Walk" : "old");
        EXPECT_EQ(options.individualRates, !accepted);
        if (accepted) {
            EXPECT_TRUE(local.messages.empty());
        } else {
            ASSERT_EQ(local.messages.size(), 1u);
            EXPECT_EQ(local.messages[0].id, kStrValueRange);
            EXPECT_EQ(local.messages[0].text, "Please enter a value between 1 and 99.");
        }
    }
    const AniOptionsForm form = AniOptionsFormOf(AniSaveOptions{});
    EXPECT_EQ(form.imagesPerDirectory, "1");
    EXPECT_TRUE(form.individualRates);

    const AniSaveOptions chosen{"Walk", "Me", 2, false};
    EXPECT_FALSE(ApplyAnimatedCursorOptions(app, chosen));  // not an animated cursor
    app.ReplaceCompilation(MakeCompilation(CompilationAnimatedCursor, "a.ani"));
    app.ClearModified();
    EXPECT_TRUE(ApplyAnimatedCursorOptions(app, AniSaveOptions{}));
    EXPECT_FALSE(app.IsModified());  // unchanged
    EXPECT_TRUE(ApplyAnimatedCursorOptions(app, chosen));
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(app.Compilation().AsAnimatedCursor()->ani.artist, "Me");
}
