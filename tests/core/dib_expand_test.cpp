#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "core/dib_test_util.h"
#include "support/test_files.h"

namespace {

struct Expanded {
    ImageResult result = ImageInvalidArg;
    bool ok = false;
    HeaderBlock header;
    Block bits;
};

// Expands blocks made from `headerBlock` and `data`, as ReadBmpFile would hand them over.
Expanded Expand(const std::vector<std::uint8_t>& headerBlock,
                const std::vector<std::uint8_t>& data) {
    Expanded out;
    out.header = AllocateHeaderBlock(headerBlock.size());
    std::memcpy(out.header.get(), headerBlock.data(), headerBlock.size());
    out.bits = AllocateBlock(data.size());
    if (!data.empty()) std::memcpy(out.bits.get(), data.data(), data.size());
    out.result = ExpandCompressedDib(&out.header, &out.bits, data.size());
    out.ok = out.result == ImageOk;
    return out;
}

std::vector<std::uint8_t> Rows(const Expanded& e) {
    const std::uint8_t* p = e.bits.get();
    return std::vector<std::uint8_t>(p, p + DibImageSize(e.header.get()));
}

std::vector<std::uint8_t> GrayTable(int n) {
    std::vector<std::uint8_t> t;
    for (int i = 0; i < n; ++i)
        t.insert(t.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    return t;
}

TEST(ExpandCompressedDib, LeavesUncompressedImagesAlone) {
    std::vector<std::uint8_t> header = HeaderBytes(MakeHeader(1, 1, 24));
    Expanded e = Expand(header, {1, 2, 3, 0});
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(Rows(e), (std::vector<std::uint8_t>{1, 2, 3, 0}));
}

TEST(ExpandCompressedDib, DecodesRunLengthStreams) {
    struct Case {
        const char* name;
        std::int32_t width, height;
        bool fourBit;
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> rows;  // bottom row first
    };
    const Case cases[] = {
        {"RLE8 runs, delta, end of line, padded absolute run",
         4,
         3,
         false,
         {2, 5, 0, 2, 1, 1, 1, 7, 0, 0, 0, 3, 0xA, 0xB, 0xC, 0, 0, 1, 9, 9},
         {5, 5, 0, 0, 0, 0, 0, 7, 0xA, 0xB, 0xC, 0}},
        {"RLE8 clipped at the right edge keeps its place in the stream",
         3,
         3,
         false,
         {5, 9, 0, 4, 1, 2, 3, 4, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 2, 7},
         {9, 9, 9, 0, 1, 2, 3, 0, 7, 7, 0, 0}},
        {"RLE8 delta past the top stops drawing",
         2,
         2,
         false,
         {1, 4, 0, 2, 0, 200, 2, 6, 0, 1},
         {4, 0, 0, 0, 0, 0, 0, 0}},
        {"RLE8 delta past the right edge draws nothing until the next line",
         2,
         2,
         false,
         {0, 2, 250, 0, 2, 3, 0, 0, 1, 8},
         {0, 0, 0, 0, 8, 0, 0, 0}},
        {"RLE8 data ending in an absolute run", 4, 1, false, {1, 3, 0, 4, 1, 2}, {3, 1, 2, 0}},
        {"RLE4 alternating runs and an odd absolute run with padding",
         5,
         2,
         true,
         {5, 0x12, 0, 0, 0, 5, 0x67, 0x89, 0xA0, 0, 0, 1},
         {0x12, 0x12, 0x10, 0, 0x67, 0x89, 0xA0, 0}},
        {"RLE4 run clipped mid-byte, then a three-nibble absolute run",
         3,
         2,
         true,
         {7, 0x34, 0, 0, 0, 3, 0xBC, 0xD0},
         {0x34, 0x30, 0, 0, 0xBC, 0xD0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint16_t bits = c.fourBit ? 4 : 8;
        std::vector<std::uint8_t> header =
            HeaderBytes(MakeHeader(c.width, c.height, bits, c.fourBit ? kBiRle4 : kBiRle8),
                        GrayTable(c.fourBit ? 16 : 256));
        Expanded e = Expand(header, c.data);
        ASSERT_TRUE(e.ok);
        EXPECT_EQ(e.header->biCompression, kBiRgb);
        EXPECT_EQ(e.header->biBitCount, bits);
        EXPECT_EQ(e.header->biHeight, c.height);
        EXPECT_EQ(
            std::memcmp(DibColorTable(e.header.get()), header.data() + 40, header.size() - 40), 0);
        EXPECT_EQ(Rows(e), c.rows);
    }
}

TEST(ExpandCompressedDib, OutputHeaderIsAnUncompressedCopy) {
    DibHeader h = MakeHeader(2, 1, 8, kBiRle8, 2);
    h.biSizeImage = 1234;
    h.biXPelsPerMeter = 77;
    Expanded e = Expand(HeaderBytes(h, GrayTable(2)), {2, 1, 0, 1});
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.header->biSizeImage, 0u);
    EXPECT_EQ(e.header->biPlanes, 1);
    EXPECT_EQ(e.header->biXPelsPerMeter, 77);
    EXPECT_EQ(e.header->biClrUsed, 2u);
    EXPECT_EQ(Rows(e), (std::vector<std::uint8_t>{1, 1, 0, 0}));
}

TEST(ExpandCompressedDib, RefusesWhatItCannotDecode) {
    struct Case {
        const char* name;
        DibHeader header;
    };
    const Case cases[] = {
        {"top-down RLE8", MakeHeader(4, -2, 8, kBiRle8)},
        {"RLE8 at 4 bits", MakeHeader(4, 2, 4, kBiRle8)},
        {"RLE4 at 8 bits", MakeHeader(4, 2, 8, kBiRle4)},
        {"RLE4 at 24 bits", MakeHeader(4, 2, 24, kBiRle4)},
        {"bit fields at 24 bits", MakeHeader(4, 2, 24, kBiBitfields)},
        {"bit fields at 1 bit", MakeHeader(4, 2, 1, kBiBitfields)},
        {"JPEG", MakeHeader(4, 2, 24, kBiJpeg)},
        {"PNG", MakeHeader(4, 2, 32, kBiPng)},
        {"unknown", MakeHeader(4, 2, 32, 99)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Expanded e = Expand(HeaderBytes(c.header, std::vector<std::uint8_t>(1024 + 16)),
                            std::vector<std::uint8_t>(64, 1));
        EXPECT_FALSE(e.ok);
        EXPECT_FALSE(e.header);
        EXPECT_FALSE(e.bits);
        EXPECT_EQ(e.result, ImageUnsupported);
    }
}

TEST(ExpandCompressedDib, HugeImagesAreOutOfMemory) {
    Expanded e = Expand(HeaderBytes(MakeHeader(60000, 60000, 8, kBiRle8), GrayTable(256)), {0, 1});
    EXPECT_EQ(e.result, ImageOutOfMemory);
    EXPECT_FALSE(e.header);
    EXPECT_FALSE(e.bits);
}

std::vector<std::uint8_t> Masks(std::initializer_list<std::uint32_t> masks) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t m : masks) Put32(out, m);
    return out;
}

TEST(ExpandCompressedDib, ScalesBitfieldsOfAnyMask) {
    struct Case {
        const char* name;
        std::uint16_t bits;
        std::uint32_t compression;
        std::uint32_t biSize;  // 40: masks follow; larger: masks inside the header
        std::vector<std::uint32_t> masks;
        std::vector<std::uint32_t> pixels;  // one row
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"5-6-5 to 5-5-5",
         16,
         kBiBitfields,
         40,
         {0xF800, 0x07E0, 0x001F},
         {0xFFFF, 0x07E0, 0x0821, 0x0000},
         {0xFF, 0x7F, 0xE0, 0x03, 0x01, 0x04, 0, 0}},
        {"4-4-4-4 alpha dropped at 16 bits",
         16,
         kBiAlphaBitfields,
         40,
         {0x0F00, 0x00F0, 0x000F, 0xF000},
         {0xFF00, 0x0008},
         {0x00, 0x7C, 0x11, 0x00}},
        {"10-10-10-2 with alpha in a V5 header",
         32,
         kBiBitfields,
         124,
         {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
         {0xFFFFFFFF, 0x40000200},
         {255, 255, 255, 255, 128, 0, 0, 85}},
        {"8-bit fields in unusual order, no alpha mask",
         32,
         kBiBitfields,
         40,
         {0x000000FF, 0x0000FF00, 0xFF000000},
         {0x11002233, 0xFF00FF00},
         {0x11, 0x22, 0x33, 0, 0xFF, 0xFF, 0, 0}},
        {"one-bit and non-contiguous masks",
         32,
         kBiAlphaBitfields,
         40,
         {0x00000001, 0x0000000A, 0x00000F00, 0x00000000},
         {0x00000001, 0x00000008, 0x00000002, 0x00000500},
         {0, 0, 255, 0, 0, 170, 0, 0, 0, 85, 0, 0, 85, 0, 0, 0}},
        {"empty and full-width masks",
         32,
         kBiBitfields,
         56,
         {0, 0xFFFFFFFF, 0, 0},
         {0x80000000},
         {0, 128, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibHeader h = MakeHeader(static_cast<std::int32_t>(c.pixels.size()), 1, c.bits,
                                 c.compression, c.biSize == 40 ? 1 : 0);
        h.biSize = c.biSize;
        std::vector<std::uint8_t> header = HeaderBytes(h);
        std::vector<std::uint8_t> masks = Masks({});
        for (std::uint32_t m : c.masks) Put32(masks, m);
        if (c.biSize == 40) {
            header.insert(header.end(), masks.begin(), masks.end());
            const std::vector<std::uint8_t> table = QuadBytes({{9, 8, 7, 0}});
            header.insert(header.end(), table.begin(), table.end());
        } else {
            std::memcpy(header.data() + 40, masks.data(), masks.size());
        }
        std::vector<std::uint8_t> data;
        for (std::uint32_t p : c.pixels) {
            data.push_back(static_cast<std::uint8_t>(p));
            data.push_back(static_cast<std::uint8_t>(p >> 8));
            if (c.bits == 32) {
                data.push_back(static_cast<std::uint8_t>(p >> 16));
                data.push_back(static_cast<std::uint8_t>(p >> 24));
            }
        }
        data.resize(RowStride(static_cast<std::uint32_t>(c.pixels.size()), c.bits));
        Expanded e = Expand(header, data);
        ASSERT_TRUE(e.ok);
        EXPECT_EQ(e.header->biCompression, kBiRgb);
        EXPECT_EQ(e.header->biBitCount, c.bits);
        std::vector<std::uint8_t> rows = Rows(e);
        rows.resize(c.expected.size());
        EXPECT_EQ(rows, c.expected);
        if (c.biSize == 40) {
            // The masks are gone; the colour table follows the header directly.
            EXPECT_EQ(DibColorTable(e.header.get())[0].rgbBlue, 9);
        }
    }
}

TEST(ExpandCompressedDib, ShortDataLeavesTheRestZero) {
    std::vector<std::uint8_t> header =
        HeaderBytes(MakeHeader(2, 2, 32, kBiBitfields), Masks({0xFF0000, 0xFF00, 0xFF}));
    Expanded e = Expand(header, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(Rows(e), (std::vector<std::uint8_t>{1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ExpandCompressedDib, ExpandsWhatParseBmpReads) {
    std::vector<std::uint8_t> block = HeaderBytes(MakeHeader(8, 2, 8, kBiRle8, 4), GrayTable(4));
    const std::vector<std::uint8_t> file =
        BmpFileBytes(block, {8, 3, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    HeaderBlock header;
    Block bits;
    std::size_t size = 0;
    ASSERT_EQ(ParseBmp(file, &header, &bits, &size), ImageOk);
    ASSERT_EQ(ExpandCompressedDib(&header, &bits, size), ImageOk);
    EXPECT_EQ(DibGetPixel(header.get(), bits.get(), 7, 1), 0x030303u);
    EXPECT_EQ(DibGetPixel(header.get(), bits.get(), 3, 0), 0x020202u);
    EXPECT_EQ(DibGetPixel(header.get(), bits.get(), 4, 0), 0u);
}

}  // namespace
