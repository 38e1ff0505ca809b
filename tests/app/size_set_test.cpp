#include "app/size_set.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/application.h"
#include "app/resampling.h"
#include "core/dib.h"
#include "formats/compilation.h"
#include "ops/mask_edit.h"
#include "platform/raster.h"
#include "support/scripted_interaction.h"

TEST(SizeSetSpec, ParsesListsDepthsAndKeep) {
    const struct {
        const char* text;
        bool valid;
        std::vector<int> sizes, depths;
        bool keep;
    } cases[] = {
        {"icon", true, {16, 20, 24, 32, 40, 48, 64, 256}, {32}, false},
        {"cursor:keep", true, {32, 48, 64, 96, 128}, {32}, true},
        {"favicon:8,32", true, {16, 32, 48}, {32, 8}, false},
        {"48,16,16:4,8,32,8:keep", true, {16, 48}, {32, 8, 4}, true},
        {"1,1024", true, {1, 1024}, {32}, false},
        {"", false, {}, {}, false},
        {"0", false, {}, {}, false},
        {"1025", false, {}, {}, false},
        {"16,", false, {}, {}, false},
        {"16,-2", false, {}, {}, false},
        {"icons", false, {}, {}, false},
        {"16:24", false, {}, {}, false},
        {"16:32:kept", false, {}, {}, false},
        {"16::keep", false, {}, {}, false},
        {"16:keep:32", false, {}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto spec = ParseSizeSetSpec(c.text);
        ASSERT_EQ(spec.has_value(), c.valid);
        if (!spec) continue;
        EXPECT_EQ(spec->sizes, c.sizes);
        EXPECT_EQ(spec->depths, c.depths);
        EXPECT_EQ(spec->keepSource, c.keep);
    }
}

TEST(SizeSetSpec, HotSpotsScaleRoundedAndClamped) {
    const struct {
        int x, y, width, height, size, newX, newY;
    } cases[] = {
        {10, 31, 32, 32, 48, 15, 47},  // 46.5 rounds up to 47, the last pixel
        {10, 31, 32, 32, 128, 40, 124},
        {10, 31, 32, 32, 16, 5, 16 - 1},  // 15.5 -> 16, clamped to 15
        {63, 0, 64, 32, 16, 15, 0},       // 15.75 -> 16, clamped
        {0, 0, 32, 32, 256, 0, 0},
        {-4, 40, 32, 32, 32, 0, 31},  // a hot spot outside comes inside
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " -> " << c.size);
        EXPECT_EQ(ScaleSizeSetHotspot(c.x, c.y, c.width, c.height, c.size),
                  std::make_pair(c.newX, c.newY));
    }
}

namespace {

class SizeSets : public testing::Test {
protected:
    // A square original whose left half is opaque red and right half transparent
    // (32-bit), or red on black (the right half masked at 8 bits and below).
    int Add(int side, unsigned bitCount, bool selected, FrameInfo frame = {}) {
        NewItem item;
        const std::size_t table = bitCount <= 8 ? std::size_t{4} << bitCount : 0;
        item.header = AllocateHeaderBlock(40 + table);
        *item.header =
            DibHeader{40, side, side, 1, static_cast<std::uint16_t>(bitCount), 0, 0, 0, 0, 0, 0};
        if (bitCount <= 8) SetDefaultPalette(item.header.get());
        item.bits = AllocateZeroedBlock(DibImageSize(item.header.get()));
        auto surface =
            *RasterSurface::Over(item.header.get(), item.bits.get(), DibImageSize(item.header.get()));
        if (bitCount <= 8) item.mask = NewMask(item.header.get());
        const MaskDibHeader mh(*item.header);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const bool left = x < side / 2;
                if (bitCount == 32) {
                    surface.SetRawPixel(x, y, left ? 0xFFFF0000u : 0u);
                } else {
                    surface.SetRawPixel(x, y, surface.MapColor(left ? RgbColor(255, 0, 0) : 0));
                    if (!left && item.mask)
                        RasterSurface::Over(&mh.header, item.mask.get(), MaskBlockSize(&mh.header))
                            ->SetRawPixel(x, y, 1);
                }
            }
        item.frameInfo = frame;
        const int index = app.Items().AddItem(std::move(item));
        app.Items().SetSelected(index, selected);
        return index;
    }

    const tagILVITEM& Item(int index) { return *app.Items().Item(index); }
    std::uint32_t Pixel(int index, int x, int y) {
        const tagILVITEM& item = Item(index);
        return RasterSurface::Over(item.header, item.bits, DibImageSize(item.header))
            ->RawPixel(x, y);
    }
    bool Masked(int index, int x, int y) {
        const tagILVITEM& item = Item(index);
        const MaskDibHeader mh(*item.header);
        return RasterSurface::Over(&mh.header, item.mask, MaskBlockSize(item.header))
                   ->RawPixel(x, y) != 0;
    }
    // Side and depth of every item, in list order.
    std::vector<std::pair<int, int>> Shapes() {
        std::vector<std::pair<int, int>> shapes;
        for (int i = 0; i < app.Items().Count(); ++i)
            shapes.emplace_back(Item(i).Image().header->biWidth, Item(i).Image().header->biBitCount);
        return shapes;
    }

    ScriptedInteraction ui;
    CIconmillApp app{ui};
};

}  // namespace

TEST_F(SizeSets, ReplaceTheSourceInPlaceBySizeThenDepth) {
    FrameInfo frame;
    frame.hotspotX = 10;
    frame.hotspotY = 31;
    frame.delay = 77;
    Add(8, 24, false);
    Add(32, 32, true, frame);
    Add(4, 24, false);
    SizeSetOptions options;
    options.sizes = {16, 48};
    options.depths = {32, 8, 4};
    const PictureRunOutcome outcome = CreateSizeSets(app, options);
    EXPECT_TRUE(outcome.done);
    EXPECT_FALSE(outcome.failed);
    EXPECT_TRUE(app.IsModified());
    const std::vector<std::pair<int, int>> expected = {{8, 24},  {16, 32}, {16, 8}, {16, 4},
                                                       {48, 32}, {48, 8},  {48, 4}, {4, 24}};
    EXPECT_EQ(Shapes(), expected);
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        const tagILVITEM& item = Item(i);
        const int side = item.header->biWidth;
        EXPECT_TRUE(item.IsSelected());
        EXPECT_EQ(item.frameInfo.delay, 77u);
        EXPECT_EQ(item.frameInfo.hotspotX, side == 16 ? 5 : 15);
        EXPECT_EQ(item.frameInfo.hotspotY, side == 16 ? 15 : 47);
        ASSERT_NE(item.mask, nullptr);
        EXPECT_FALSE(Masked(i, 0, side - 1));
        EXPECT_TRUE(Masked(i, side - 1, side - 1));
        if (item.header->biBitCount == 32) {
            EXPECT_EQ(Pixel(i, 0, 0), 0xFFFF0000u);
            EXPECT_EQ(Pixel(i, side - 1, 0), 0u);
        } else {
            // The opaque half keeps its red through the depth's palette.
            const RgbQuad& c = DibColorTable(item.header)[Pixel(i, 0, 0)];
            EXPECT_EQ(c.rgbRed, 255);
            EXPECT_EQ(c.rgbGreen, 0);
        }
    }
    EXPECT_FALSE(Item(0).IsSelected());
}

TEST_F(SizeSets, KeepPutsTheSourceFirstAndMasksBecomeAlpha) {
    Add(16, 8, true);
    SizeSetOptions options;
    options.sizes = {4, 8};
    options.keepSource = true;
    EXPECT_TRUE(CreateSizeSets(app, options));
    const std::vector<std::pair<int, int>> expected = {{16, 8}, {4, 32}, {8, 32}};
    EXPECT_EQ(Shapes(), expected);
    EXPECT_FALSE(Item(0).IsSelected());
    // The masked right half of the 8-bit source is transparent in the 32-bit set.
    EXPECT_EQ(Pixel(1, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(1, 3, 3), 0u);
}

TEST_F(SizeSets, EveryFrameOfAnAnimatedCursorGetsTheSameSizes) {
    app.ReplaceCompilation(MakeCompilation(CompilationAnimatedCursor, "a.ani"));
    FrameInfo first, second;
    first.delay = 100;
    second.delay = 200;
    Add(64, 32, true, first);
    Add(64, 32, false, second);
    SizeSetOptions options;
    options.sizes = SizeSetPresetSizes(SizeSetPreset::Cursor);
    EXPECT_TRUE(CreateSizeSets(app, options));
    ASSERT_EQ(app.Items().Count(), 10);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Item(i).header->biWidth, options.sizes[static_cast<std::size_t>(i % 5)]);
        EXPECT_EQ(Item(i).frameInfo.delay, i < 5 ? 100u : 200u);
    }
}

TEST_F(SizeSets, ASourceWithDuplicatesKeepsItsRecord) {
    const int source = Add(8, 32, true);
    FrameInfo dupFrame;
    dupFrame.hotspotX = 7;
    dupFrame.hotspotY = 4;
    const int dup = app.Items().AddDuplicate(dupFrame, 0, 0, source);
    const tagILVITEM* record = app.Items().Item(source);
    SizeSetOptions options;
    options.sizes = {2, 4};
    EXPECT_TRUE(CreateSizeSets(app, options));
    ASSERT_EQ(app.Items().Count(), 3);
    EXPECT_EQ(app.Items().Item(0), record);
    EXPECT_EQ(record->header->biWidth, 2);
    EXPECT_EQ(Item(1).header->biWidth, 4);
    EXPECT_EQ(Item(dup + 1).reference, record);
    // The duplicate's hot spot follows the picture it shows: 7 * 2 / 8 = 1.75
    // rounds to 2 and is clamped into the 2 x 2 picture; 4 * 2 / 8 = 1.
    EXPECT_EQ(Item(dup + 1).frameInfo.hotspotX, 1);
    EXPECT_EQ(Item(dup + 1).frameInfo.hotspotY, 1);
}

TEST_F(SizeSets, ImageResizeBlendsWithSmoothResamplingAndRemembersIt) {
    EXPECT_EQ(RememberedResampling(app.settings), Resampling::NearestPixel);
    app.settings.resizeResampling = 7;
    EXPECT_EQ(RememberedResampling(app.settings), Resampling::NearestPixel);

    // An 8 x 8 24-bit picture: red on the left half, black on the right.
    const int index = Add(8, 24, true);
    EXPECT_TRUE(ApplyImageResizeWith(app, index, 1, 1, Resampling::Smooth));
    EXPECT_EQ(app.settings.resizeResampling, 1);
    EXPECT_EQ(RememberedResampling(app.settings), Resampling::Smooth);
    EXPECT_EQ(Pixel(index, 0, 0), 0x800000u);  // half red
    EXPECT_EQ(Item(index).header->biBitCount, 24);

    const int other = Add(8, 24, true);
    EXPECT_TRUE(ApplyImageResizeWith(app, other, 2, 1, Resampling::NearestPixel));
    EXPECT_EQ(app.settings.resizeResampling, 0);
    EXPECT_EQ(Pixel(other, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(other, 1, 0), 0u);
}

TEST_F(SizeSets, PartialAlphaStaysUnmaskedAt32BitsAndMaskedBelow) {
    NewItem item;
    item.header = AllocateHeaderBlock(40);
    *item.header = DibHeader{40, 2, 1, 1, 32, 0, 0, 0, 0, 0, 0};
    item.bits = AllocateZeroedBlock(8);
    const std::uint32_t pixels[2] = {0xFFFF0000u, 0x640000FFu};  // opaque red, blue at alpha 100
    std::memcpy(item.bits.get(), pixels, 8);
    app.Items().SetSelected(app.Items().AddItem(std::move(item)), true);
    SizeSetOptions options;
    options.sizes = {2};
    options.depths = {32, 8};
    ASSERT_TRUE(CreateSizeSets(app, options));
    ASSERT_EQ(app.Items().Count(), 2);
    EXPECT_EQ(Pixel(0, 1, 0), 0x640000FFu);
    EXPECT_FALSE(Masked(0, 1, 0));
    EXPECT_TRUE(Masked(1, 1, 0));
    EXPECT_FALSE(Masked(1, 0, 0));
}
