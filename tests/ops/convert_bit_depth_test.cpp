#include "ops/convert_bit_depth.h"

#include <gtest/gtest.h>

#include "ops/ops_test_image.h"
#include "platform/halftone_palette.h"

namespace {

// Converts and checks the result exists.
OpsImage Convert(const OpsImage& source, int depth, ColorRef background = 0) {
    OpsImage out;
    EXPECT_EQ(ConvertBitDepth(source.header.get(), source.bits.get(), depth, &out.header, &out.bits,
                              background),
              ImageOk);
    return out;
}

}  // namespace

TEST(ConvertBitDepth, NewHeaderDefaultTablesAndMappedPixels) {
    // A top-down 3x2 24-bit picture of (200, 100, 50) everywhere. Hand-computed:
    // 1 bit black; 4 bits olive (index 4); 8 bits the cube entry (204, 102, 51) at
    // 16 + 4 * 36 + 2 * 6 + 1 = 173; 16 bits 25 << 10 | 12 << 5 | 6; 32 bits opaque.
    OpsImage source(3, -2, 24);
    source.header->biXPelsPerMeter = 2835;
    source.header->biClrUsed = 7;  // claims a table a 24-bit image does not need
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.SetRaw(x, y, 0xC86432);
    const struct {
        int depth;
        std::uint32_t pixel;
    } cases[] = {{1, 0}, {4, 4}, {8, 173}, {16, 25990}, {32, 0xFFC86432}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        OpsImage out = Convert(source, c.depth);
        ASSERT_TRUE(out.header && out.bits);
        const DibHeader& h = *out.header;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 3);
        EXPECT_EQ(h.biHeight, -2);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.depth);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, 0u);
        EXPECT_EQ(h.biXPelsPerMeter, 0);
        EXPECT_EQ(h.biClrUsed, 0u);
        EXPECT_EQ(h.biClrImportant, 0u);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(out.Raw(x, y), c.pixel);
        const RgbQuad* table = DibColorTable(out.header.get());
        if (c.depth == 1) {
            EXPECT_EQ(std::memcmp(&table[0], "\0\0\0\0\xFF\xFF\xFF\0", 8), 0);
        } else if (c.depth == 4) {
            EXPECT_EQ(std::memcmp(table, Fixed16Palette().data(), 64), 0);
        } else if (c.depth == 8) {
            EXPECT_EQ(std::memcmp(table, HalftonePalette().data(), 1024), 0);
        }
    }
}

TEST(ConvertBitDepth, KeepsRowOrderAndMapsThroughTheSourceTable) {
    // A bottom-up 1-bit picture whose two colours are red and lime: the 4-bit
    // result still has the fixed table, with red at 2 and lime at 5.
    OpsImage source(2, 2, 1, {Rgb(255, 0, 0), Rgb(0, 255, 0)});
    source.SetRaw(1, 0, 1);  // top row: red, lime; bottom row: red, red
    OpsImage out = Convert(source, 4);
    EXPECT_GT(out.header->biHeight, 0);
    EXPECT_EQ(out.bits.get()[0], 0x22);  // stored first: the bottom row
    EXPECT_EQ(out.bits.get()[4], 0x25);

    // 8 bits to 24 reads through the table; to 32 every alpha is 255.
    OpsImage indexed(2, -1, 8, {Rgb(1, 2, 3), Rgb(250, 128, 7)});
    indexed.SetRaw(1, 0, 1);
    OpsImage wide = Convert(indexed, 32);
    EXPECT_EQ(wide.Raw(0, 0), 0xFF010203u);
    EXPECT_EQ(wide.Raw(1, 0), 0xFFFA8007u);
    OpsImage rgb = Convert(indexed, 24);
    EXPECT_EQ(rgb.Raw(1, 0), 0xFA8007u);
}

TEST(ConvertBitDepth, ThirtyTwoBitSourcesAreFlattenedOntoTheBackground) {
    OpsImage source(3, 1, 32);
    source.SetRaw(0, 0, 0x00FFFFFF);  // white, fully transparent
    source.SetRaw(1, 0, 0x80FF0000);  // red at 128
    source.SetRaw(2, 0, 0xFF00FF00);  // opaque lime

    // Without a chosen colour the background is black.
    OpsImage black = Convert(source, 24);
    EXPECT_EQ(black.Raw(0, 0), 0x000000u);
    EXPECT_EQ(black.Raw(1, 0), 0x800000u);  // 255 * 128 / 255
    EXPECT_EQ(black.Raw(2, 0), 0x00FF00u);

    // Over white: red stays 255, the others 255 * 127 / 255 = 127.
    OpsImage white = Convert(source, 24, RgbColor(255, 255, 255));
    EXPECT_EQ(white.Raw(0, 0), 0xFFFFFFu);
    EXPECT_EQ(white.Raw(1, 0), 0xFF7F7Fu);

    // All alpha 0 to 16 bits: the background (10, 20, 30) cut to 5-5-5 everywhere.
    OpsImage clear(2, 2, 32);
    OpsImage word = Convert(clear, 16, RgbColor(10, 20, 30));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(word.Raw(x, y), (1u << 10) | (2u << 5) | 3u);
}

TEST(ConvertBitDepth, RefusesWithoutHandingAnythingOut) {
    OpsImage source(2, 2, 24);
    HeaderBlock header;
    Block bits;
    const DibHeader* h = source.header.get();
    const std::uint8_t* b = source.bits.get();
    EXPECT_EQ(ConvertBitDepth(h, b, 24, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(h, b, 2, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(h, b, -8, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(nullptr, b, 8, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(h, nullptr, 8, &header, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(h, b, 8, nullptr, &bits, 0), ImageInvalidArg);
    EXPECT_EQ(ConvertBitDepth(h, b, 8, &header, nullptr, 0), ImageInvalidArg);
    source.header->biCompression = kBiBitfields;
    EXPECT_EQ(ConvertBitDepth(h, b, 8, &header, &bits, 0), ImageUnsupported);
    EXPECT_FALSE(header);
    EXPECT_FALSE(bits);
}
