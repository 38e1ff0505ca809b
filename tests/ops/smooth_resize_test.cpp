#include "ops/smooth_resize.h"

#include <gtest/gtest.h>

#include <vector>

#include "ops/ops_test_image.h"

namespace {

OpsImage Smooth(const OpsImage& source, int w, int h) {
    OpsImage out;
    EXPECT_EQ(SmoothResizeImage(source.header.get(), source.bits.get(), w, h, &out.header,
                                &out.bits),
              ImageOk);
    return out;
}

// 0xAARRGGBB
constexpr std::uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

}  // namespace

TEST(SmoothResize, BlocksAverageToTheirRoundedMeans) {
    for (int sign : {1, -1}) {
        SCOPED_TRACE(sign);
        // Four 2 x 2 blocks of a 24-bit picture; red holds values whose means are
        // 11.5 (rounded up), 1.25, 200 and 254.75.
        OpsImage source(4, 4 * sign, 24);
        const int red[4][4] = {
            {10, 11, 0, 1}, {12, 13, 2, 2}, {200, 200, 255, 255}, {200, 200, 254, 255}};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                source.SetRaw(x, y, static_cast<std::uint32_t>(red[y][x]) << 16 | 0x0700 | (x + y));
        const OpsImage out = Smooth(source, 2, 2);
        EXPECT_EQ(out.header->biHeight, 2 * sign);
        EXPECT_EQ(out.header->biBitCount, 24);
        EXPECT_EQ(out.Raw(0, 0), 0x0C0701u);  // 11.5 -> 12; blue (0+1+1+2)/4 = 1
        EXPECT_EQ(out.Raw(1, 0), 0x010703u);  // 1.25 -> 1; blue (2+3+3+4)/4 = 3
        EXPECT_EQ(out.Raw(0, 1), 0xC80703u);
        EXPECT_EQ(out.Raw(1, 1), 0xFF0705u);  // 254.75 -> 255
    }
}

TEST(SmoothResize, PartCoveredPixelsGoToTheNewPixelOfTheirCentre) {
    // Five pixels into two: the centre 2.5 lies on the border and goes to the
    // first new pixel (3 + 2), as in Pillow's box filter; eight into three: 3 + 2 + 3.
    OpsImage five(5, 1, 24);
    const int fiveRed[5] = {0, 90, 30, 60, 90};
    for (int x = 0; x < 5; ++x) five.SetRaw(x, 0, static_cast<std::uint32_t>(fiveRed[x]) << 16);
    const OpsImage two = Smooth(five, 2, 1);
    EXPECT_EQ(two.Raw(0, 0), 40u << 16);
    EXPECT_EQ(two.Raw(1, 0), 75u << 16);

    OpsImage eight(1, 8, 24);
    for (int y = 0; y < 8; ++y) eight.SetRaw(0, y, static_cast<std::uint32_t>(10 * y));
    const OpsImage three = Smooth(eight, 1, 3);
    EXPECT_EQ(three.Raw(0, 0), 10u);  // 0, 10, 20
    EXPECT_EQ(three.Raw(0, 1), 35u);  // 30, 40
    EXPECT_EQ(three.Raw(0, 2), 60u);  // 50, 60, 70
}

TEST(SmoothResize, ColoursAreWeightedByAlpha) {
    const struct {
        std::uint32_t left, right, expected;
    } cases[] = {
        // Transparent black beside opaque red: half coverage, still pure red.
        {Argb(255, 255, 0, 0), Argb(0, 0, 0, 0), Argb(128, 255, 0, 0)},
        // A faint blue takes a quarter of the colour: 255*255/340, 255*85/340.
        {Argb(255, 255, 0, 0), Argb(85, 0, 0, 255), Argb(170, 191, 0, 64)},
        // Both transparent: nothing left, black.
        {Argb(0, 9, 9, 9), Argb(0, 200, 200, 200), Argb(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.left << " " << c.right);
        OpsImage source(2, 1, 32);
        source.SetRaw(0, 0, c.left);
        source.SetRaw(1, 0, c.right);
        // A second, opaque row keeps the picture's alpha in use in the third case.
        OpsImage tall(2, 2, 32);
        tall.SetRaw(0, 0, c.left);
        tall.SetRaw(1, 0, c.right);
        tall.SetRaw(0, 1, Argb(255, 1, 2, 3));
        tall.SetRaw(1, 1, Argb(255, 1, 2, 3));
        EXPECT_EQ(Smooth(tall, 1, 2).Raw(0, 0), c.expected);
        if (c.left >> 24 || c.right >> 24) {
            EXPECT_EQ(Smooth(source, 1, 1).Raw(0, 0), c.expected);
        }
    }
}

TEST(SmoothResize, PictureWithoutAlphaAveragesAsOpaque) {
    OpsImage source(2, 1, 32);
    source.SetRaw(0, 0, 0x00FF0000);
    source.SetRaw(1, 0, 0x00000000);
    EXPECT_EQ(Smooth(source, 1, 1).Raw(0, 0), 0x00800000u);
}

TEST(SmoothResize, IndexedSourceKeepsItsDepthAndTable) {
    const std::vector<RgbQuad> table = {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(130, 130, 130),
                                        Rgb(255, 0, 0)};
    OpsImage source(4, 2, 8, table);
    // Black and white average to 128, nearest to the table's gray; red stays red.
    const int indices[2][4] = {{0, 1, 3, 3}, {1, 0, 3, 3}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) source.SetRaw(x, y, static_cast<std::uint32_t>(indices[y][x]));
    const OpsImage out = Smooth(source, 2, 1);
    EXPECT_EQ(out.header->biBitCount, 8);
    EXPECT_EQ(out.header->biClrUsed, 4u);
    EXPECT_EQ(0, std::memcmp(DibColorTable(out.header.get()), table.data(), 4 * table.size()));
    EXPECT_EQ(out.Raw(0, 0), 2u);
    EXPECT_EQ(out.Raw(1, 0), 3u);

    // 5-5-5 comes back 5-5-5: 31 and 0 of red average to 127.5 -> 128 -> 16.
    OpsImage word(2, 1, 16);
    word.SetRaw(0, 0, 31u << 10);
    word.SetRaw(1, 0, 0);
    const OpsImage half = Smooth(word, 1, 1);
    EXPECT_EQ(half.header->biBitCount, 16);
    EXPECT_EQ(half.Raw(0, 0), 16u << 10);
}

TEST(SmoothResize, GrowingUsesClampedBicubic) {
    // Pixel centres aligned, a = -0.5: the taps of the second new pixel weigh the
    // two old ones 0.796875 and 0.203125; the outer ones overshoot and clamp.
    OpsImage source(2, 1, 24);
    source.SetRaw(0, 0, 0x000000);
    source.SetRaw(1, 0, 0xFF0000);
    const OpsImage out = Smooth(source, 4, 1);
    const std::uint32_t expected[4] = {0x000000, 0x340000, 0xCB0000, 0xFF0000};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out.Raw(x, 0), expected[x]) << x;

    // A flat picture stays flat whatever the direction of each axis.
    OpsImage flat(3, 5, 32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) flat.SetRaw(x, y, Argb(200, 10, 20, 30));
    for (const auto& [w, h] : {std::pair{7, 2}, std::pair{2, 11}, std::pair{9, 9}}) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h);
        const OpsImage grown = Smooth(flat, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(grown.Raw(x, y), Argb(200, 10, 20, 30));
    }
}

TEST(SmoothResize, RefusesBadArguments) {
    OpsImage source(4, 4, 32);
    OpsImage out;
    EXPECT_EQ(SmoothResizeImage(nullptr, source.bits.get(), 2, 2, &out.header, &out.bits),
              ImageInvalidArg);
    EXPECT_EQ(SmoothResizeImage(source.header.get(), source.bits.get(), 0, 2, &out.header,
                                &out.bits),
              ImageInvalidArg);
    EXPECT_EQ(SmoothResizeImage(source.header.get(), source.bits.get(), 2, 2, &out.header, nullptr),
              ImageInvalidArg);
    EXPECT_EQ(SmoothResizeImage(source.header.get(), source.bits.get(), 70000, 70000,
                                &out.header, &out.bits),
              ImageOutOfMemory);
    source.header->biCompression = 1;
    EXPECT_EQ(SmoothResizeImage(source.header.get(), source.bits.get(), 2, 2, &out.header,
                                &out.bits),
              ImageNoSurface);
    EXPECT_FALSE(out.bits);
}
