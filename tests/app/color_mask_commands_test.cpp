#include "app/color_mask_commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/application.h"
#include "app/commands.h"
#include "core/dib.h"
#include "ops/alpha_compositing.h"
#include "ops/mask_edit.h"
#include "platform/door/memory_clipboard.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

class ColorMaskCommands : public testing::Test {
protected:
    ScriptedInteraction ui;
    CIconmillApp app{ui};

    tagILVITEM& Item(int index) { return *app.Items().Item(index); }
    std::size_t MaskSize(int index) { return MaskBlockSize(Item(index).header); }
};

}  // namespace

TEST_F(ColorMaskCommands, DialogsOpenOnTheFirstSelectedOriginalOnly) {
    const int original = AddPicture(app.Items(), 2, 2);
    const int duplicate = app.Items().AddDuplicate(FrameInfo{}, 0, 0, original);
    EXPECT_EQ(ImageDialogItem(app), -1);
    EXPECT_TRUE(ui.messages.empty());

    app.Items().SetSelected(duplicate, true);
    EXPECT_EQ(ImageDialogItem(app), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrDuplicateRefused);
    EXPECT_EQ(ui.messages[0].text,
              "You can not perform this operation on duplicated (shadow) item.\nPlease select the "
              "reference (original) item instead.");

    app.Items().SetSelected(original, true);
    EXPECT_EQ(ImageDialogItem(app), original);
    EXPECT_FALSE(ApplyGrayscale(app, duplicate, GrayscaleChoice{}));
    EXPECT_FALSE(app.IsModified());
}

TEST_F(ColorMaskCommands, GrayscaleOkUntouchedConvertsByBt709AndAlwaysMarks) {
    const int index = AddPicture(app.Items(), 2, 1, 24, 13, true);
    const std::vector<std::uint8_t> mask = BlockBytes(Item(index).mask, MaskSize(index));
    ASSERT_TRUE(ApplyGrayscale(app, index, GrayscaleChoice{}));
    EXPECT_EQ(BlockBytes(Item(index).bits, 6), std::vector<std::uint8_t>(6, 12));
    EXPECT_EQ(BlockBytes(Item(index).mask, MaskSize(index)), mask);
    EXPECT_TRUE(app.IsModified());

    // No method selected: nothing changes, but OK still writes back and marks.
    app.ClearModified();
    ASSERT_TRUE(ApplyGrayscale(app, index, GrayscaleChoice{std::nullopt}));
    EXPECT_EQ(BlockBytes(Item(index).bits, 6), std::vector<std::uint8_t>(6, 12));
    EXPECT_TRUE(app.IsModified());
}

TEST_F(ColorMaskCommands, AlphaWritesBackOnlyAChangedThirtyTwoBitItem) {
    const int index = AddPicture(app.Items(), 2, 1, 32, 0x40, true);
    const int rgb = AddPicture(app.Items(), 2, 1, 24);
    std::vector<std::uint8_t> work(8, 0x11);
    EXPECT_FALSE(ApplyAlphaCompositing(app, index, work, false));
    EXPECT_EQ(BlockBytes(Item(index).bits, 8), std::vector<std::uint8_t>(8, 0x40));
    EXPECT_FALSE(app.IsModified());
    EXPECT_FALSE(ApplyAlphaCompositing(app, index, {work.data(), 4}, true));  // wrong size
    EXPECT_FALSE(ApplyAlphaOptionToItem(app, rgb, kAlphaFlatValue, 0));
    EXPECT_FALSE(app.IsModified());

    ASSERT_TRUE(ApplyAlphaOptionToItem(app, index, kAlphaBaseOnMask, 0));  // mask all opaque
    const std::vector<std::uint8_t> opaque = {0x40, 0x40, 0x40, 0xFF, 0x40, 0x40, 0x40, 0xFF};
    EXPECT_EQ(BlockBytes(Item(index).bits, 8), opaque);
    EXPECT_TRUE(app.IsModified());

    std::free(Item(index).mask);
    Item(index).mask = nullptr;
    app.ClearModified();
    EXPECT_FALSE(ApplyAlphaOptionToItem(app, index, kAlphaBaseOnMask, 0));
    EXPECT_FALSE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ColorMaskCommands, MaskToolsStartFromANewMaskAndReplaceTheOldOne) {
    const int index = AddPicture(app.Items(), 3, 2, 24, 0);
    ASSERT_TRUE(ApplyMaskToolToItem(app, index, MaskTool::Invert));
    ASSERT_NE(Item(index).mask, nullptr);
    EXPECT_EQ(BlockBytes(Item(index).mask, 8), std::vector<std::uint8_t>(8, 0xFF));
    EXPECT_TRUE(app.IsModified());

    // Color Picker on black (every pixel) and then Add to Sample of another colour.
    ASSERT_TRUE(ApplyMaskToolToItem(app, index, MaskTool::Pick, RgbColor(0, 0, 0)));
    EXPECT_EQ(Item(index).mask[0], 0xFF);  // picked pixels set; padding kept from Invert
    ASSERT_TRUE(ApplyMaskToolToItem(app, index, MaskTool::Pick, RgbColor(1, 2, 3)));
    EXPECT_EQ(Item(index).mask[0], 0x1F);
    ASSERT_TRUE(ApplyMaskToolToItem(app, index, MaskTool::AddToSample, RgbColor(0, 0, 0)));
    EXPECT_EQ(Item(index).mask[0], 0xFF);

    app.ClearModified();
    const std::vector<std::uint8_t> work(8, 0x5A);
    EXPECT_FALSE(ApplyMaskEdit(app, index, work, false));
    EXPECT_FALSE(ApplyMaskEdit(app, index, {work.data(), 7}, true));
    EXPECT_FALSE(app.IsModified());
    ASSERT_TRUE(ApplyMaskEdit(app, index, work, true));
    EXPECT_EQ(BlockBytes(Item(index).mask, 8), work);
    EXPECT_TRUE(app.IsModified());
}

TEST_F(ColorMaskCommands, DeleteMaskChangesOnlySelectedOriginalsThatHaveOne) {
    const int masked = AddPicture(app.Items(), 2, 2, 24, 0, true);
    const int plain = AddPicture(app.Items(), 2, 2);
    const int kept = AddPicture(app.Items(), 2, 2, 24, 0, true);
    const int duplicate = app.Items().AddDuplicate(FrameInfo{}, 0, 0, masked);
    app.Items().SetSelected(plain, true);
    app.Items().SetSelected(duplicate, true);
    EXPECT_EQ(DeleteSelectedMasks(app), 0);
    EXPECT_FALSE(app.IsModified());
    EXPECT_NE(Item(masked).mask, nullptr);

    // A headless command: several selected items enable it, no window needed.
    app.Items().SetSelected(masked, true);
    MemoryClipboard clipboard;
    EXPECT_EQ(RunCommand(kCmdDeleteMask, app, clipboard, nullptr), CommandOutcome::Done);
    EXPECT_EQ(Item(masked).mask, nullptr);
    EXPECT_NE(Item(kept).mask, nullptr);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}
