#include "ops/empty_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/dib.h"
#include "platform/halftone_palette.h"

TEST(EmptyBitmap, EveryDepthIsWhiteWithItsDefaultTable) {
    struct Case {
        unsigned bitCount;
        std::size_t colors;
        int index;  // the palette index every pixel has; -1 for direct colour
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {1, 2, 1, 0xFFFFFF},   {4, 16, 15, 0xFFFFFF}, {8, 256, 255, 0},
        {16, 0, -1, 0xF8F8F8}, {24, 0, -1, 0xFFFFFF}, {32, 0, -1, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitCount);
        HeaderBlock header;
        Block bits;
        ASSERT_EQ(MakeEmptyBitmap(3, 2, c.bitCount, &header, &bits), ImageOk);
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biWidth, 3);
        EXPECT_EQ(header->biHeight, 2);
        EXPECT_EQ(header->biPlanes, 1);
        EXPECT_EQ(header->biCompression, kBiRgb);
        EXPECT_EQ(header->biClrUsed, 0u);
        EXPECT_EQ(header->biSizeImage, 0u);
        EXPECT_EQ(DibColorCount(header.get()), c.colors);
        for (std::size_t i = 0; i < DibImageSize(header.get()); ++i) ASSERT_EQ(bits.get()[i], 0xFF);
        int index = -1;
        const std::uint32_t pixel = DibGetPixel(header.get(), bits.get(), 2, 1, &index);
        EXPECT_EQ(index, c.index);
        if (c.bitCount == 8) {
            // The halftone palette whole, whatever its last entry is.
            EXPECT_EQ(0, std::memcmp(DibColorTable(header.get()), HalftonePalette().data(), 1024));
        } else {
            EXPECT_EQ(pixel, c.pixel);
        }
    }
    HeaderBlock header;
    Block bits;
    ASSERT_EQ(MakeEmptyBitmap(1, 1, 1, &header, &bits), ImageOk);
    const RgbQuad* table = DibColorTable(header.get());
    EXPECT_EQ(table[0].rgbRed + table[0].rgbGreen + table[0].rgbBlue, 0);
    EXPECT_EQ(table[1].rgbRed & table[1].rgbGreen & table[1].rgbBlue, 255);
}

TEST(EmptyBitmap, RefusesImpossibleSizesBeforeAllocating) {
    struct Case {
        std::int32_t width, height;
        unsigned bitCount;
        ImageResult result;
    };
    const Case cases[] = {
        {2147483647, 2147483647, 32, ImageOutOfMemory},  // overflows 64 bits of stride x rows
        {2147483647, 1, 32, ImageOutOfMemory},           // 8 GiB in one row
        {16385, 16384, 32, ImageOutOfMemory},            // just above the limit
        {64, 64, 1, ImageOk},
        {0, 5, 24, ImageInvalidArg},
        {5, -5, 24, ImageInvalidArg},
        {5, 5, 2, ImageInvalidArg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bitCount);
        HeaderBlock header;
        Block bits;
        EXPECT_EQ(MakeEmptyBitmap(c.width, c.height, c.bitCount, &header, &bits), c.result);
        EXPECT_EQ(header == nullptr, c.result != ImageOk);
        EXPECT_EQ(bits == nullptr, c.result != ImageOk);
    }
}
