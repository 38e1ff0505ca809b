// The PNG path of the open pipeline, through the application object.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/open_flows.h"
#include "formats/png/png_test_support.h"
#include "support/scripted_interaction.h"
#include "support/test_files.h"

namespace {

Bytes Animation() {
    PngBuilder png;
    png.Ihdr(2, 2, 8, 0)
        .Actl(2, 3)
        .Fctl(0, 2, 2, 0, 0, 1, 10)
        .Chunk("IDAT", Compress(UnfilteredRows({{1, 2}, {3, 4}})));
    png.Fctl(1, 1, 1, 1, 1, 1, 2).Fdat(2, Compress(UnfilteredRows({{5}}))).Iend();
    return png.Data();
}

}  // namespace

TEST(PngOpen, AnAnimatedPngOpensAsAnAnimatedPngCompilation) {
    ScratchDir dir;
    const std::string path = dir.File("anim.PNG");
    WriteBytes(path, Animation());
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    ui.fileChoices.push_back({path});
    ASSERT_TRUE(OpenFiles(app, false));
    EXPECT_EQ(app.Compilation().Type(), CompilationAnimatedPng);
    ASSERT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(app.Items().Item(1)->frameInfo.delay, 500u);
    EXPECT_EQ(app.Compilation().numPlays, 3u);
    EXPECT_FALSE(app.Compilation().firstFrameExcluded);
    EXPECT_FALSE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(PngOpen, FailuresAreReportedWithThePngMessages) {
    ScratchDir dir;
    Bytes corrupt = Animation();
    corrupt[20] ^= 1;  // inside IHDR: its CRC no longer matches
    const std::string corruptPath = dir.File("corrupt.png");
    WriteBytes(corruptPath, corrupt);
    const std::string badPath = dir.File("bad.png");
    WriteBytes(badPath, PngBuilder().Ihdr(1, 1, 3, 2).Iend().Data());
    const std::string emptyPath = dir.File("empty.png");
    WriteBytes(emptyPath, {});
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    EXPECT_FALSE(ReadImageFile(app, corruptPath.c_str()).read);
    EXPECT_FALSE(ReadImageFile(app, badPath.c_str()).read);
    EXPECT_FALSE(ReadImageFile(app, emptyPath.c_str()).read);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, corruptPath + "\nThe file is corrupted.");
    EXPECT_EQ(ui.messages[1].text,
              badPath + "\nBad file format, contains illegal values or it is corrupted.");
    EXPECT_EQ(ui.messages[2].text,
              emptyPath +
                  "\nIconmill cannot read this file.\nThis is not a valid file, or its "
                  "format is not currently supported.");
    EXPECT_EQ(app.Items().Count(), 0);
}
