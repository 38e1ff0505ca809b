#include "app/image_edit_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "core/dib.h"
#include "ops/mask_edit.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

class ImageEditCommands : public testing::Test {
protected:
    ScriptedInteraction ui;
    CIconmillApp app{ui};
    tagILVITEM& Item(int index) { return *app.Items().Item(index); }
};

TEST_F(ImageEditCommands, OkWritesTableAndPixelsOnlyWhenChangedAndNeverTheMask) {
    const int index = AddPicture(app.Items(), 2, 2, 4, 0x11, true);
    const std::size_t maskSize = MaskBlockSize(Item(index).header);
    const std::vector<std::uint8_t> mask = BlockBytes(Item(index).mask, maskSize);
    const std::size_t size = DibImageSize(Item(index).header);
    std::vector<RgbQuad> table(16, RgbQuad{1, 2, 3, 0});
    std::vector<std::uint8_t> bits(size, 0x77);

    EXPECT_FALSE(ApplyImageEdit(app, index, table, bits, false));
    EXPECT_EQ(BlockBytes(Item(index).bits, size), std::vector<std::uint8_t>(size, 0x11));
    EXPECT_FALSE(app.IsModified());

    // A table or block of another size is refused.
    EXPECT_FALSE(ApplyImageEdit(app, index, std::span(table).first(15), bits, true));
    EXPECT_FALSE(ApplyImageEdit(app, index, table, std::span(bits).first(size - 1), true));
    EXPECT_FALSE(app.IsModified());

    ASSERT_TRUE(ApplyImageEdit(app, index, table, bits, true));
    EXPECT_EQ(BlockBytes(Item(index).bits, size), bits);
    EXPECT_EQ(DibColorTable(Item(index).header)[15].rgbRed, 3);
    EXPECT_EQ(BlockBytes(Item(index).mask, maskSize), mask);
    EXPECT_TRUE(app.IsModified());
}

TEST_F(ImageEditCommands, InvertSkipsDuplicatesAndViewerShowsTheReference) {
    const int a = AddPicture(app.Items(), 1, 1, 8, 0);
    const int b = AddPicture(app.Items(), 1, 1, 32, 10);
    const int dup = app.Items().AddDuplicate(FrameInfo{}, 0, 0, a);
    EXPECT_EQ(ViewerItem(app), -1);
    app.Items().SetSelected(dup, true);
    EXPECT_EQ(ViewerItem(app), a);
    EXPECT_EQ(ImageEditorItem(app), -1);  // the duplicate message
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(InvertSelectedItems(app), 0);
    EXPECT_FALSE(app.IsModified());

    app.Items().SetSelected(b, true);
    EXPECT_EQ(InvertSelectedItems(app), 1);
    EXPECT_EQ(BlockBytes(Item(a).bits, 1)[0], 0);
    EXPECT_EQ(BlockBytes(Item(b).bits, 4), (std::vector<std::uint8_t>{245, 245, 245, 10}));
    EXPECT_TRUE(app.IsModified());
    app.Items().SetSelected(a, true);
    EXPECT_EQ(ImageEditorItem(app), a);
    EXPECT_EQ(InvertSelectedItems(app), 2);
    EXPECT_EQ(BlockBytes(Item(a).bits, 1)[0], 255);
}

}  // namespace
