// Undo and Redo over every command that changes a compilation: each runs once
// on a mixed animated cursor, is undone (info --json and the stored state equal
// the state before) and redone (they equal the state after the one run).
#include "app/history.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "anim/animation_timing.h"
#include "app/animation_commands.h"
#include "app/application.h"
#include "app/color_mask_commands.h"
#include "app/frame_commands.h"
#include "app/frame_dialogs.h"
#include "app/image_commands.h"
#include "app/image_edit_commands.h"
#include "app/list_layout.h"
#include "app/merge_split_commands.h"
#include "app/new_bitmap.h"
#include "app/open_flows.h"
#include "cli/batch_interaction.h"
#include "cli_run.h"
#include "core/bmp_file.h"
#include "cli/commands.h"
#include "core/dib.h"
#include "ops/grayscale.h"
#include "platform/door/memory_clipboard.h"
#include "support/test_files.h"
#include "support/test_items.h"

namespace {

// Pixels that change under every rotation, flip and conversion.
void AddPatterned(CItemList& list, int width, int height, int bitCount, bool withMask,
                  std::uint8_t seed) {
    NewItem item = MakePictureItem(width, height, bitCount, 0, withMask, 0);
    const std::size_t size = DibImageSize(item.header.get());
    for (std::size_t i = 0; i < size; ++i)
        item.bits.get()[i] = static_cast<std::uint8_t>(i * 37 + seed);
    if (withMask) {
        const std::size_t maskSize = DibImageSizeFor(width, height, 1);
        for (std::size_t i = 0; i < maskSize; ++i)
            item.mask.get()[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0xF0 : 0x0F);
    }
    item.frameInfo.delay = 100u + seed;
    item.frameInfo.hotspotX = 1;
    item.x = seed % 3;
    list.AddItem(std::move(item));
}

// An animated cursor with options holding a 4-bit, a masked 8-bit, a 16-bit, a
// 24-bit, a masked top-down 32-bit and a duplicate of the 8-bit; items 1 and 4
// selected.
void BuildMixed(CIconmillApp& app) {
    auto compilation = std::make_unique<CAnimatedCursorCompilation>("mixed.ani");
    compilation->ani.name = "Mixed";
    compilation->ani.artist = "Tests";
    compilation->ani.imagesPerDirectory = 2;
    app.ReplaceCompilation(std::move(compilation));
    app.Compilation().numPlays = 3;
    CItemList& list = app.Items();
    AddPatterned(list, 6, 5, 4, false, 1);
    AddPatterned(list, 8, 4, 8, true, 2);
    AddPatterned(list, 5, 6, 16, false, 3);
    AddPatterned(list, 7, 3, 24, false, 4);
    AddPatterned(list, 4, -4, 32, true, 5);
    list.AddDuplicate(FrameInfo{250, 1, 2, 3, 1}, 2, 1, 1);
    list.SetSelected(1, true);
    list.SetSelected(4, true);
    app.ClearModified();
    app.StartNewHistory();
}

// Carries out the window commands as their dialogs' OK would.
class DialogWindow : public CommandWindow {
public:
    explicit DialogWindow(CIconmillApp& app) : app_(app) {}
    std::function<void(CIconmillApp&)> ok;
    void RunWindowCommand(CommandId) override {
        if (ok) ok(app_);
    }

private:
    CIconmillApp& app_;
};

struct Row {
    const char* name;
    CommandId id;
    std::vector<int> selection;                // empty: as built (items 1 and 4)
    std::function<void(CIconmillApp&)> ok;     // the dialog's OK, for a window command
    std::function<void(CIconmillApp&)> other;  // a change that is not a command (drag)
};

void Select(CIconmillApp& app, const std::vector<int>& selection) {
    if (selection.empty()) return;
    for (int i = 0; i < app.Items().Count(); ++i) app.Items().SetSelected(i, false);
    for (int index : selection) app.Items().SetSelected(index, true);
}

class History : public testing::Test {
protected:
    std::ostringstream errors;
    BatchInteraction ui{errors};
    MemoryClipboard clipboard;
};

TEST_F(History, EveryChangingCommandIsUndoneToTheSameBytesAndRedoneToTheSameResult) {
    ScratchDir dir;
    const std::string dropped = dir.File("dropped.bmp");
    {
        CItemList list;
        AddPatterned(list, 3, 2, 8, false, 9);
        ASSERT_EQ(WriteBmpFile(dropped.c_str(), list.Item(0)->header, list.Item(0)->bits), ImageOk);
    }
    const std::vector<Row> rows = {
        {"drop of files (as Add)", kCmdAdd, {}, {},
         [&](CIconmillApp& app) { DropFiles(app, {dropped, dropped}); }},
        {"cut", kCmdCut, {0}, {}, {}},
        {"paste", kCmdPaste, {}, {}, {}},
        {"delete with its duplicate", kCmdDelete, {1}, {}, {}},
        {"duplicate", kCmdDuplicate, {}, {}, {}},
        {"delete all duplications", kCmdDeleteAllDuplications, {}, {}, {}},
        {"sort by width", kCmdSortByWidth, {}, {}, {}},
        {"drag to the front", kCmdMoveItems, {3, 5}, {},
         [](CIconmillApp& app) { DropSelectedItems(app, 0); }},
        {"convert to 1-bit", kCmdConvert1Bit, {0, 2, 3, 4}, {}, {}},
        {"convert to 4-bit", kCmdConvert4Bit, {3, 4}, {}, {}},
        {"convert to 8-bit", kCmdConvert8Bit, {0, 4}, {}, {}},
        {"convert to 16-bit", kCmdConvert16Bit, {0, 1}, {}, {}},
        {"convert to 24-bit", kCmdConvert24Bit, {0, 4}, {}, {}},
        {"convert to 32-bit", kCmdConvert32Bit, {0, 2}, {}, {}},
        {"top-down", kCmdConvertTopDown, {0, 1, 2}, {}, {}},
        {"bottom-up", kCmdConvertBottomUp, {4}, {}, {}},
        {"rotate 180", kCmdRotate180, {0, 1, 2, 3, 4}, {}, {}},
        {"rotate clockwise", kCmdRotateClockwise, {0, 1, 2, 3, 4}, {}, {}},
        {"rotate counter clockwise", kCmdRotateCounterClockwise, {}, {}, {}},
        {"flip vertical", kCmdFlipVertical, {}, {}, {}},
        {"flip horizontal", kCmdFlipHorizontal, {0, 3}, {}, {}},
        {"delete mask", kCmdDeleteMask, {}, {}, {}},
        {"image editor", kCmdEdit, {0},
         [](CIconmillApp& app) {
             const tagILVITEM& item = *app.Items().Item(0);
             std::vector<RgbQuad> table(DibColorTable(item.header),
                                        DibColorTable(item.header) + DibColorCount(item.header));
             table[0] = RgbQuad{9, 8, 7, 0};
             std::vector<std::uint8_t> bits(item.bits, item.bits + DibImageSize(item.header));
             bits[0] ^= 0xFF;
             ApplyImageEdit(app, 0, table, bits, true);
         },
         {}},
        {"invert", kCmdEdit, {3},
         [](CIconmillApp& app) { InvertSelectedItems(app); }, {}},
        {"image resize", kCmdImageResize, {1},
         [](CIconmillApp& app) { ApplyImageResize(app, 1, 12, 9); }, {}},
        {"canvas resize", kCmdCanvasResize, {4},
         [](CIconmillApp& app) { ApplyCanvasResize(app, 4, 9, 7, 0, 0x00FF00); }, {}},
        {"grayscale", kCmdGrayscale, {3},
         [](CIconmillApp& app) { ApplyGrayscale(app, 3, GrayscaleChoice{}); }, {}},
        {"alpha compositing", kCmdAlphaCompositing, {4},
         [](CIconmillApp& app) {
             const tagILVITEM& item = *app.Items().Item(4);
             std::vector<std::uint8_t> work(item.bits, item.bits + DibImageSize(item.header));
             for (std::size_t i = 3; i < work.size(); i += 4) work[i] = 0x40;
             ApplyAlphaCompositing(app, 4, work, true);
         },
         {}},
        {"mask create", kCmdCreateEditMask, {3},
         [](CIconmillApp& app) {
             const DibHeader* header = app.Items().Item(3)->header;
             std::vector<std::uint8_t> work(DibImageSizeFor(header->biWidth, header->biHeight, 1),
                                            0xAA);
             ApplyMaskEdit(app, 3, work, true);
         },
         {}},
        {"mask edit", kCmdCreateEditMask, {1},
         [](CIconmillApp& app) { ApplyMaskToolToItem(app, 1, MaskTool::Invert); }, {}},
        {"merge", kCmdMerge, {0, 2, 3},
         [](CIconmillApp& app) {
             MergeOptions options;
             options.parameters.perStrip = 2;
             options.deleteSources = true;
             ApplyMerge(app, options);
         },
         {}},
        {"split", kCmdSplit, {3},
         [](CIconmillApp& app) { ApplySplit(app, 3, SplitOptions{7, 3, true}); }, {}},
        {"new empty bitmap", kCmdNewEmptyBitmap, {},
         [](CIconmillApp& app) { AppendEmptyBitmap(app, BitmapAttributes{5, 5, 8}); }, {}},
        {"frame properties", kCmdFrameProperties, {0, 5},
         [](CIconmillApp& app) {
             FrameEdit edit;
             edit.delay = 999;
             edit.position = FrameEdit::Point{4, 4};
             edit.disposeOp = 2;
             ApplyFrameProperties(app, edit);
         },
         {}},
        {"hot spot", kCmdSetHotSpot, {5},
         [](CIconmillApp& app) {
             HotSpotState state{5, {3, 2}, true};
             ApplyHotSpot(app, state);
         },
         {}},
        {"animation timing", kCmdAnimationTiming, {},
         [](CIconmillApp& app) {
             AnimationTiming timing(app.Items(), false);
             timing.Set(TimingMethod::Linear, 40, 10);
             ApplyAnimationTiming(app, timing);
         },
         {}},
        {"animation options", kCmdAnimationOptions, {},
         [](CIconmillApp& app) { ApplyAnimationOptions(app, AnimationOptions{7, true}); }, {}},
        {"animated cursor options", kCmdAnimationOptions, {},
         [](CIconmillApp& app) {
             ApplyAnimatedCursorOptions(app, AniSaveOptions{"Other", "", 5, false});
         },
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CIconmillApp app(ui);
        BuildMixed(app);
        Select(app, row.selection);
        // Paste takes what Copy of items 0 and 5 put on the clipboard.
        if (row.id == kCmdPaste) {
            Select(app, {0, 5});
            ASSERT_EQ(RunCommand(kCmdCopy, app, clipboard, nullptr), CommandOutcome::Done);
        }
        const std::string before = InfoJsonText(app);
        const auto beforeState = CaptureState(app);
        DialogWindow window(app);
        window.ok = row.ok;
        if (row.other) {
            row.other(app);
        } else {
            ASSERT_EQ(RunCommand(row.id, app, clipboard, &window), CommandOutcome::Done);
        }
        const std::string after = InfoJsonText(app);
        const auto afterState = CaptureState(app);
        ASSERT_NE(after, before) << "the command changed nothing";
        ASSERT_TRUE(app.IsModified());
        EXPECT_EQ(CommandStateOf(kCmdUndo, app, {}), (CommandState{true, false, row.id}));

        ASSERT_EQ(RunCommand(kCmdUndo, app, clipboard, nullptr), CommandOutcome::Done);
        EXPECT_EQ(InfoJsonText(app), before);
        EXPECT_TRUE(CaptureState(app)->SameAs(*beforeState));
        EXPECT_FALSE(app.IsModified()) << "back at the opened state";
        EXPECT_FALSE(CommandStateOf(kCmdUndo, app, {}).enabled);
        EXPECT_EQ(CommandStateOf(kCmdRedo, app, {}), (CommandState{true, false, row.id}));

        ASSERT_EQ(RunCommand(kCmdRedo, app, clipboard, nullptr), CommandOutcome::Done);
        EXPECT_EQ(InfoJsonText(app), after);
        EXPECT_TRUE(CaptureState(app)->SameAs(*afterState));
        EXPECT_TRUE(app.IsModified());
        EXPECT_FALSE(CommandStateOf(kCmdRedo, app, {}).enabled);
        EXPECT_EQ(errors.str(), "");
    }
}

TEST_F(History, StepsGoBackInOrderAndANewChangeForgetsTheRedoSide) {
    CIconmillApp app(ui);
    BuildMixed(app);
    const std::string opened = InfoJsonText(app);
    ASSERT_EQ(RunCommand(kCmdRotateClockwise, app, clipboard, nullptr), CommandOutcome::Done);
    const std::string rotated = InfoJsonText(app);
    ASSERT_EQ(RunCommand(kCmdDuplicate, app, clipboard, nullptr), CommandOutcome::Done);
    // Commands that change nothing of the compilation record no step.
    RunCommand(kCmdSelectAll, app, clipboard, nullptr);
    RunCommand(kCmdZoomIn, app, clipboard, nullptr);
    EXPECT_EQ(app.History().UndoCount(), 2u);
    EXPECT_EQ(app.History().UndoCommand(), kCmdDuplicate);

    ASSERT_TRUE(UndoLastChange(app));
    EXPECT_EQ(InfoJsonText(app), rotated);
    EXPECT_EQ(app.History().UndoCommand(), kCmdRotateClockwise);
    ASSERT_TRUE(UndoLastChange(app));
    EXPECT_EQ(InfoJsonText(app), opened);
    EXPECT_FALSE(UndoLastChange(app));
    EXPECT_EQ(RunCommand(kCmdUndo, app, clipboard, nullptr), CommandOutcome::Refused);
    ASSERT_TRUE(RedoLastChange(app));
    EXPECT_EQ(InfoJsonText(app), rotated);
    EXPECT_TRUE(app.IsModified());

    ASSERT_EQ(RunCommand(kCmdFlipVertical, app, clipboard, nullptr), CommandOutcome::Done);
    EXPECT_FALSE(app.History().CanRedo());
    EXPECT_EQ(app.History().UndoCount(), 2u);
}

TEST_F(History, TheModifiedFlagFollowsTheSavedState) {
    CIconmillApp app(ui);
    BuildMixed(app);
    RunCommand(kCmdRotate180, app, clipboard, nullptr);
    RunCommand(kCmdFlipHorizontal, app, clipboard, nullptr);
    app.ClearModified();  // what a successful save does
    UndoLastChange(app);
    EXPECT_TRUE(app.IsModified());
    RedoLastChange(app);
    EXPECT_FALSE(app.IsModified()) << "redone to the saved state";
    UndoLastChange(app);
    UndoLastChange(app);
    EXPECT_TRUE(app.IsModified()) << "the opened state is no longer the saved one";
}

TEST_F(History, ANewCompilationTypeStartsANewHistoryAndTheSameTypeMarksTheSavedState) {
    CIconmillApp app(ui);
    BuildMixed(app);
    RunCommand(kCmdRotate180, app, clipboard, nullptr);
    // A Save As of the same type: the new compilation object is not modified.
    app.ReplaceCompilation(MakeCompilation(CompilationAnimatedCursor, "other.ani"));
    EXPECT_TRUE(app.History().CanUndo());
    UndoLastChange(app);
    EXPECT_TRUE(app.IsModified());
    RedoLastChange(app);
    EXPECT_FALSE(app.IsModified());

    app.ReplaceCompilation(MakeCompilation(CompilationIcon, "other.ico"));
    EXPECT_FALSE(app.History().CanUndo());
    EXPECT_FALSE(app.History().CanRedo());
}

TEST_F(History, TheMemoryBoundDropsTheOldestStepsAndSaysSo) {
    CIconmillApp app(ui);
    BuildMixed(app);
    // Room for a little more than one 64 x 64 32-bit picture.
    app.History().SetLimits({20000, 100});
    AddPatterned(app.Items(), 64, 64, 32, false, 7);
    const int big = app.Items().Count() - 1;
    Select(app, {big});
    RunCommand(kCmdRotate180, app, clipboard, nullptr);  // holds the six small ones and the big one
    EXPECT_EQ(app.History().UndoCount(), 1u);
    EXPECT_LE(app.History().MemoryUsed(), 20000u);
    RunCommand(kCmdFlipVertical, app, clipboard, nullptr);  // and the rotated big one
    EXPECT_EQ(app.History().UndoCount(), 1u);
    EXPECT_EQ(app.History().DroppedSteps(), 1u);
    EXPECT_EQ(app.History().UndoCommand(), kCmdFlipVertical);

    // A step alone beyond the bound is dropped too: nothing can be undone.
    app.History().SetLimits({1000, 100});
    EXPECT_EQ(app.History().UndoCount(), 0u);
    EXPECT_EQ(app.History().DroppedSteps(), 2u);
    EXPECT_FALSE(CommandStateOf(kCmdUndo, app, {}).enabled);

    app.History().SetLimits({kDefaultHistoryMemoryLimit, 2});
    for (int i = 0; i < 3; ++i) RunCommand(kCmdFlipHorizontal, app, clipboard, nullptr);
    EXPECT_EQ(app.History().UndoCount(), 2u);
}

TEST_F(History, UnchangedBlocksAreSharedBetweenSteps) {
    CIconmillApp app(ui);
    BuildMixed(app);
    Select(app, {0});
    RunCommand(kCmdFlipVertical, app, clipboard, nullptr);
    const std::size_t one = app.History().MemoryUsed();
    RunCommand(kCmdFlipVertical, app, clipboard, nullptr);
    RunCommand(kCmdFlipVertical, app, clipboard, nullptr);
    // Each later step holds only item 0's pixels anew.
    const std::size_t pixels = DibImageSize(app.Items().Item(0)->header);
    EXPECT_EQ(app.History().MemoryUsed(), one + 2 * pixels);
    // So does the state an undo restored.
    UndoLastChange(app);
    RunCommand(kCmdFlipHorizontal, app, clipboard, nullptr);
    EXPECT_EQ(app.History().MemoryUsed(), one + 2 * pixels);
}

// convert --undo and --redo, in the order of the operations, by what the
// saved file holds.
TEST(HistoryCli, UndoAndRedoRunInTheOrderOfTheOperations) {
    ScratchDir dir;
    const std::string source = dir.File("a.bmp");
    {
        CItemList list;
        AddPatterned(list, 5, 3, 24, false, 1);
        const tagILVITEM& item = *list.Item(0);
        ASSERT_EQ(WriteBmpFile(source.c_str(), item.header, item.bits), ImageOk);
    }
    const std::string out = dir.File("out.ico");
    auto infoAfter = [&](std::vector<std::string> operations) {
        std::vector<std::string> args = {"convert", source, "-o", out, "--as", "ico"};
        args.insert(args.end(), operations.begin(), operations.end());
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return RunTool({"info", "--json", out}).out;
    };
    const std::string plain = infoAfter({});
    const std::string rotated = infoAfter({"--rotate", "cw"});
    const std::string both = infoAfter({"--rotate", "cw", "--flip", "vertical"});
    ASSERT_NE(plain, rotated);
    EXPECT_EQ(infoAfter({"--rotate", "cw", "--undo"}), plain);
    EXPECT_EQ(infoAfter({"--rotate", "cw", "--undo", "--redo"}), rotated);
    EXPECT_EQ(infoAfter({"--rotate", "cw", "--flip", "vertical", "--undo"}), rotated);
    EXPECT_EQ(infoAfter({"--rotate", "cw", "--flip", "vertical", "--undo", "--undo", "--redo",
                         "--redo"}),
              both);
    EXPECT_EQ(infoAfter({"--duplicate", "0", "--delay", "1:70", "--undo", "--undo"}), plain);

    const CliRun nothing = RunTool({"convert", source, "-o", out, "--as", "ico", "--undo"});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_NE(nothing.err.find("nothing to undo"), std::string::npos) << nothing.err;
    const CliRun bounded = RunTool({"convert", source, "-o", out, "--as", "ico",
                                    "--history-memory", "0", "--rotate", "cw", "--undo"});
    EXPECT_EQ(bounded.code, 1);
    EXPECT_NE(bounded.err.find("(1 change dropped by the history's memory limit)"),
              std::string::npos)
        << bounded.err;
    EXPECT_EQ(RunTool({"convert", source, "-o", out, "--as", "ico", "--rotate", "cw", "--redo"})
                  .code,
              1);
}

}  // namespace
