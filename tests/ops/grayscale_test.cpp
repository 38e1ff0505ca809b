#include "ops/grayscale.h"

#include <gtest/gtest.h>

#include "ops/ops_test_image.h"

namespace {

struct LevelCase {
    int r, g, b, method, level;
};

// Pixel stored as B, G, R(, A) at picture (x, y).
void SetBgr(OpsImage& image, int x, int y, int r, int g, int b, int a = 0) {
    image.SetRaw(x, y, static_cast<std::uint32_t>(a << 24 | r << 16 | g << 8 | b));
}

OpsImage Gray(const OpsImage& source, const GrayscaleChoice& choice) {
    OpsImage out;
    EXPECT_EQ(
        GrayscaleImage(source.header.get(), source.bits.get(), choice, &out.header, &out.bits),
        ImageOk);
    return out;
}

}  // namespace

TEST(GrayLevel, EachMethodAsDefinedIncludingSinglePrecisionTruncation) {
    const LevelCase cases[] = {
        {10, 200, 51, kGrayLightness, 105},
        {10, 200, 51, kGrayAverage, 87},
        {10, 200, 51, kGrayLumaTv, 126},
        {10, 200, 51, kGrayLumaBt709, 148},
        {255, 0, 0, kGrayLumaTv, 76},
        {0, 255, 0, kGrayLumaBt709, 182},
        {255, 255, 255, kGrayLumaTv, 255},
        {255, 255, 255, kGrayLumaBt709, 255},
        {1, 0, 0, kGrayLightness, 0},
        {2, 2, 1, kGrayAverage, 1},
        // Single-precision products make these grays one lower.
        {37, 37, 37, kGrayLumaTv, 36},
        {13, 13, 13, kGrayLumaBt709, 12},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << ',' << c.g << ',' << c.b << " m" << c.method);
        EXPECT_EQ(GrayLevel(c.r, c.g, c.b, c.method), c.level);
    }
}

TEST(GrayscaleImage, PaletteImagesChangeOnlyTheirTable) {
    // Two colours with the same average end as two equal entries; the preserved
    // one and the indices stay.
    OpsImage source(3, 2, 8, {Rgb(30, 0, 0), Rgb(0, 0, 30), Rgb(200, 100, 50)});
    DibColorTable(source.header.get())[1].rgbReserved = 9;
    for (int i = 0; i < 3; ++i) {
        source.SetRaw(i, 0, static_cast<std::uint32_t>(i));
        source.SetRaw(i, 1, static_cast<std::uint32_t>(2 - i));
    }
    GrayscaleChoice choice{kGrayAverage, true, RgbColor(200, 100, 50)};
    const OpsImage out = Gray(source, choice);
    EXPECT_EQ(0, std::memcmp(out.bits.get(), source.bits.get(), source.Size()));
    EXPECT_EQ(out.header->biClrUsed, 3u);
    const RgbQuad* table = DibColorTable(out.header.get());
    const RgbQuad expected[] = {{10, 10, 10, 0}, {10, 10, 10, 9}, {50, 100, 200, 0}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0, std::memcmp(&table[i], &expected[i], 4));
    }

    // A 1-bit image with biClrUsed 0 grays both entries of its full table.
    OpsImage mono(9, 1, 1, {});
    DibColorTable(mono.header.get())[0] = Rgb(255, 0, 0);
    DibColorTable(mono.header.get())[1] = Rgb(0, 255, 0);
    const OpsImage grayMono = Gray(mono, GrayscaleChoice{kGrayLumaTv});
    EXPECT_EQ(DibColorTable(grayMono.header.get())[0].rgbGreen, 76);
    EXPECT_EQ(DibColorTable(grayMono.header.get())[1].rgbRed, 149);
}

TEST(GrayscaleImage, TrueColourPixelsKeepAlphaAndThePreservedColour) {
    for (const int height : {2, -2}) {
        SCOPED_TRACE(height);
        OpsImage source(2, height, 32);
        SetBgr(source, 0, 0, 200, 100, 50, 7);
        SetBgr(source, 1, 0, 40, 80, 160, 0x80);  // preserved, whatever its alpha
        SetBgr(source, 0, 1, 40, 80, 161, 0xFF);
        SetBgr(source, 1, 1, 13, 13, 13, 0);
        const OpsImage out =
            Gray(source, GrayscaleChoice{kGrayLumaBt709, true, RgbColor(40, 80, 160)});
        EXPECT_EQ(out.Raw(0, 0), 0x07757575u);  // 117
        EXPECT_EQ(out.Raw(1, 0), source.Raw(1, 0));
        EXPECT_EQ(out.Raw(0, 1) >> 24, 0xFFu);
        EXPECT_EQ(out.Raw(1, 1), 0x000C0C0Cu);  // 12
    }
    OpsImage rgb(2, 1, 24);
    SetBgr(rgb, 0, 0, 10, 200, 51);
    SetBgr(rgb, 1, 0, 1, 2, 3);
    const OpsImage out = Gray(rgb, GrayscaleChoice{kGrayLightness});
    EXPECT_EQ(out.Raw(0, 0), 0x00696969u);  // 105
    EXPECT_EQ(out.Raw(1, 0), 0x00020202u);
}

TEST(GrayscaleImage, SixteenBitPixelsAndTheColourPickedFromThem) {
    OpsImage source(3, 1, 16);
    const std::uint32_t kept = 5 << 10 | 10 << 5 | 20;  // reads as (40, 80, 160)
    source.SetRaw(0, 0, kept);
    source.SetRaw(1, 0, 5 << 10 | 10 << 5 | 21);  // (40, 80, 168): 77
    source.SetRaw(2, 0, 0x8000 | 31 << 10);       // (248, 0, 0): 52, top bit cleared
    const ColorRef picked = GrayscalePickColor(source.header.get(), source.bits.get(), 0, 0);
    EXPECT_EQ(picked, RgbColor(40, 80, 160));
    const OpsImage out = Gray(source, GrayscaleChoice{kGrayLumaBt709, true, picked});
    EXPECT_EQ(out.Raw(0, 0), kept);
    EXPECT_EQ(out.Raw(1, 0), 9u * 1057);
    EXPECT_EQ(out.Raw(2, 0), 6u * 1057);
}

TEST(GrayscaleImage, NoMethodCopiesAndBadInputIsRefused) {
    OpsImage source(2, 2, 24);
    SetBgr(source, 1, 1, 1, 2, 3);
    const OpsImage same = Gray(source, GrayscaleChoice{std::nullopt});
    EXPECT_EQ(0, std::memcmp(same.bits.get(), source.bits.get(), source.Size()));

    HeaderBlock header;
    Block bits;
    EXPECT_EQ(
        GrayscaleImage(source.header.get(), source.bits.get(), GrayscaleChoice{4}, &header, &bits),
        ImageInvalidArg);
    source.header->biCompression = kBiBitfields;
    EXPECT_EQ(
        GrayscaleImage(source.header.get(), source.bits.get(), GrayscaleChoice{}, &header, &bits),
        ImageUnsupported);
    EXPECT_FALSE(header || bits);
}
