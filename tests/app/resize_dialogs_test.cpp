#include "app/resize_dialogs.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/image_commands.h"
#include "app/text_format.h"
#include "core/dib.h"
#include "ops/resize_image.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

const char* const kRange = "Please enter a value between 1 and 2147483647.";

}  // namespace

TEST(ResizeDialogs, SizeTexts) {
    EXPECT_EQ(CurrentSizeText({10, 10, 24}), "Current Size: 320 bytes");  // stride 32
    EXPECT_EQ(CurrentSizeText({1, 1, 1}), "Current Size: 4 bytes");
    EXPECT_EQ(NewSizeText(32, 16, 16), "New Size: 1 KB");
    EXPECT_EQ(NewSizeText(32, 2147483647, 2147483647),
              "New Size: " + FormatByteSize((std::uint64_t{2147483647} * 4) * 2147483647));
    EXPECT_EQ(NewSizeText(24, std::nullopt, 5), "New Size: --");
    EXPECT_EQ(NewSizeText(24, 5, 0), "New Size: --");
    EXPECT_EQ(PixelCountText(1), "1 pixel");
    EXPECT_EQ(PixelCountText(2), "2 pixels");
    EXPECT_EQ(PixelCountText(0), "0 pixel");
}

TEST(ImageResizeForm, TheAspectLinkTruncatesInSinglePrecision) {
    struct Case {
        int width, height;
        bool editWidth;
        const char* text;
        const char* other;
    };
    const Case cases[] = {
        {100, 1, true, "50", "0"},     {100, 50, true, "30", "15"},  {100, 50, false, "7", "14"},
        {3, 7, true, "10", "23"},      {3, 7, false, "10", "4"},     {100, 33, true, "50", "16"},
        {100, 50, true, "", ""},       {100, 50, false, "abc", ""},  {100, 50, true, "-5", ""},
        {1, 2147483647, true, "2147483647", "4611686018427387904"},  // no integer overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.text);
        ImageResizeForm form({c.width, c.height, 24});
        const auto other = c.editWidth ? form.WidthEdited(c.text) : form.HeightEdited(c.text);
        ASSERT_TRUE(other);
        EXPECT_EQ(*other, c.other);
        EXPECT_EQ(c.editWidth ? form.HeightText() : form.WidthText(), c.other);
    }
}

TEST(ImageResizeForm, ItsOwnWritesDoNotFeedBack) {
    ImageResizeForm form({100, 33, 24});
    const auto height = form.WidthEdited("50");
    ASSERT_EQ(height, "16");
    {
        // The dialog writes the height edit; its change handler reports the text.
        ImageResizeForm::WriteGuard guard(form);
        EXPECT_EQ(form.HeightEdited(*height), std::nullopt);
    }
    EXPECT_EQ(form.WidthText(), "50");  // not trunc(3.03 x 16) = 48
    EXPECT_EQ(form.HeightText(), "16");
    // After the guard, edits link again.
    EXPECT_EQ(form.HeightEdited("10"), "30");
}

TEST(ImageResizeForm, TheCheckBoxAndValidation) {
    ImageResizeForm form({100, 1, 24});
    EXPECT_EQ(form.WidthText(), "100");
    EXPECT_EQ(form.HeightText(), "1");
    EXPECT_TRUE(form.MaintainAspect());
    EXPECT_EQ(form.CurrentSizeLabel(), "Current Size: 300 bytes");
    EXPECT_EQ(form.NewSizeLabel(), "New Size: 300 bytes");

    // 100 x 1 linked to a width of 50 gives a height of 0: no new size, and OK
    // reports the height.
    form.WidthEdited("50");
    EXPECT_EQ(form.NewSizeLabel(), "New Size: --");
    int width = 0, height = 0;
    auto rejection = form.Accept(&width, &height);
    ASSERT_TRUE(rejection);
    EXPECT_EQ(rejection->field, ResizeField::Height);
    EXPECT_EQ(rejection->message.text, kRange);

    // Unchecked, the edits are independent; unchecking changes nothing.
    form.SetMaintainAspect(false);
    EXPECT_EQ(form.WidthText(), "50");
    EXPECT_EQ(form.HeightEdited("3"), std::nullopt);
    EXPECT_EQ(form.WidthText(), "50");
    EXPECT_EQ(form.NewSizeLabel(), "New Size: 456 bytes");  // stride 152 x 3 rows
    EXPECT_FALSE(form.Accept(&width, &height));
    EXPECT_EQ(width, 50);
    EXPECT_EQ(height, 3);

    // The width is checked first.
    form.WidthEdited("0");
    form.HeightEdited("");
    rejection = form.Accept(&width, &height);
    ASSERT_TRUE(rejection);
    EXPECT_EQ(rejection->field, ResizeField::Width);
    form.WidthEdited("2147483648");
    EXPECT_EQ(form.Accept(&width, &height)->field, ResizeField::Width);

    // Checking again resets both edits to the current size.
    form.SetMaintainAspect(true);
    EXPECT_EQ(form.WidthText(), "100");
    EXPECT_EQ(form.HeightText(), "1");
}

TEST(CanvasResizeForm, RelativeEntriesAndTheResultingSize) {
    CanvasResizeForm form({10, 10, 24});
    EXPECT_EQ(form.WidthText(), "10");
    form.SetRelative(true);
    EXPECT_EQ(form.WidthText(), "0");
    EXPECT_EQ(form.HeightText(), "0");
    struct Case {
        bool relative;
        const char* width;
        const char* height;
        std::optional<ResizeField> rejected;
        int resultWidth, resultHeight;
    };
    const Case cases[] = {
        {true, "-3", "-3", std::nullopt, 7, 7},
        {true, "3", "0", std::nullopt, 13, 10},
        {true, "-10", "0", ResizeField::Width, 0, 0},
        {true, "0", "-11", ResizeField::Height, 0, 0},
        {true, "2147483637", "0", std::nullopt, 2147483647, 10},
        {true, "2147483638", "0", ResizeField::Width, 0, 0},
        {true, "x", "0", ResizeField::Width, 0, 0},
        {false, "13", "13", std::nullopt, 13, 13},
        {false, "-3", "13", ResizeField::Width, 0, 0},
        {false, "13", "0", ResizeField::Height, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.relative << " " << c.width << " " << c.height);
        form.SetRelative(c.relative);
        form.SetWidthText(c.width);
        form.SetHeightText(c.height);
        int width = 0, height = 0;
        const auto rejection = form.Accept(&width, &height);
        if (c.rejected) {
            ASSERT_TRUE(rejection);
            EXPECT_EQ(rejection->field, *c.rejected);
            EXPECT_EQ(rejection->message.text, kRange);
            EXPECT_EQ(form.NewSizeLabel(), "New Size: --");
        } else {
            ASSERT_FALSE(rejection);
            EXPECT_EQ(width, c.resultWidth);
            EXPECT_EQ(height, c.resultHeight);
            EXPECT_EQ(form.NewSizeLabel(), NewSizeText(24, c.resultWidth, c.resultHeight));
        }
    }
    form.SetRelative(false);
    form.SetRelative(true);
    form.SetRelative(false);
    EXPECT_EQ(form.WidthText(), "10");
    EXPECT_EQ(form.HeightText(), "10");
}

TEST(CanvasResizeForm, AnchorsOfTheGrid) {
    EXPECT_EQ(CanvasAnchorCode(AnchorRow::Top, AnchorColumn::Left), kAnchorTop | kAnchorLeft);
    EXPECT_EQ(CanvasAnchorCode(AnchorRow::Middle, AnchorColumn::Center),
              kAnchorMiddle | kAnchorCenter);
    EXPECT_EQ(CanvasAnchorCode(AnchorRow::Bottom, AnchorColumn::Right),
              kAnchorBottom | kAnchorRight);
    EXPECT_EQ(CanvasAnchorCode(AnchorRow::Top, AnchorColumn::Right), kAnchorTop | kAnchorRight);
}

TEST(CanvasResizeForm, AppliedCentredToTenByTen) {
    // The form's values go to the apply step: 10 x 10 to 13 x 13 centred puts the
    // picture at (1, 1); relative -3 crops 7 x 7 from (1, 1).
    struct Case {
        bool relative;
        const char* entry;
        int size;
        int destination;  // where source pixel (1, 1) lands
    };
    const Case cases[] = {{false, "13", 13, 2}, {true, "-3", 7, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        ScriptedInteraction ui;
        CIconmillApp app(ui);
        const int index = AddPicture(app.Items(), 10, 10, 8, 0);
        tagILVITEM* item = app.Items().Item(index);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                item->bits[DibStride(item->header) * static_cast<std::size_t>(9 - y) +
                           static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(100 + 10 * y + x);
        CanvasResizeForm form({10, 10, 8});
        form.SetRelative(c.relative);
        form.SetWidthText(c.entry);
        form.SetHeightText(c.entry);
        int width = 0, height = 0;
        ASSERT_FALSE(form.Accept(&width, &height));
        ASSERT_TRUE(ApplyCanvasResize(app, index, width, height,
                                      CanvasAnchorCode(AnchorRow::Middle, AnchorColumn::Center),
                                      RgbColor(0, 0, 0)));
        item = app.Items().Item(index);
        ASSERT_EQ(item->header->biWidth, c.size);
        int value = -1;
        DibGetPixel(item->header, item->bits, c.destination, c.destination, &value);
        EXPECT_EQ(value, 111);
        if (c.size == 13) {
            DibGetPixel(item->header, item->bits, 10, 10, &value);
            EXPECT_EQ(value, 199);  // the picture's last pixel: a border of 2 right and below
            for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {11, 11}, {12, 12}})
                EXPECT_EQ(DibGetPixel(item->header, item->bits, x, y) & 0xFFFFFF, 0u) << x << y;
            DibGetPixel(item->header, item->bits, 1, 1, &value);
            EXPECT_EQ(value, 100);  // source (0, 0)
        }
    }
}

TEST(ResizeDialogs, ADuplicateOpensNoDialog) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    CItemList& list = app.Items();
    EXPECT_EQ(ResizeCommandTarget(app), -1);  // nothing selected: nothing said
    EXPECT_TRUE(ui.messages.empty());
    const int original = AddPicture(list, 5, -3, 4);
    const int duplicate = list.AddDuplicate({}, 0, 0, original);
    list.SetSelected(duplicate, true);
    EXPECT_EQ(ResizeCommandTarget(app), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].id, kStrDuplicateRefused);
    list.SetSelected(original, true);
    EXPECT_EQ(ResizeCommandTarget(app), original);
    const ResizePicture picture = ResizePictureOf(list.Item(original)->header);
    EXPECT_EQ(picture.width, 5);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.bitCount, 4u);
}

TEST(ResizePreview, TheMaskFollowsWithAnOpaqueBorderAndAPictureFailureIsReported) {
    ScriptedInteraction ui;
    const NewItem item = MakePictureItem(10, 10, 24, 0x11, true, 0xFF);  // all transparent
    ResizePreview preview;
    ASSERT_TRUE(BuildResizePreview(ui, item.header.get(), item.bits.get(), item.mask.get(), 13, 13,
                                   CanvasAnchorCode(AnchorRow::Middle, AnchorColumn::Center),
                                   RgbColor(0, 0, 0), &preview));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(preview.header->biWidth, 13);
    EXPECT_EQ(preview.header->biHeight, 13);
    ASSERT_NE(preview.mask, nullptr);
    // Rows bottom-up, 4 bytes each: the picture sits at (1, 1), the border is opaque.
    EXPECT_EQ(preview.mask.get()[12 * 4], 0x00);     // top row
    EXPECT_EQ(preview.mask.get()[7 * 4], 0x7F);      // row 5: x = 1 to 7 of the first byte
    EXPECT_EQ(preview.mask.get()[7 * 4 + 1] >> 5, 0x7);  // x = 8 to 10
    EXPECT_EQ(preview.mask.get()[7 * 4 + 1] & 0x18, 0);  // x = 11, 12

    const NewItem plain = MakePictureItem(4, 2);
    ASSERT_TRUE(BuildResizePreview(ui, plain.header.get(), plain.bits.get(), nullptr, 8, 4,
                                   kPlaceStretch, 0, &preview));
    EXPECT_EQ(preview.mask, nullptr);

    NewItem compressed = MakePictureItem(4, 2, 8);
    compressed.header->biCompression = 1;  // RLE8 cannot be drawn
    EXPECT_FALSE(BuildResizePreview(ui, compressed.header.get(), compressed.bits.get(), nullptr, 8,
                                    4, kPlaceStretch, 0, &preview));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Failed to perform the operation. Some things wrong.");
    EXPECT_EQ(preview.bits, nullptr);
}
