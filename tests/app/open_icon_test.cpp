#include <gtest/gtest.h>

#include "app/application.h"
#include "app/open_flows.h"
#include "support/scripted_interaction.h"
#include "support/icon_bytes.h"
#include "support/test_files.h"

namespace {

TestEntry CursorEntry(std::uint16_t x, std::uint16_t y, std::uint8_t seed) {
    TestEntry entry;
    entry.width = entry.height = 4;
    entry.word4 = x;
    entry.word6 = y;
    entry.data = MakeDibBlock(4, 8, 8, 0, seed);
    return entry;
}

class OpenIcons : public testing::Test {
protected:
    ScratchDir dir;
    ScriptedInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(OpenIcons, IconAndCursorFilesOpenAsTheirCompilationType) {
    std::string ico = dir.File("a.ico"), cur = dir.File("b.CUR");
    WriteBytes(ico, MakeIconFileBytes(1, {CursorEntry(1, 8, 1), CursorEntry(1, 8, 2)}));
    WriteBytes(cur, MakeIconFileBytes(2, {CursorEntry(3, 2, 3)}));

    ui.fileChoices.push_back({ico});
    ASSERT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Compilation().Type(), CompilationIcon);
    ASSERT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(app.Items().Item(1)->frameInfo.hotspotX, 1);
    EXPECT_EQ(app.Items().Item(1)->frameInfo.hotspotY, 8);
    EXPECT_FALSE(app.IsModified());

    ui.fileChoices.push_back({cur});
    ASSERT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Compilation().Type(), CompilationCursor);
    ASSERT_EQ(app.Items().Count(), 1);
    EXPECT_EQ(app.Items().Item(0)->frameInfo.hotspotX, 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenIcons, FailuresAreReportedWithTheIconMessages) {
    // The second entry is broken: the first image stays, the file is named.
    std::string broken = dir.File("broken.ico");
    TestEntry bad = CursorEntry(0, 0, 2);
    bad.data.resize(20);
    WriteBytes(broken, MakeIconFileBytes(1, {CursorEntry(0, 0, 1), bad}));
    EXPECT_FALSE(ReadImageFile(app, broken.c_str()).read);
    EXPECT_EQ(app.Items().Count(), 1);
    std::string missing = dir.File("missing.cur");
    EXPECT_FALSE(ReadImageFile(app, missing.c_str()).read);
    std::string riffx = dir.File("x.ani");
    WriteBytes(riffx, {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'A', 'C', 'O', 'N'});
    EXPECT_FALSE(ReadImageFile(app, riffx.c_str()).read);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text,
              broken + "\nBad file format, contains illegal values or it is corrupted.");
    EXPECT_EQ(ui.messages[1].text, missing + "\nNo such file or directory");
    EXPECT_EQ(ui.messages[2].text, riffx +
                                       "\nIconmill cannot read this file.\nThis is not a valid "
                                       "file, or its format is not currently supported.");
    for (const auto& message : ui.messages) EXPECT_EQ(message.icon, MessageIcon::Exclamation);
}

TEST_F(OpenIcons, AnimatedCursorsAskAboutTheirSequenceAndFillTheOptions) {
    Bytes frame0 = MakeIconFileBytes(2, {CursorEntry(1, 1, 1)});
    Bytes frame1 = MakeIconFileBytes(2, {CursorEntry(2, 2, 2)});
    std::string ani = dir.File("a.ani");
    WriteBytes(
        ani, AniFileBytes({RiffList("INFO", {RiffChunk("INAM", {'N', 0})}),
                           RiffChunk("anih", AnihData(2, 3, 6, 3)),
                           RiffList("fram", {RiffChunk("icon", frame0), RiffChunk("icon", frame1)}),
                           RiffChunk("seq ", U32Values({1, 0, 1}))}));
    ui.fileChoices.push_back({ani});
    ui.answers.push_back(Answer::No);
    ASSERT_TRUE(OpenFiles(app, false));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(app.Items().Count(), 3);
    EXPECT_TRUE(app.Items().Item(2)->IsDuplicate());
    CAnimatedCursorCompilation* options = app.Compilation().AsAnimatedCursor();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->ani.name, "N");
    EXPECT_EQ(options->ani.imagesPerDirectory, 1);
    EXPECT_FALSE(app.IsModified());

    // The setting can answer for the user.
    app.settings.animatedCursorSequence = 1;
    ui.fileChoices.push_back({ani});
    ASSERT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(app.Items().Count(), 2);
}

TEST_F(OpenIcons, TheSequenceQuestionOrTheSettingDecidesWhetherTheSequenceIsFollowed) {
    Bytes frame0 = MakeIconFileBytes(2, {CursorEntry(1, 1, 1)});
    Bytes frame1 = MakeIconFileBytes(2, {CursorEntry(2, 2, 2)});
    std::string ani = dir.File("s.ani");
    WriteBytes(
        ani,
        AniFileBytes({RiffChunk("anih", AnihData(2, 4, 6, 3)),
                      RiffChunk("seq ", U32Values({0, 1, 0, 0})),
                      RiffList("fram", {RiffChunk("icon", frame0), RiffChunk("icon", frame1)})}));
    const std::string question =
        ani + "\nDo you want to ignore the duplicated images sequence and add only images once?";
    // Setting 0 asks: Yes ignores the sequence, No follows it.
    for (Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        app.Items().RemoveAllItems();
        ui.messages.clear();
        ui.answers = {answer};
        ASSERT_TRUE(ReadImageFile(app, ani.c_str()).read);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].id, kStrAniSequenceQuestion);
        EXPECT_EQ(ui.messages[0].text, question);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(app.Items().Count(), answer == Answer::Yes ? 2 : 4);
    }
    // Any other setting answers without asking: 1 once each, the rest follow.
    for (int setting : {1, 2, 5}) {
        SCOPED_TRACE(setting);
        app.settings.animatedCursorSequence = setting;
        app.Items().RemoveAllItems();
        ui.messages.clear();
        ASSERT_TRUE(ReadImageFile(app, ani.c_str()).read);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(app.Items().Count(), setting == 1 ? 2 : 4);
    }
}
