#include "app/image_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "app/application.h"
#include "core/dib.h"
#include "ops/resize_image.h"
#include "ops/rotate_flip.h"
#include "platform/raster.h"
#include "support/scripted_interaction.h"

namespace {

// A scripted interaction that also answers the SHIFT key and the colour dialog.
class CommandInteraction : public ScriptedInteraction {
public:
    bool shiftDown = false;
    std::optional<std::uint32_t> colorAnswer;
    int colorQuestions = 0;

    bool IsShiftDown() override { return shiftDown; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override {
        EXPECT_EQ(initial, 0u);
        ++colorQuestions;
        return colorAnswer;
    }
};

class ImageCommands : public testing::Test {
protected:
    // Adds an original of width x height at `bitCount` whose pixel (x, y) has the
    // stored value `value(x, y)`, selected, optionally with a mask whose bit
    // (x, y) is `maskBit(x, y)`.
    template <class Value>
    int Add(int width, int height, unsigned bitCount, Value value, bool selected = true,
            bool (*maskBit)(int, int) = nullptr, FrameInfo frame = {}) {
        NewItem item;
        const std::size_t table = bitCount <= 8 ? std::size_t{4} << bitCount : 0;
        item.header = AllocateHeaderBlock(40 + table);
        DibHeader& h = *item.header;
        h = DibHeader{40, width, height, 1, static_cast<std::uint16_t>(bitCount), 0, 0, 0, 0, 0, 0};
        if (bitCount <= 8) SetDefaultPalette(&h);
        item.bits = AllocateZeroedBlock(DibImageSize(&h));
        auto surface = *RasterSurface::Over(&h, item.bits.get(), DibImageSize(&h));
        const int rows = height < 0 ? -height : height;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < width; ++x) surface.SetRawPixel(x, y, value(x, y));
        if (maskBit) {
            DibHeader mh{40, width, height, 1, 1, 0, 0, 0, 0, 0, 0};
            item.mask = AllocateZeroedBlock(DibImageSize(&mh));
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < width; ++x)
                    if (maskBit(x, y)) {
                        const int stored = height < 0 ? y : rows - 1 - y;
                        item.mask.get()[stored * DibStride(&mh) + x / 8] |=
                            static_cast<std::uint8_t>(0x80 >> (x % 8));
                    }
        }
        item.frameInfo = frame;
        const int index = app.Items().AddItem(std::move(item));
        app.Items().SetSelected(index, selected);
        app.ClearModified();
        return index;
    }

    const tagILVITEM& Item(int index) { return *app.Items().Item(index); }
    std::uint32_t Pixel(int index, int x, int y) {
        const tagILVITEM& item = Item(index);
        return RasterSurface::Over(item.header, item.bits, DibImageSize(item.header))
            ->RawPixel(x, y);
    }
    bool MaskBit(int index, int x, int y) {
        const tagILVITEM& item = Item(index);
        DibHeader mh{40, item.header->biWidth, item.header->biHeight, 1, 1, 0, 0, 0, 0, 0, 0};
        const int rows = static_cast<int>(DibAbsHeight(&mh));
        const int stored = mh.biHeight < 0 ? y : rows - 1 - y;
        return (item.mask[stored * DibStride(&mh) + x / 8] >> (7 - x % 8)) & 1;
    }

    CommandInteraction ui;
    CIconmillApp app{ui};
};

auto Constant(std::uint32_t v) {
    return [v](int, int) { return v; };
}
bool Diagonal(int x, int y) {
    return x == y;
}
bool LeftColumn(int x, int) {
    return x == 0;
}

}  // namespace

TEST_F(ImageCommands, ConvertSkipsUnselectedDuplicatesAndSameDepth) {
    const int a = Add(2, 2, 24, Constant(0xFF0000), true, Diagonal);
    const int unselected = Add(2, 2, 24, Constant(0xFF0000), false);
    const int already = Add(2, 2, 4, Constant(7));
    const DibHeader* alreadyHeader = Item(already).header;
    const std::uint8_t* mask = Item(a).mask;
    const int dup = app.Items().AddDuplicate({}, 0, 0, a);
    app.Items().SetSelected(dup, true);

    EXPECT_TRUE(ConvertSelectedItems(app, kConvert4Bit));
    EXPECT_EQ(Item(a).header->biBitCount, 4);
    EXPECT_EQ(Pixel(a, 1, 1), 2u);  // red in the fixed table
    EXPECT_EQ(Item(a).mask, mask);  // the mask is left alone
    EXPECT_TRUE(MaskBit(a, 1, 1));
    EXPECT_EQ(Item(unselected).header->biBitCount, 24);
    EXPECT_EQ(Item(already).header, alreadyHeader);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.busyRequests.size(), 1u);
    EXPECT_EQ(ui.busyRequests[0].text, "In progress...");
    EXPECT_TRUE(ui.busyRequests[0].cancellable);
    EXPECT_TRUE(ui.busyRequests[0].marquee);
    EXPECT_EQ(ui.busyDepth, 0);

    // A selection of items that already have the depth changes nothing.
    app.ClearModified();
    EXPECT_TRUE(ConvertSelectedItems(app, kConvert4Bit));
    EXPECT_FALSE(app.IsModified());
}

TEST_F(ImageCommands, ShiftAsksForTheBackgroundOfThirtyTwoBitPictures) {
    const int clear = Add(2, 1, 32, Constant(0x00123456));
    ui.shiftDown = true;
    ui.colorAnswer = std::nullopt;  // cancelled: nothing happens
    EXPECT_FALSE(ConvertSelectedItems(app, kConvert24Bit));
    EXPECT_EQ(Item(clear).header->biBitCount, 32);
    EXPECT_TRUE(ui.busyRequests.empty());

    ui.colorAnswer = RgbColor(10, 20, 30);
    EXPECT_TRUE(ConvertSelectedItems(app, kConvert24Bit));
    EXPECT_EQ(Pixel(clear, 0, 0), 0x0A141Eu);
    EXPECT_EQ(ui.colorQuestions, 2);

    // Converting to 32 bits asks nothing, and every alpha becomes 255.
    EXPECT_TRUE(ConvertSelectedItems(app, kConvert32Bit));
    EXPECT_EQ(ui.colorQuestions, 2);
    EXPECT_EQ(Pixel(clear, 1, 0), 0xFF0A141Eu);
}

TEST_F(ImageCommands, EscapeStopsAfterTheCurrentItem) {
    const int first = Add(1, 1, 24, Constant(0));
    const int second = Add(1, 1, 24, Constant(0));
    ui.cancelAfterPolls = 1;
    EXPECT_FALSE(ConvertSelectedItems(app, kConvert8Bit));
    EXPECT_EQ(Item(first).header->biBitCount, 8);
    EXPECT_EQ(Item(second).header->biBitCount, 24);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ImageCommands, RowOrderKeepsTheLookOfPictureAndMask) {
    const int up = Add(
        3, 2, 8, [](int x, int y) { return static_cast<std::uint32_t>(10 * y + x); }, true,
        LeftColumn);
    const int down = Add(1, -2, 8, Constant(1));
    const std::uint8_t* downBits = Item(down).bits;
    EXPECT_TRUE(ConvertSelectedItems(app, kConvertTopDown));
    EXPECT_EQ(Item(up).header->biHeight, -2);
    EXPECT_EQ(Item(up).bits[0], 0);  // the top row is stored first now
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Pixel(up, x, y), static_cast<std::uint32_t>(10 * y + x));
            EXPECT_EQ(MaskBit(up, x, y), x == 0);
        }
    EXPECT_EQ(Item(down).header->biHeight, -2);
    EXPECT_EQ(Item(down).bits, downBits);

    EXPECT_TRUE(ConvertSelectedItems(app, kConvertBottomUp));
    EXPECT_EQ(Item(up).header->biHeight, 2);
    EXPECT_EQ(Item(down).header->biHeight, 2);
    EXPECT_EQ(Pixel(up, 2, 1), 12u);
}

TEST_F(ImageCommands, RotateMovesMaskHotspotAndBounds) {
    FrameInfo frame;
    frame.hotspotX = 2;  // the top-right pixel of a 3 x 2 picture
    frame.hotspotY = 0;
    const int a = Add(
        3, 2, 4, [](int x, int y) { return static_cast<std::uint32_t>(3 * y + x); }, true, Diagonal,
        frame);
    FrameInfo dupFrame;
    dupFrame.hotspotX = 0;
    dupFrame.hotspotY = 1;
    const int dup = app.Items().AddDuplicate(dupFrame, 0, 0, a);
    const int single = Add(1, 1, 24, Constant(5));
    const DibHeader* singleHeader = Item(single).header;

    EXPECT_TRUE(RotateFlipSelectedItems(app, kRotateClockwise));
    EXPECT_EQ(Item(a).header->biWidth, 2);
    EXPECT_EQ(Item(a).header->biHeight, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const PixelPosition p = RotateFlipPosition(kRotateClockwise, 3, 2, x, y);
            EXPECT_EQ(Pixel(a, p.x, p.y), static_cast<std::uint32_t>(3 * y + x));
            EXPECT_EQ(MaskBit(a, p.x, p.y), x == y);
        }
    // (2, 0) -> (1, 2); the duplicate's (0, 1) -> (0, 0).
    EXPECT_EQ(Item(a).frameInfo.hotspotX, 1);
    EXPECT_EQ(Item(a).frameInfo.hotspotY, 2);
    EXPECT_EQ(Item(dup).frameInfo.hotspotX, 0);
    EXPECT_EQ(Item(dup).frameInfo.hotspotY, 0);
    EXPECT_EQ(Item(single).header, singleHeader);  // 1 x 1 is left out
    EXPECT_EQ(app.Items().BoundingWidth(), 2);
    EXPECT_EQ(app.Items().BoundingHeight(), 3);
    EXPECT_TRUE(app.IsModified());
}

TEST_F(ImageCommands, RotateFailureIsReportedAndEndsTheRun) {
    const int bad = Add(2, 2, 24, Constant(1));
    const int good = Add(2, 2, 24, Constant(1));
    app.Items().Item(bad)->header->biCompression = kBiBitfields;
    const DibHeader* goodHeader = Item(good).header;
    EXPECT_FALSE(RotateFlipSelectedItems(app, kFlipVertical));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("(Image Rotate)"), std::string::npos);
    EXPECT_EQ(Item(good).header, goodHeader);
    EXPECT_FALSE(app.IsModified());
}

TEST_F(ImageCommands, ResizeAppliesToMaskAndHotspot) {
    FrameInfo frame;
    frame.hotspotX = 3;
    frame.hotspotY = 3;
    const int a = Add(4, 4, 24, Constant(0x00FF00), true, Diagonal, frame);

    EXPECT_FALSE(ApplyImageResize(app, a, 4, 4));  // same size: nothing
    EXPECT_FALSE(app.IsModified());

    EXPECT_TRUE(ApplyImageResize(app, a, 2, 2));
    EXPECT_EQ(Item(a).header->biWidth, 2);
    EXPECT_TRUE(MaskBit(a, 0, 0));
    EXPECT_TRUE(MaskBit(a, 1, 1));
    EXPECT_FALSE(MaskBit(a, 1, 0));
    EXPECT_EQ(Item(a).frameInfo.hotspotX, 1);  // 3 * 2 / 4 truncated
    EXPECT_EQ(app.Items().BoundingWidth(), 2);

    // A canvas of 5 x 3 anchored bottom-right: the picture moves by (3, 1), the
    // hot spot too, and the mask's border is opaque.
    EXPECT_TRUE(ApplyCanvasResize(app, a, 5, 3, kAnchorRight | kAnchorBottom, RgbColor(0, 0, 255)));
    EXPECT_EQ(Pixel(a, 0, 0), 0xFFu);
    EXPECT_EQ(Pixel(a, 3, 1), 0x00FF00u);
    EXPECT_TRUE(MaskBit(a, 3, 1));
    EXPECT_FALSE(MaskBit(a, 0, 0));
    EXPECT_EQ(Item(a).frameInfo.hotspotX, 4);
    EXPECT_EQ(Item(a).frameInfo.hotspotY, 2);
    EXPECT_TRUE(app.IsModified());
    EXPECT_TRUE(ui.messages.empty());
}
