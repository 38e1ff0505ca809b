#include "ops/merge_split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ops/ops_test_image.h"

namespace {

// A picture (a negative height: top-down) whose every pixel has one colour (8
// bits: index 1 of a table black, colour; 32 bits: opaque).
OpsImage Solid(int width, int height, unsigned bitCount, ColorRef color) {
    const RgbQuad entry = Rgb(RedOf(color), GreenOf(color), BlueOf(color));
    OpsImage image = bitCount == 8 ? OpsImage(width, height, 8, {Rgb(0, 0, 0), entry})
                                   : OpsImage(width, height, bitCount);
    auto surface = image.Surface();
    RasterFillRect(surface, {0, 0, width, image.Height()}, color);
    if (bitCount == 32)
        DibForceOpaque(image.header.get(), image.bits.get(), 0, 0, width - 1, image.Height() - 1);
    return image;
}

MergeSource Source(const OpsImage& image, const std::uint8_t* mask = nullptr) {
    return {image.header.get(), image.bits.get(), mask};
}

struct Merged {
    ImageResult result;
    OpsImage image;
    // The pixel as 0xAARRGGBB (alpha 0 below 32 bits).
    std::uint32_t Argb(int x, int y) const {
        return RasterPixelArgb(image.Surface().Image(), x, y);
    }
};

Merged Merge(const std::vector<MergeSource>& sources, int perStrip,
             StripOrientation orientation = StripOrientation::Horizontal, bool fill = false,
             ColorRef fillColor = 0) {
    Merged merged;
    merged.result = BuildMergedImage(sources, {perStrip, orientation, fill, fillColor},
                                     &merged.image.header, &merged.image.bits);
    return merged;
}

constexpr ColorRef kRed = RgbColor(255, 0, 0), kGreen = RgbColor(0, 255, 0),
                   kBlue = RgbColor(0, 0, 255), kWhite = RgbColor(255, 255, 255);

}  // namespace

TEST(BuildMergedImage, CellsAreTheLargestSidesAndPicturesSitAtTheirTopLeft) {
    const OpsImage a = Solid(16, 16, 24, kRed), b = Solid(16, 16, 24, kGreen),
                   c = Solid(16, 16, 24, kBlue), d = Solid(32, 8, 24, kWhite);
    const Merged m = Merge({Source(a), Source(b), Source(c), Source(d)}, 2);
    ASSERT_EQ(m.result, ImageOk);
    const DibHeader& h = *m.image.header;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 64);
    EXPECT_EQ(h.biHeight, 32);  // bottom-up
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biSizeImage, 0u);
    struct Probe {
        int x, y;
        std::uint32_t argb;
    };
    const Probe probes[] = {
        {0, 0, 0xFF0000},   {15, 15, 0xFF0000}, {16, 0, 0},         {31, 15, 0},  // cell 0
        {32, 0, 0x00FF00},  {47, 15, 0x00FF00}, {48, 0, 0},                       // cell 1
        {0, 16, 0x0000FF},  {15, 31, 0x0000FF}, {16, 16, 0},                      // cell 2
        {32, 16, 0xFFFFFF}, {63, 23, 0xFFFFFF}, {32, 24, 0},        {63, 31, 0},  // cell 3
    };
    for (const Probe& p : probes) EXPECT_EQ(m.Argb(p.x, p.y), p.argb) << p.x << "," << p.y;
}

TEST(BuildMergedImage, StripsAndOrientations) {
    const OpsImage a = Solid(4, 2, 24, kRed), b = Solid(4, 2, 24, kGreen),
                   c = Solid(4, 2, 24, kBlue);
    const std::vector<MergeSource> sources = {Source(a), Source(b), Source(c)};
    struct Case {
        int perStrip;
        StripOrientation orientation;
        int width, height;
        int cells[3][2];  // the cell (column, row) of each source
    };
    const auto H = StripOrientation::Horizontal, V = StripOrientation::Vertical;
    const Case cases[] = {
        {3, H, 12, 2, {{0, 0}, {1, 0}, {2, 0}}},  // k = n: one strip
        {1, H, 4, 6, {{0, 0}, {0, 1}, {0, 2}}},   // k = 1: a strip each
        {2, H, 8, 4, {{0, 0}, {1, 0}, {0, 1}}},
        {3, V, 4, 6, {{0, 0}, {0, 1}, {0, 2}}},
        {1, V, 12, 2, {{0, 0}, {1, 0}, {2, 0}}},
        {2, V, 8, 4, {{0, 0}, {0, 1}, {1, 0}}},
    };
    const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.perStrip << (c.orientation == H ? " H" : " V"));
        const Merged m = Merge(sources, c.perStrip, c.orientation);
        ASSERT_EQ(m.result, ImageOk);
        EXPECT_EQ(m.image.Width(), c.width);
        EXPECT_EQ(m.image.Height(), c.height);
        for (int i = 0; i < 3; ++i) {
            const int x = c.cells[i][0] * 4, y = c.cells[i][1] * 2;
            EXPECT_EQ(m.Argb(x, y), colours[i]);
            EXPECT_EQ(m.Argb(x + 3, y + 1), colours[i]);
        }
    }
}

TEST(BuildMergedImage, DepthRuleAndAlphaOfLowerDepthSources) {
    const OpsImage a = Solid(4, 4, 24, kRed), b = Solid(2, 2, 8, kGreen);
    const Merged low = Merge({Source(a), Source(b)}, 2);
    ASSERT_EQ(low.result, ImageOk);
    EXPECT_EQ(low.image.header->biBitCount, 24);

    // A 32-bit source makes the result 32-bit: the other sources' rectangles are
    // opaque, the rest of their cells transparent black.
    const OpsImage c = Solid(3, 3, 32, kBlue);
    const Merged high = Merge({Source(a), Source(b), Source(c)}, 3);
    ASSERT_EQ(high.result, ImageOk);
    EXPECT_EQ(high.image.header->biBitCount, 32);
    EXPECT_EQ(high.Argb(3, 3), 0xFFFF0000u);
    EXPECT_EQ(high.Argb(4, 0), 0xFF00FF00u);
    EXPECT_EQ(high.Argb(5, 1), 0xFF00FF00u);
    EXPECT_EQ(high.Argb(6, 0), 0u);   // b's cell beyond its 2 x 2
    EXPECT_EQ(high.Argb(4, 2), 0u);
    EXPECT_EQ(high.Argb(8, 0), 0xFF0000FFu);
    EXPECT_EQ(high.Argb(11, 3), 0u);  // c's cell beyond its 3 x 3

    // Filled: the empty parts take the colour, opaque.
    const Merged filled = Merge({Source(a), Source(b), Source(c)}, 3,
                                StripOrientation::Horizontal, true, RgbColor(1, 2, 3));
    ASSERT_EQ(filled.result, ImageOk);
    EXPECT_EQ(filled.Argb(6, 0), 0xFF010203u);
    EXPECT_EQ(filled.Argb(11, 3), 0xFF010203u);
    EXPECT_EQ(filled.Argb(4, 0), 0xFF00FF00u);
}

TEST(BuildMergedImage, A32BitSourceIsCompositedOverTheBackground) {
    OpsImage half = Solid(1, 1, 32, kRed);
    half.SetRaw(0, 0, 0x80FF0000);  // red, alpha 128
    const OpsImage other = Solid(1, 1, 24, kGreen);
    const Merged m = Merge({Source(half), Source(other)}, 2, StripOrientation::Horizontal, true,
                           kWhite);
    ASSERT_EQ(m.result, ImageOk);
    const std::uint32_t p = m.Argb(0, 0);
    EXPECT_EQ((p >> 16) & 0xFF, 255u);
    EXPECT_EQ((p >> 8) & 0xFF, 127u);  // 255 x 127 / 255
    EXPECT_EQ(p & 0xFF, 127u);
}

TEST(BuildMergedImage, AMaskedSourceShowsTheBackgroundThroughItsMask) {
    // An 8-bit 8 x 2 picture whose left half is masked (mask byte 0xF0 per row).
    const OpsImage masked = Solid(8, 2, 8, kGreen);
    const std::uint8_t mask[8] = {0xF0, 0, 0, 0, 0xF0, 0, 0, 0};
    const OpsImage opaque = Solid(1, 1, 32, kBlue);
    for (const bool fill : {false, true}) {
        SCOPED_TRACE(fill);
        const Merged m = Merge({Source(masked, mask), Source(opaque)}, 2,
                               StripOrientation::Horizontal, fill, kRed);
        ASSERT_EQ(m.result, ImageOk);
        ASSERT_EQ(m.image.header->biBitCount, 32);
        const std::uint32_t background = fill ? 0xFF0000 : 0;
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(m.Argb(0, y), background);  // masked: background colour, alpha 0
            EXPECT_EQ(m.Argb(3, y), background);
            EXPECT_EQ(m.Argb(4, y), 0xFF00FF00u);
            EXPECT_EQ(m.Argb(7, y), 0xFF00FF00u);
        }
    }
    // Into a 24-bit result the masked pixels keep the background too.
    const OpsImage plain = Solid(1, 1, 24, kBlue);
    const Merged low = Merge({Source(masked, mask), Source(plain)}, 2,
                             StripOrientation::Horizontal, true, kRed);
    ASSERT_EQ(low.result, ImageOk);
    EXPECT_EQ(low.Argb(1, 1), 0xFF0000u);
    EXPECT_EQ(low.Argb(5, 1), 0x00FF00u);
}

TEST(BuildMergedImage, RefusesBadParametersAndImpossibleSizes) {
    const OpsImage a = Solid(2, 2, 24, kRed), b = Solid(2, 2, 24, kGreen);
    EXPECT_EQ(Merge({Source(a)}, 1).result, ImageInvalidArg);
    EXPECT_EQ(Merge({Source(a), Source(b)}, 0).result, ImageInvalidArg);
    EXPECT_EQ(Merge({Source(a), Source(b)}, 3).result, ImageInvalidArg);
    EXPECT_EQ(Merge({Source(a), {nullptr, nullptr, nullptr}}, 2).result, ImageInvalidArg);

    // Sizes beyond 32 bits or the image limit are refused before any pixel is
    // read or allocated (the headers promise far more pixels than `bits` holds).
    std::uint8_t bits[4] = {};
    DibHeader wide{40, 1 << 30, 1, 1, 24, 0, 0, 0, 0, 0, 0};
    DibHeader large{40, 20000, 20000, 1, 24, 0, 0, 0, 0, 0, 0};
    const Merged tooWide = Merge({{&wide, bits, nullptr}, {&wide, bits, nullptr}}, 2);
    EXPECT_EQ(tooWide.result, ImageOutOfMemory);
    EXPECT_EQ(tooWide.image.header, nullptr);
    EXPECT_EQ(Merge({{&large, bits, nullptr}, {&large, bits, nullptr}}, 2).result,
              ImageOutOfMemory);

    DibHeader compressed{40, 2, 2, 1, 8, kBiRle8, 0, 0, 0, 0, 0};
    EXPECT_EQ(Merge({Source(a), {&compressed, bits, nullptr}}, 2).result, ImageNoSurface);
}

TEST(SplitTileSize, CountsMustDivideThePicture) {
    const DibHeader header{40, 48, -32, 1, 24, 0, 0, 0, 0, 0, 0};
    struct Case {
        int across, down;
        bool valid;
    };
    const Case cases[] = {{3, 2, true}, {48, 32, true}, {1, 1, true},  {5, 1, false},
                          {0, 1, false}, {1, 0, false}, {96, 1, false}, {1, 33, false}};
    for (const Case& c : cases) {
        const auto tile = SplitTileSize(&header, c.across, c.down);
        EXPECT_EQ(tile.has_value(), c.valid) << c.across << "x" << c.down;
        if (tile) {
            EXPECT_EQ(tile->width, 48 / c.across);
            EXPECT_EQ(tile->height, 32 / c.down);
        }
    }
}

TEST(MakeSplitTile, TilesInReadingOrderAreBottomUpCopiesOfTheirRectangles) {
    // Every depth and both row orders: each tile holds the stored values of its
    // rectangle, with the picture's colour table.
    for (const unsigned bitCount : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bitCount << (topDown ? " top-down" : " bottom-up"));
            std::vector<RgbQuad> palette;
            if (bitCount <= 8)
                for (unsigned i = 0; i < (1u << bitCount); ++i)
                    palette.push_back(Rgb(static_cast<int>(i), 7, 9));
            OpsImage source(12, topDown ? -6 : 6, bitCount, palette);
            for (int y = 0; y < 6; ++y) {
                for (int x = 0; x < 12; ++x) {
                    const auto value = static_cast<std::uint32_t>(x * 37 + y * 101 + 5) * 2654435761u;
                    source.SetRaw(x, y, bitCount == 32 ? value : value % (1u << bitCount));
                }
            }

            int made = 0;
            for (int row = 0; row < 2; ++row) {
                for (int column = 0; column < 3; ++column, ++made) {
                    OpsImage tile;
                    ASSERT_EQ(MakeSplitTile(source.header.get(), source.bits.get(), 3, 2, column,
                                            row, &tile.header, &tile.bits),
                              ImageOk);
                    EXPECT_EQ(tile.header->biWidth, 4);
                    EXPECT_EQ(tile.header->biHeight, 3);
                    EXPECT_EQ(tile.header->biBitCount, bitCount);
                    EXPECT_EQ(tile.header->biSizeImage, 0u);
                    EXPECT_EQ(std::memcmp(DibColorTable(tile.header.get()),
                                          DibColorTable(source.header.get()), 4 * palette.size()),
                              0);
                    for (int y = 0; y < 3; ++y)
                        for (int x = 0; x < 4; ++x)
                            ASSERT_EQ(tile.Raw(x, y), source.Raw(column * 4 + x, row * 3 + y))
                                << "tile " << made << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(MakeSplitTile, RefusesTilesOutsideTheGrid) {
    const OpsImage source(48, 32, 24);
    OpsImage tile;
    const DibHeader* h = source.header.get();
    const std::uint8_t* b = source.bits.get();
    EXPECT_EQ(MakeSplitTile(h, b, 5, 1, 0, 0, &tile.header, &tile.bits), ImageInvalidArg);
    EXPECT_EQ(MakeSplitTile(h, b, 3, 2, 3, 0, &tile.header, &tile.bits), ImageInvalidArg);
    EXPECT_EQ(MakeSplitTile(h, b, 3, 2, 0, 2, &tile.header, &tile.bits), ImageInvalidArg);
    EXPECT_EQ(MakeSplitTile(h, b, 3, 2, -1, 0, &tile.header, &tile.bits), ImageInvalidArg);
    EXPECT_EQ(tile.header, nullptr);
}

TEST(BuildMergedImage, ATopDownSourceAndItsMaskKeepTheirLook) {
    // The top row of the top-down picture is masked; its mask rows are top-down too.
    OpsImage picture = Solid(8, -2, 8, kGreen);
    picture.SetRaw(0, 1, 0);  // bottom-left pixel black
    const std::uint8_t mask[8] = {0xFF, 0, 0, 0, 0x00, 0, 0, 0};
    const OpsImage other = Solid(1, 1, 32, kBlue);
    const Merged m = Merge({Source(picture, mask), Source(other)}, 1);
    ASSERT_EQ(m.result, ImageOk);
    EXPECT_EQ(m.image.header->biHeight, 4);
    EXPECT_EQ(m.Argb(3, 0), 0u);
    EXPECT_EQ(m.Argb(0, 1), 0xFF000000u);
    EXPECT_EQ(m.Argb(3, 1), 0xFF00FF00u);
    EXPECT_EQ(m.Argb(0, 2), 0xFF0000FFu);
}
