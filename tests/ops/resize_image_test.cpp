#include "ops/resize_image.h"

#include <gtest/gtest.h>

#include "ops/ops_test_image.h"
#include "platform/halftone_palette.h"

TEST(AnchorPlacement, BordersAndCrops) {
    const struct {
        unsigned anchor;
        int size, newSize;
        int destination, source, length;
    } cases[] = {
        {1, 10, 13, 0, 0, 10}, {2, 10, 13, 1, 0, 10}, {3, 10, 13, 3, 0, 10}, {1, 10, 7, 0, 0, 7},
        {2, 10, 7, 0, 1, 7},   {3, 10, 7, 0, 3, 7},   {2, 10, 10, 0, 0, 10}, {2, 1, 4, 1, 0, 1},
        {0, 10, 13, 0, 0, 0},  {4, 10, 13, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const AnchorSpan s = AnchorPlacement(c.anchor, c.size, c.newSize);
        EXPECT_EQ(s.destination, c.destination) << c.anchor << " " << c.size << "->" << c.newSize;
        EXPECT_EQ(s.source, c.source) << c.anchor << " " << c.size << "->" << c.newSize;
        EXPECT_EQ(s.length, c.length) << c.anchor << " " << c.size << "->" << c.newSize;
    }
}

namespace {

// A 10x10 24-bit picture whose pixel (x, y) is 0x0100 * y + x + 1 (never 0).
OpsImage Numbered(int sign) {
    OpsImage image(10, 10 * sign, 24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) image.SetRaw(x, y, 0x100u * y + x + 1);
    return image;
}

OpsImage Resize(const OpsImage& source, int w, int h, std::uint32_t placement, ColorRef fill = 0,
                int x = 0, int y = 0) {
    OpsImage out;
    EXPECT_EQ(ResizeImage(source.header.get(), source.bits.get(), w, h, x, y, &out.header,
                          &out.bits, placement, fill),
              ImageOk);
    return out;
}

}  // namespace

TEST(ResizeImage, CentreMiddleAnchorGrowsAndCrops) {
    for (int sign : {1, -1}) {
        SCOPED_TRACE(sign);
        const OpsImage source = Numbered(sign);
        const OpsImage big =
            Resize(source, 13, 13, kAnchorCenter | kAnchorMiddle, RgbColor(0xAA, 0xBB, 0xCC));
        EXPECT_EQ(big.header->biHeight, 13 * sign);
        EXPECT_EQ(big.header->biSizeImage, 0u);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                const bool inside = x >= 1 && x <= 10 && y >= 1 && y <= 10;
                EXPECT_EQ(big.Raw(x, y), inside ? source.Raw(x - 1, y - 1) : 0xAABBCCu)
                    << x << "," << y;
            }
        const OpsImage small = Resize(source, 7, 7, kAnchorCenter | kAnchorMiddle);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) EXPECT_EQ(small.Raw(x, y), source.Raw(x + 1, y + 1));
    }
    // Bottom-right onto a wider, shorter canvas: right-aligned, bottom rows kept.
    const OpsImage source = Numbered(1);
    const OpsImage br = Resize(source, 12, 4, kAnchorRight | kAnchorBottom, RgbColor(1, 1, 1));
    EXPECT_EQ(br.Raw(0, 0), 0x010101u);
    EXPECT_EQ(br.Raw(2, 0), source.Raw(0, 6));
    EXPECT_EQ(br.Raw(11, 3), source.Raw(9, 9));
}

TEST(ResizeImage, OffsetPlacementAndInvalidAnchorsFill) {
    const OpsImage source = Numbered(1);
    const OpsImage moved = Resize(source, 6, 6, kPlaceOffset, RgbColor(0, 0, 0xFF), -8, 3);
    EXPECT_EQ(moved.Raw(0, 3), source.Raw(8, 0));
    EXPECT_EQ(moved.Raw(1, 5), source.Raw(9, 2));
    EXPECT_EQ(moved.Raw(2, 3), 0xFFu);
    EXPECT_EQ(moved.Raw(0, 2), 0xFFu);

    const OpsImage nothing = Resize(source, 4, 4, 0x44, RgbColor(9, 8, 7));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(nothing.Raw(x, y), 0x090807u);

    // 32 bits: the fill has alpha 0, the picture keeps its alpha.
    OpsImage wide(2, 2, 32);
    wide.SetRaw(0, 0, 0x7F112233);
    const OpsImage canvas =
        Resize(wide, 3, 3, kAnchorLeft | kAnchorTop, RgbColor(0x33, 0x22, 0x11));
    EXPECT_EQ(canvas.Raw(0, 0), 0x7F112233u);
    EXPECT_EQ(canvas.Raw(2, 2), 0x00332211u);

    // A palette image fills with the nearest entry: (250, 10, 10) is red, index 2.
    OpsImage indexed(2, 2, 4, {Fixed16Palette().begin(), Fixed16Palette().end()});
    const OpsImage filled = Resize(indexed, 3, 2, kAnchorLeft | kAnchorTop, RgbColor(250, 10, 10));
    EXPECT_EQ(filled.Raw(2, 0), 2u);
    EXPECT_EQ(filled.Raw(1, 0), 0u);
}

TEST(ResizeImage, StretchKeepsIndicesAndAlpha) {
    // Index 1 and 2 are the same colour; a stretched index 2 stays 2.
    OpsImage indexed(2, 1, 8, {Rgb(0, 0, 0), Rgb(5, 5, 5), Rgb(5, 5, 5)});
    indexed.SetRaw(1, 0, 2);
    const OpsImage doubled = Resize(indexed, 4, 2, kPlaceStretch);
    const std::uint32_t expected[] = {0, 0, 2, 2};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(doubled.Raw(x, y), expected[x]);

    OpsImage wide(4, -4, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) wide.SetRaw(x, y, (0x10u * x + y) << 24 | 0x123456);
    const OpsImage half = Resize(wide, 2, 2, kPlaceStretch);
    EXPECT_EQ(half.header->biHeight, -2);
    EXPECT_EQ(half.Raw(0, 0), wide.Raw(1, 1));
    EXPECT_EQ(half.Raw(1, 1), wide.Raw(3, 3));
}

TEST(ResizeImage, Refusals) {
    OpsImage source(2, 2, 24);
    HeaderBlock header;
    Block bits;
    auto resize = [&](const DibHeader* h, const std::uint8_t* b, int w, int hh, Block* out) {
        return ResizeImage(h, b, w, hh, 0, 0, &header, out, 0, 0);
    };
    EXPECT_EQ(resize(nullptr, source.bits.get(), 2, 2, &bits), ImageInvalidArg);
    EXPECT_EQ(resize(source.header.get(), nullptr, 2, 2, &bits), ImageInvalidArg);
    EXPECT_EQ(resize(source.header.get(), source.bits.get(), 0, 2, &bits), ImageInvalidArg);
    EXPECT_EQ(resize(source.header.get(), source.bits.get(), 2, -1, &bits), ImageInvalidArg);
    EXPECT_EQ(resize(source.header.get(), source.bits.get(), 2, 2, nullptr), ImageInvalidArg);
    EXPECT_EQ(resize(source.header.get(), source.bits.get(), 65536, 65536, &bits),
              ImageOutOfMemory);
    source.header->biCompression = kBiRle8;
    EXPECT_EQ(resize(source.header.get(), source.bits.get(), 2, 2, &bits), ImageNoSurface);
    EXPECT_FALSE(header);
    EXPECT_FALSE(bits);
}
