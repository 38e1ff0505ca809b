#include "app/save_flows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "formats/icon/icon_file.h"
#include "support/scripted_interaction.h"
#include "support/test_files.h"
#include "support/test_items.h"

namespace {

// The fields of an fcTL chunk, as stored.
struct FrameControl {
    std::uint32_t width, height, x, y;
    std::uint16_t delayNumerator, delayDenominator;
    std::uint8_t dispose, blend;
};

std::uint32_t Big32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The IHDR size and the fcTL records of a PNG file, walked chunk by chunk.
struct PngChunks {
    std::uint32_t width = 0, height = 0;
    std::uint32_t frames = 0, plays = 0;  // acTL
    std::vector<FrameControl> controls;
    std::vector<std::string> order;  // chunk types in file order
};

PngChunks WalkPng(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    PngChunks out;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = Big32(&bytes[at]);
        const std::string type(bytes.begin() + static_cast<long>(at) + 4,
                               bytes.begin() + static_cast<long>(at) + 8);
        const std::uint8_t* data = &bytes[at + 8];
        out.order.push_back(type);
        if (type == "IHDR") {
            out.width = Big32(data);
            out.height = Big32(data + 4);
        } else if (type == "acTL") {
            out.frames = Big32(data);
            out.plays = Big32(data + 4);
        } else if (type == "fcTL") {
            out.controls.push_back(
                {Big32(data + 4), Big32(data + 8), Big32(data + 12), Big32(data + 16),
                 static_cast<std::uint16_t>(data[20] << 8 | data[21]),
                 static_cast<std::uint16_t>(data[22] << 8 | data[23]), data[24], data[25]});
        }
        at += 12 + length;
    }
    return out;
}

std::vector<IconImage> ReadIcon(const std::string& path, IconResult* result) {
    std::vector<IconImage> images;
    *result = ReadIconFile(path.c_str(), [&](IconImage& image) {
        images.push_back(std::move(image));
        return true;
    });
    return images;
}

SaveDialogChoice Choice(const std::string& path, SaveTarget target, bool ask = false) {
    return SaveDialogChoice{path, target, ask};
}

class SaveFlows : public testing::Test {
protected:
    CItemList& List() { return app.Items(); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }
    bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

    ScratchDir dir;
    ScriptedInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(SaveFlows, SaveWithNothingToWriteAsksNothing) {
    EXPECT_FALSE(SaveCompilation(app));  // empty list
    AddPicture(List(), 4, 4);
    app.ClearModified();
    EXPECT_TRUE(SaveCompilation(app));  // nothing changed
    EXPECT_TRUE(ui.saveRequests.empty());

    // Type none goes through Save As, which starts at "Untitled"; Cancel is false.
    app.SetModified();
    EXPECT_FALSE(SaveCompilation(app));
    ASSERT_EQ(ui.saveRequests.size(), 1u);
    EXPECT_EQ(ui.saveRequests[0].fileName, "Untitled");
    EXPECT_EQ(ui.saveRequests[0].itemCount, 1u);
    EXPECT_TRUE(app.IsModified());
}

TEST_F(SaveFlows, SaveOfAnIconWritesToItsPathWithoutADialog) {
    const std::string path = dir.File("a.ico");
    app.ReplaceCompilation(MakeCompilation(CompilationCursor, path));
    NewItem item = MakePictureItem(16, 16, 8, 3, true, 0xF0);
    item.frameInfo.hotspotX = 4;
    item.frameInfo.hotspotY = 9;
    List().AddItem(std::move(item));
    app.SetModified();
    ASSERT_TRUE(SaveCompilation(app));
    EXPECT_FALSE(app.IsModified());
    EXPECT_TRUE(ui.saveRequests.empty());
    EXPECT_TRUE(ui.messages.empty());
    IconResult result;
    std::vector<IconImage> images = ReadIcon(path, &result);
    ASSERT_EQ(result, IconOk);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].hotspotX, 4);
    EXPECT_EQ(images[0].hotspotY, 9);
    EXPECT_EQ(images[0].header->biBitCount, 8);
    ASSERT_NE(images[0].mask, nullptr);
    EXPECT_EQ(images[0].mask.get()[0], 0xF0);
}

TEST_F(SaveFlows, SaveOfAnAnimatedPngAsksForItsOptionsTheFirstTimeOnly) {
    const std::string path = dir.File("anim.png");
    app.ReplaceCompilation(MakeCompilation(CompilationAnimatedPng, path));
    app.Compilation().numPlays = 7;
    AddPicture(List(), 2, 2, 24, 1);
    AddPicture(List(), 2, 2, 24, 2);
    app.SetModified();
    PngSaveOptions chosen;
    chosen.interlaced = true;
    chosen.filter = 2;
    ui.pngOptions.push_back(chosen);
    ASSERT_TRUE(SaveCompilation(app));
    ASSERT_EQ(ui.pngOptionsShown.size(), 1u);
    EXPECT_EQ(ui.pngOptionsShown[0].filter, PngFilterOptionBest);  // the dialog's defaults
    EXPECT_FALSE(app.Compilation().askForOptions);
    EXPECT_TRUE(app.Compilation().AsAnimatedPng()->png.interlaced);
    EXPECT_EQ(WalkPng(path).plays, 7u);

    app.SetModified();
    ASSERT_TRUE(SaveCompilation(app));
    EXPECT_EQ(ui.pngOptionsShown.size(), 1u);
    EXPECT_TRUE(app.Compilation().AsAnimatedPng()->png.interlaced);
    EXPECT_EQ(app.Compilation().AsAnimatedPng()->png.filter, 2);

    // Cancel of the options dialog writes nothing and keeps the flags.
    ScriptedInteraction otherUi;
    CIconmillApp other(otherUi);
    other.ReplaceCompilation(MakeCompilation(CompilationAnimatedCursor, dir.File("x.ani")));
    AddPicture(other.Items(), 2, 2);
    other.SetModified();
    otherUi.aniOptions.push_back(std::nullopt);
    EXPECT_FALSE(SaveCompilation(other));
    EXPECT_TRUE(other.IsModified());
    EXPECT_TRUE(other.Compilation().askForOptions);
    EXPECT_FALSE(Exists(dir.File("x.ani")));
}

TEST_F(SaveFlows, SaveAsASeriesNamesTheFilesByTheCounter) {
    app.ReplaceCompilation(MakeCompilation(CompilationIcon, "/elsewhere/old.name.ico"));
    // Widths 11, 12, 13 (a BMP file has at least 66 bytes).
    for (int w : {11, 12, 13}) AddPicture(List(), w, 1);
    const std::string path = dir.File("x.bmp");
    ui.saveChoices.push_back(Choice(path, SaveTargetBmpSeries));
    EXPECT_TRUE(SaveCompilationAs(app));
    EXPECT_EQ(ui.saveRequests[0].fileName, "old.name");
    EXPECT_EQ(ui.saveRequests[0].itemCount, 3u);
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_FALSE(app.IsModified());
    const std::string names[] = {path, dir.File("x002.bmp"), dir.File("x003.bmp")};
    for (int i = 0; i < 3; ++i) {
        HeaderBlock header;
        Block bits;
        ASSERT_EQ(ReadBmpFile(names[i].c_str(), &header, &bits), ImageOk) << names[i];
        EXPECT_EQ(header->biWidth, i + 11);
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(SeriesFileName("/i/", "icon", 1000, SaveTargetPngSeries), "/i/icon1000.png");
}

TEST_F(SaveFlows, TheReplaceQuestionSkipsOrEndsTheSeries) {
    struct Case {
        Answer answer;
        std::vector<int> widthsOnDisk;  // of x.bmp, x002.bmp, x003.bmp; 0 none, 19 the old file
    };
    const Case cases[] = {
        {Answer::Yes, {11, 12, 13}},
        {Answer::No, {11, 19, 13}},
        {Answer::Cancel, {11, 19, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ScratchDir scratch;
        ScriptedInteraction seriesUi;
        CIconmillApp seriesApp(seriesUi);
        for (int w : {11, 12, 13}) AddPicture(seriesApp.Items(), w, 1);
        const std::string second = scratch.File("x002.bmp");
        NewItem old = MakePictureItem(19, 1);
        ASSERT_EQ(WriteBmpFile(second.c_str(), old.header.get(), old.bits.get()), ImageOk);
        seriesUi.answers.push_back(c.answer);
        const SeriesOutcome outcome =
            SaveSeries(seriesApp, SaveTargetBmpSeries, scratch.File("x.bmp"), false, false);
        EXPECT_EQ(outcome.cancelled, c.answer == Answer::Cancel);
        ASSERT_EQ(seriesUi.messages.size(), 1u);
        EXPECT_EQ(seriesUi.messages[0].text,
                  second + " already exists.\nDo you want to replace it?");
        EXPECT_EQ(seriesUi.messages[0].caption, "Confirm replace");
        EXPECT_EQ(seriesUi.messages[0].buttons, MessageButtons::YesNoCancel);
        const std::string names[] = {scratch.File("x.bmp"), second, scratch.File("x003.bmp")};
        for (int i = 0; i < 3; ++i) {
            HeaderBlock header;
            Block bits;
            const ImageResult read = ReadBmpFile(names[i].c_str(), &header, &bits);
            if (c.widthsOnDisk[i] == 0) {
                EXPECT_EQ(read, ImageSystemError);
            } else {
                ASSERT_EQ(read, ImageOk);
                EXPECT_EQ(header->biWidth, c.widthsOnDisk[i]);
            }
        }
    }
}

TEST_F(SaveFlows, AskForEachItemShowsWhatRemains) {
    AddPicture(List(), 3, -5, 8);
    AddPicture(List(), 7, 2, 32);
    AddPicture(List(), 4, 4, 1);
    List().SelectAll();
    const std::string second = dir.File("chosen.png");
    ui.seriesItemPaths.push_back(second);
    ui.seriesItemPaths.push_back(std::nullopt);  // Cancel at the last
    const SeriesOutcome outcome =
        SaveSeries(app, SaveTargetPngSeries, dir.File("first.png"), true, true);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.written, 2u);
    ASSERT_EQ(ui.pngOptionsShown.size(), 1u);
    ASSERT_EQ(ui.seriesItemRequests.size(), 2u);
    EXPECT_EQ(ui.seriesItemRequests[0].fileName, "7x2,32-bit");
    EXPECT_EQ(ui.seriesItemRequests[0].remaining, 1u);
    EXPECT_EQ(ui.seriesItemRequests[0].defaultExtension, "png");
    EXPECT_EQ(ui.seriesItemRequests[0].filter, "PNG Files (*.png)|*.png||");
    EXPECT_EQ(ui.seriesItemRequests[1].fileName, "4x4,1-bit");
    EXPECT_EQ(SeriesItemDialogText(ui.seriesItemRequests[0].remaining), "1 item(s) remain");
    EXPECT_EQ(SeriesItemDialogText(ui.seriesItemRequests[1].remaining), "Final item");
    EXPECT_EQ(NamingPanelText(3), "3 items to be save");
    EXPECT_TRUE(Exists(dir.File("first.png")));
    EXPECT_TRUE(Exists(second));
    EXPECT_EQ(SeriesItemInitialName(*List().Item(0)), "3x5,8-bit");
}

TEST_F(SaveFlows, DuplicatedResolutionLines) {
    struct Case {
        const char* name;
        std::vector<std::array<int, 3>> pictures;  // width, height, bits
        std::string lines;
    };
    std::vector<std::array<int, 3>> thirteen(13, {8, 8, 4});
    std::string eleven = "8x8, 4-bit";
    for (int i = 1; i < 11; ++i) eleven += "\n8x8, 4-bit";
    const Case cases[] = {
        {"one", {{32, 32, 8}}, ""},
        {"two 8-bit and one 32-bit", {{32, 32, 8}, {16, 16, 32}, {32, 32, 8}}, "32x32, 8-bit"},
        {"row order differs", {{32, 32, 8}, {32, -32, 8}}, ""},
        {"depth differs", {{32, 32, 8}, {32, 32, 4}}, ""},
        {"top-down pair", {{16, -16, 24}, {16, -16, 24}}, "16x-16, 24-bit"},
        {"three alike: every pair",
         {{4, 4, 1}, {4, 4, 1}, {4, 4, 1}},
         "4x4, 1-bit\n4x4, 1-bit\n4x4, 1-bit"},
        {"cut after eleven", thirteen, eleven + "\n..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CItemList list;
        std::vector<const tagILVITEM*> pictures;
        for (const auto& p : c.pictures) AddPicture(list, p[0], p[1], p[2]);
        for (int i = 0; i < list.Count(); ++i) pictures.push_back(list.Item(i));
        EXPECT_EQ(DuplicatedResolutions(pictures), c.lines);
    }
}

TEST_F(SaveFlows, CancelOfTheDuplicatedResolutionsWarningKeepsTheOldFile) {
    const std::string path = dir.File("keep.ico");
    WriteBytes(path, {'o', 'l', 'd'});
    AddPicture(List(), 32, 32, 8);
    AddPicture(List(), 16, 16, 32);
    AddPicture(List(), 32, 32, 8);
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(SaveIconFile(app, false, path, false));
    EXPECT_EQ(Texts(), std::vector<std::string>{"The following resolutions are duplicated:\n32x32, "
                                                "8-bit\n\nClick OK to continue anyway."});
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    // OK writes all three.
    ui.answers.push_back(Answer::Ok);
    ASSERT_TRUE(SaveIconFile(app, false, path, false));
    IconResult result;
    std::vector<IconImage> images = ReadIcon(path, &result);
    EXPECT_EQ(images.size(), 3u);
}

TEST_F(SaveFlows, AnAnimatedPngNeedsOneBitCount) {
    const std::string path = dir.File("mixed.png");
    AddPicture(List(), 4, 4, 24);
    AddPicture(List(), 4, 4, 32);
    EXPECT_FALSE(SaveAnimatedPng(app, path, false, {}));
    EXPECT_EQ(Texts(), std::vector<std::string>{
                           "To perform this operation, the images bit-depth must be same."});
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(Exists(path));
}

TEST_F(SaveFlows, AnAnimatedCursorNeedsWholeIconDirectories) {
    const std::string path = dir.File("frames.ani");
    for (int i = 0; i < 3; ++i) AddPicture(List(), 4, 4);
    AniSaveOptions options;
    options.imagesPerDirectory = 2;
    EXPECT_FALSE(SaveAnimatedCursor(app, path, false, options));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrAniImageCount);
    EXPECT_EQ(ui.messages[0].text,
              "Image count is not correct to build each icon directory with 2 items.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(Exists(path));

    // Nothing selected: nothing to write, nothing said.
    EXPECT_FALSE(SaveAnimatedCursor(app, path, true, options));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(SaveFlows, AnimatedPngFramesAndTheCanvasSizedFirstFrame) {
    // Equal sizes at (0, 0): the first picture is written as it is.
    const std::string plain = dir.File("plain.png");
    NewItem a = MakePictureItem(5, 3, 32, 0x10);
    a.frameInfo = FrameInfo{120, 1, 2, 0, 0};
    List().AddItem(std::move(a));
    NewItem b = MakePictureItem(5, 3, 32, 0x20);
    b.frameInfo = FrameInfo{70000, 0, 1, 0, 0};
    List().AddItem(std::move(b));
    ASSERT_TRUE(SaveAnimatedPng(app, plain, false, {{}, 2, false}));
    PngChunks chunks = WalkPng(plain);
    EXPECT_EQ(chunks.width, 5u);
    EXPECT_EQ(chunks.height, 3u);
    EXPECT_EQ(chunks.frames, 2u);
    EXPECT_EQ(chunks.plays, 2u);
    ASSERT_EQ(chunks.controls.size(), 2u);
    EXPECT_EQ(chunks.controls[0].delayNumerator, 120);
    EXPECT_EQ(chunks.controls[0].delayDenominator, 1000);
    EXPECT_EQ(chunks.controls[0].blend, 1);
    EXPECT_EQ(chunks.controls[0].dispose, 2);
    // 70 s does not fit over 1000: it is kept over 100.
    EXPECT_EQ(chunks.controls[1].delayNumerator, 7000);
    EXPECT_EQ(chunks.controls[1].delayDenominator, 100);
    EXPECT_EQ(chunks.controls[1].dispose, 1);

    // A first picture smaller than the canvas, placed away from the corner.
    const std::string placed = dir.File("placed.png");
    List().Item(0)->x = 2;
    List().Item(0)->y = 1;
    List().Item(1)->x = 4;
    ASSERT_TRUE(SaveAnimatedPng(app, placed, false, {}));
    chunks = WalkPng(placed);
    EXPECT_EQ(chunks.width, 9u);   // 5 + 4
    EXPECT_EQ(chunks.height, 4u);  // 3 + 1
    ASSERT_EQ(chunks.controls.size(), 2u);
    EXPECT_EQ(chunks.controls[0].x, 0u);
    EXPECT_EQ(chunks.controls[0].y, 0u);
    EXPECT_EQ(chunks.controls[0].width, 9u);
    EXPECT_EQ(chunks.controls[0].height, 4u);
    EXPECT_EQ(chunks.controls[1].x, 4u);
    EXPECT_EQ(chunks.controls[1].y, 0u);

    // The first frame excluded: the default image has no fcTL, the second has its own.
    const std::string excluded = dir.File("excluded.png");
    ASSERT_TRUE(SaveAnimatedPng(app, excluded, false, {{}, 0, true}));
    chunks = WalkPng(excluded);
    EXPECT_EQ(chunks.frames, 1u);
    ASSERT_EQ(chunks.controls.size(), 1u);
    EXPECT_EQ(chunks.controls[0].x, 4u);
    EXPECT_EQ(chunks.order[2], "IDAT");
}

TEST_F(SaveFlows, PngDelays) {
    const std::tuple<std::uint32_t, int, int> cases[] = {
        {0, 0, 1000},       {600, 600, 1000},       {65535, 65535, 1000}, {65536, 6554, 100},
        {99990, 9999, 100}, {655350, 65535, 100},   {655360, 6554, 10},   {6553500, 65535, 10},
        {6553600, 6554, 1}, {0xFFFFFFFF, 65535, 1},
    };
    for (const auto& [ms, numerator, denominator] : cases) {
        SCOPED_TRACE(ms);
        const PngFrameDelay delay = PngDelayOf(ms);
        EXPECT_EQ(delay.numerator, numerator);
        EXPECT_EQ(delay.denominator, denominator);
    }
}

TEST_F(SaveFlows, SaveAsReplacesTheCompilationOnlyAfterASuccessfulWrite) {
    app.ReplaceCompilation(MakeCompilation(CompilationAnimatedPng, dir.File("old.png")));
    app.Compilation().numPlays = 4;
    app.Compilation().firstFrameExcluded = true;
    AddPicture(List(), 3, 3, 8);
    AddPicture(List(), 4, 4, 8);
    app.SetModified();

    // A write that fails reports and keeps the compilation.
    const std::string nowhere = dir.File("missing/x.ico");
    ui.saveChoices.push_back(Choice(nowhere, SaveTargetIcon));
    EXPECT_FALSE(SaveCompilationAs(app));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind(nowhere + "\n", 0), 0u);
    EXPECT_EQ(app.Compilation().Type(), CompilationAnimatedPng);
    EXPECT_TRUE(app.IsModified());

    // Animated PNG: the dialog opens on the compilation's options; the new object
    // keeps the play count and first-frame setting.
    const std::string apng = dir.File("new.png");
    ui.saveChoices.push_back(Choice(apng, SaveTargetAnimatedPng, true));
    PngSaveOptions chosen;
    chosen.grayscale = true;
    chosen.compression = 3;
    ui.pngOptions.push_back(chosen);
    ASSERT_TRUE(SaveCompilationAs(app));
    CAnimatedPNGCompilation* saved = app.Compilation().AsAnimatedPng();
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(*saved->Path(), apng);
    EXPECT_TRUE(saved->png.grayscale);
    EXPECT_EQ(saved->png.compression, 3);
    EXPECT_EQ(saved->numPlays, 4u);
    EXPECT_TRUE(saved->firstFrameExcluded);
    EXPECT_FALSE(saved->IsModified());
    EXPECT_TRUE(saved->askForOptions);
    EXPECT_EQ(ui.saveRequests[1].fileName, "old");

    // Animated cursor: defaults for a compilation of another type; the new
    // object carries the options chosen.
    const std::string ani = dir.File("new.ani");
    ui.saveChoices.push_back(Choice(ani, SaveTargetAnimatedCursor));
    AniSaveOptions aniChosen;
    aniChosen.name = "Walk";
    aniChosen.imagesPerDirectory = 2;
    aniChosen.individualRates = false;
    ui.aniOptions.push_back(aniChosen);
    ASSERT_TRUE(SaveCompilationAs(app));
    EXPECT_EQ(ui.aniOptionsShown[0].imagesPerDirectory, 1);
    EXPECT_TRUE(ui.aniOptionsShown[0].individualRates);
    CAnimatedCursorCompilation* cursor = app.Compilation().AsAnimatedCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->ani.name, "Walk");
    EXPECT_EQ(cursor->ani.imagesPerDirectory, 2);
    EXPECT_FALSE(cursor->ani.individualRates);
    EXPECT_TRUE(Exists(ani));
}

TEST_F(SaveFlows, SaveSelectionLeavesTheCompilationAlone) {
    AddPicture(List(), 2, 2);
    EXPECT_FALSE(SaveSelection(app));  // nothing selected: not even a dialog
    EXPECT_TRUE(ui.saveRequests.empty());

    AddPicture(List(), 6, 6);
    AddPicture(List(), 6, 6, 32);
    List().SetSelected(1, true);
    const std::string path = dir.File("one.cur");
    ui.saveChoices.push_back(Choice(path, SaveTargetCursor));
    app.SetModified();
    ASSERT_TRUE(SaveSelection(app));
    EXPECT_EQ(ui.saveRequests[0].fileName, "");
    EXPECT_EQ(ui.saveRequests[0].itemCount, 1u);
    EXPECT_EQ(app.Compilation().Type(), CompilationNone);
    EXPECT_TRUE(app.IsModified());
    IconResult result;
    std::vector<IconImage> images = ReadIcon(path, &result);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].header->biWidth, 6);
    EXPECT_EQ(images[0].header->biBitCount, 24);
}
