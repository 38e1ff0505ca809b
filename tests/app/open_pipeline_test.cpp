#include <gtest/gtest.h>

#include "app/application.h"
#include "app/open_flows.h"
#include "support/scripted_interaction.h"
#include "support/bmp_bytes.h"
#include "support/test_files.h"

namespace {

const char* const kContinue = "Do you want to continue reading the remaining files?";

std::string CannotRead(const std::string& path) {
    return path +
           "\nIconmill cannot read this file.\nThis is not a valid file, or its format is not "
           "currently supported.";
}

// Counts the replacements of the compilation object (the window title follows them).
struct ReplacementCounter : AppListener {
    void OnCompilationReplaced() override { ++count; }
    int count = 0;
};

class OpenPipeline : public testing::Test {
protected:
    OpenPipeline() {
        app.SetListener(&replacements);
        WriteBytes(small, MakeBmp24(2, 3, 1, 2, 3));
        WriteBytes(wide, MakeBmp24(7, 2));
        WriteBytes(broken, {'B', 'M', 0, 0});
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }

    ScratchDir dir;
    std::string small = dir.File("small.BMP");
    std::string wide = dir.File("wide.dib");
    std::string broken = dir.File("broken.bmp");
    ScriptedInteraction ui;
    ReplacementCounter replacements;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(OpenPipeline, ReadImageFileAddsABitmapAndMarksTheCompilationModified) {
    ImageFileFormat format = FormatUnknown;
    ASSERT_TRUE(ReadImageFile(app, small.c_str(), &format).read);
    EXPECT_EQ(format, FormatBmp);
    ASSERT_EQ(app.Items().Count(), 1);
    const tagILVITEM* item = app.Items().Item(0);
    EXPECT_EQ(item->header->biWidth, 2);
    EXPECT_EQ(item->header->biHeight, 3);
    EXPECT_EQ(item->frameInfo.delay, 600u);
    EXPECT_EQ(item->mask, nullptr);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenPipeline, TheExtensionDecidesTheReader) {
    std::string readme = dir.File("README");
    WriteBytes(readme, MakeBmp24(3, 3));
    std::string pngInDib = dir.File("x.dib");
    WriteBytes(pngInDib,
               {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I',  'H',  'D',  'R', 0,
                0,    0,   1,   0,   0,    0,    1,    8,    2, 0, 0, 0,  0x90, 0x77, 0x53, 0xDE});
    EXPECT_FALSE(ReadImageFile(app, readme.c_str()).read);
    EXPECT_FALSE(ReadImageFile(app, pngInDib.c_str()).read);
    EXPECT_FALSE(ReadImageFile(app, nullptr).read);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{
                  CannotRead(readme),
                  pngInDib + "\nBad file format, contains illegal values or it is corrupted."}));
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_FALSE(app.IsModified());
}

TEST_F(OpenPipeline, OpenSeveralFilesGoesOnAfterAFailureWhenTheUserSaysYes) {
    ui.fileChoices.push_back({small, broken, wide});
    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(app.Items().Item(1)->header->biWidth, 7);
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_FALSE(app.IsModified());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, kContinue);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.messages[1].buttons, MessageButtons::YesNo);
    const FileDialogRequest& request = ui.fileRequests.at(0);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_EQ(request.title, "");
    EXPECT_EQ(
        request.filter.rfind("All Supported Formats|*.bmp;*.dib;*.png;*.psd;*.ico;*.cur;*.ani;*.svg;*.svgz|", 0),
        0u);
}

TEST_F(OpenPipeline, OpenPathsSaysWhetherEveryFileWasRead) {
    const struct {
        const char* what;
        std::vector<std::string> paths;
        std::deque<Answer> answers;
        bool completed;
        int failedFiles;
        int items;
    } cases[] = {
        {"all read", {small, wide}, {}, true, 0, 2},
        {"one failed, go on", {small, broken, wide}, {Answer::Yes}, true, 1, 2},
        {"one failed, stop", {small, broken, wide}, {Answer::No}, false, 1, 1},
        {"the last failed", {wide, broken}, {}, true, 1, 1},
        {"nothing to open", {}, {}, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        app.Items().RemoveAllItems();
        ui.messages.clear();
        ui.answers = c.answers;
        const OpenOutcome outcome = OpenPaths(app, c.paths, false);
        EXPECT_EQ(outcome.completed, c.completed);
        EXPECT_EQ(outcome.failedFiles, c.failedFiles);
        EXPECT_EQ(outcome.Succeeded(), c.completed && c.failedFiles == 0);
        EXPECT_EQ(app.Items().Count(), c.items);
        EXPECT_TRUE(ui.answers.empty());
    }
    EXPECT_TRUE(ui.fileRequests.empty());  // no dialog
}

TEST_F(OpenPipeline, OpenStopsWhenTheUserSaysNoAndAFailedLastFileAsksNothing) {
    ui.fileChoices.push_back({small, broken, wide});
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(OpenFiles(app, false));
    EXPECT_EQ(app.Items().Count(), 1);
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);

    ui.messages.clear();
    ui.fileChoices.push_back({wide, broken});
    EXPECT_TRUE(OpenFiles(app, true));
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(ui.messages.size(), 1u);  // the failure only
    EXPECT_EQ(ui.fileRequests.back().title, "Add");
}

TEST_F(OpenPipeline, ASingleFileChoosesTheCompilationByItsExtension) {
    std::string icon = dir.File("bad.ico");
    WriteBytes(icon, {'n', 'o', 't'});
    ui.fileChoices.push_back({icon});
    EXPECT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Compilation().Type(), CompilationIcon);
    ASSERT_NE(app.Compilation().Path(), nullptr);
    EXPECT_EQ(*app.Compilation().Path(), icon);
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_GE(replacements.count, 1);

    // Add keeps the type and marks the compilation modified.
    ui.fileChoices.push_back({small});
    EXPECT_TRUE(OpenFiles(app, true));
    EXPECT_EQ(app.Compilation().Type(), CompilationIcon);
    EXPECT_TRUE(app.IsModified());
}

TEST_F(OpenPipeline, ASinglePngThatFailsLeavesTypeNone) {
    std::string png = dir.File("empty.png");
    WriteBytes(png, {});
    ui.fileChoices.push_back({png});
    EXPECT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
}

TEST_F(OpenPipeline, CancellingTheDialogChangesNothing) {
    ASSERT_TRUE(ReadImageFile(app, small.c_str()).read);
    ui.answers.push_back(Answer::No);  // do not save
    EXPECT_FALSE(OpenFiles(app, false));
    EXPECT_EQ(app.Items().Count(), 1);
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(replacements.count, 0);
}

TEST_F(OpenPipeline, QuerySaveChangesAsksOnlyForAModifiedNonEmptyList) {
    app.SetModified();
    EXPECT_TRUE(QuerySaveChanges(app));
    EXPECT_TRUE(ui.messages.empty());

    ASSERT_TRUE(ReadImageFile(app, small.c_str()).read);
    ui.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(QuerySaveChanges(app));
    EXPECT_TRUE(QuerySaveChanges(app));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Do you want save changes to Untitled?");
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);

    app.ReplaceCompilation(MakeCompilation(CompilationCursor, "/some/where/arrow.cur"));
    app.SetModified();
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(QuerySaveChanges(app));
    EXPECT_EQ(ui.messages.back().text, "Do you want save changes to arrow.cur?");
}

TEST_F(OpenPipeline, NewCompilationEmptiesTheListAfterTheQuestion) {
    ASSERT_TRUE(ReadImageFile(app, small.c_str()).read);
    app.ReplaceCompilation(MakeCompilation(CompilationIcon, "/x.ico"));
    app.SetModified();
    ui.answers = {Answer::Cancel};
    NewCompilation(app);
    EXPECT_EQ(app.Items().Count(), 1);
    ui.answers = {Answer::No};
    NewCompilation(app);
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_FALSE(app.IsModified());
}

TEST_F(OpenPipeline, StartupFileTypesOnlyIconsAndCursors) {
    EXPECT_TRUE(OpenStartupFile(app, small.c_str()));
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_FALSE(app.IsModified());

    std::string missing = dir.File("missing.ani");
    EXPECT_FALSE(OpenStartupFile(app, missing.c_str()));
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_FALSE(OpenStartupFile(app, nullptr));
}

TEST_F(OpenPipeline, DroppedFilesAreAddedInOrderUntilTheUserStops) {
    app.ReplaceCompilation(MakeCompilation(CompilationCursor, "/x.cur"));
    ui.answers = {Answer::No};
    DropFiles(app, {small, broken, wide});
    EXPECT_EQ(app.Items().Count(), 1);
    EXPECT_EQ(app.Compilation().Type(), CompilationCursor);
    EXPECT_EQ(ui.messages.back().text, kContinue);

    ui.messages.clear();
    DropFiles(app, {"", wide, broken});
    EXPECT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(ui.messages.size(), 1u);
}
