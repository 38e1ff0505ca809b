#include "core/dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "core/dib_test_util.h"
#include "platform/halftone_palette.h"

namespace {

constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();

TEST(DibSizes, FollowHeaderFields) {
    struct Case {
        std::int32_t width, height;
        std::uint16_t bits;
        std::uint32_t clrUsed, biSize;
        std::size_t colors, stride, image, packed;
    };
    const Case cases[] = {
        {1, 1, 1, 0, 40, 2, 4, 4, 40 + 8 + 4},
        {33, 2, 1, 0, 40, 2, 8, 16, 40 + 8 + 16},
        {3, -3, 4, 0, 40, 16, 4, 12, 40 + 64 + 12},
        {9, 1, 4, 3, 40, 3, 8, 8, 40 + 12 + 8},
        {5, 2, 8, 0, 124, 256, 8, 16, 124 + 1024 + 16},
        {5, 2, 8, 16, 40, 16, 8, 16, 40 + 64 + 16},
        {3, 1, 16, 0, 40, 0, 8, 8, 48},
        {3, 1, 24, 0, 40, 0, 12, 12, 52},
        {3, 1, 24, 2, 40, 2, 12, 12, 60},  // a 24-bit image may carry a table
        {3, -2, 32, 0, 108, 0, 12, 24, 132},
        {3, 2, 2, 0, 40, 0, 0, 0, 40},  // unsupported depth: no rows
        {-3, 2, 8, 0, 40, 256, 0, 0, 40 + 1024},
        // INT32_MIN rows of 2^31 - 1 pixels: huge but representable.
        {INT32_MAX, INT32_MIN, 32, 0, 40, 0, std::size_t{INT32_MAX} * 4,
         std::size_t{INT32_MAX} * 4 * (std::size_t{1} << 31),
         std::size_t{INT32_MAX} * 4 * (std::size_t{1} << 31) + 40},
        // Everything at its largest: the packed size saturates instead of wrapping.
        {INT32_MAX, INT32_MIN, 32, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, std::size_t{INT32_MAX} * 4,
         std::size_t{INT32_MAX} * 4 * (std::size_t{1} << 31), kMax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits
                                        << " clrUsed " << c.clrUsed << " biSize " << c.biSize);
        DibHeader h = MakeHeader(c.width, c.height, c.bits, kBiRgb, c.clrUsed);
        h.biSize = c.biSize;
        EXPECT_EQ(DibColorCount(&h), c.colors);
        EXPECT_EQ(DibColorTableSize(&h), c.colors * 4);
        EXPECT_EQ(DibStride(&h), c.stride);
        EXPECT_EQ(DibImageSize(&h), c.image);
        EXPECT_EQ(DibPackedSize(&h), c.packed);
        EXPECT_EQ(DibImageSizeFor(c.width, c.height, c.bits), c.image);
    }
    EXPECT_EQ(DibAbsHeight(nullptr), 0u);
    DibHeader h = MakeHeader(1, INT32_MIN, 8);
    EXPECT_EQ(DibAbsHeight(&h), 0x80000000u);
}

TEST(DibSizes, PackedBitsFollowHeaderAndTable) {
    std::vector<std::uint8_t> packed =
        HeaderBytes(MakeHeader(2, 1, 8, kBiRgb, 3), std::vector<std::uint8_t>(12, 0));
    packed.push_back(0xAB);
    EXPECT_EQ(DibPackedBits(AsHeader(packed)), packed.data() + 52);
}

// A two-row picture per depth, given top row first; the test stores it in both row orders.
struct PixelCase {
    const char* name;
    std::int32_t width;
    std::uint16_t bits;
    std::uint32_t clrUsed;
    std::vector<std::uint8_t> table;
    std::vector<std::uint8_t> top, bottom;  // one stride each
    struct Probe {
        int x, y;
        std::uint32_t color;
        int index;  // -1: no index expected
    };
    std::vector<Probe> probes;
};

std::vector<std::uint8_t> Table16() {
    std::vector<std::uint8_t> t;
    for (int i = 0; i < 16; ++i) t.insert(t.end(), {std::uint8_t(i), 0, 0, 0});
    return t;
}

TEST(DibGetPixel, ReadsEveryDepthInBothRowOrders) {
    const std::vector<PixelCase> cases = {
        {"1 bit",
         10,
         1,
         0,
         QuadBytes({{0x33, 0x22, 0x11, 0}, {0x66, 0x55, 0x44, 0x77}}),
         {0b10100000, 0b01000000, 0, 0},
         {0, 0b10000000, 0, 0},
         {{0, 0, 0x77445566, 1},
          {1, 0, 0x00112233, 0},
          {2, 0, 0x77445566, 1},
          {9, 0, 0x77445566, 1},
          {8, 0, 0x00112233, 0},
          {8, 1, 0x77445566, 1},
          {0, 1, 0x00112233, 0}}},
        {"4 bit",
         3,
         4,
         0,
         Table16(),
         {0x12, 0x30, 0, 0},
         {0xF0, 0, 0, 0},
         {{0, 0, 1, 1}, {1, 0, 2, 2}, {2, 0, 3, 3}, {0, 1, 15, 15}, {1, 1, 0, 0}}},
        {"8 bit, short table",
         4,
         8,
         4,
         QuadBytes({{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {4, 0, 0, 0}}),
         {0, 1, 2, 3},
         {200, 3, 4, 255},
         {{0, 0, 1, 0}, {3, 0, 4, 3}, {1, 1, 4, 3}, {0, 1, 0, 200}, {2, 1, 0, 4}, {3, 1, 0, 255}}},
        {"16 bit",
         2,
         16,
         0,
         {},
         {0xFF, 0x7F, 0x00, 0x84},
         {0x1F, 0x00, 0xE0, 0x03},
         {{0, 0, 0xF8F8F8, -1}, {1, 0, 0x080000, -1}, {0, 1, 0x0000F8, -1}, {1, 1, 0x00F800, -1}}},
        {"24 bit",
         1,
         24,
         0,
         {},
         {1, 2, 3, 0},
         {4, 5, 6, 0},
         {{0, 0, 0x030201, -1}, {0, 1, 0x060504, -1}}},
        {"32 bit",
         1,
         32,
         0,
         {},
         {1, 2, 3, 4},
         {5, 6, 7, 8},
         {{0, 0, 0x04030201, -1}, {0, 1, 0x08070605, -1}}},
    };
    for (const PixelCase& c : cases) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (topDown ? " top-down" : " bottom-up"));
            std::vector<std::uint8_t> header = HeaderBytes(
                MakeHeader(c.width, topDown ? -2 : 2, c.bits, kBiRgb, c.clrUsed), c.table);
            std::vector<std::uint8_t> bits = topDown ? c.top : c.bottom;
            const std::vector<std::uint8_t>& second = topDown ? c.bottom : c.top;
            bits.insert(bits.end(), second.begin(), second.end());
            ASSERT_EQ(bits.size(), DibImageSize(AsHeader(header)));
            for (const auto& p : c.probes) {
                SCOPED_TRACE(testing::Message() << "(" << p.x << ", " << p.y << ")");
                int index = -1;
                EXPECT_EQ(DibGetPixel(AsHeader(header), bits.data(), p.x, p.y, &index), p.color);
                EXPECT_EQ(index, p.index);
            }
            for (auto [x, y] : {std::pair{-1, 0}, {c.width, 0}, {0, -1}, {0, 2}}) {
                int index = 1234;
                EXPECT_EQ(DibGetPixel(AsHeader(header), bits.data(), x, y, &index), 0u);
                EXPECT_EQ(index, 1234);
            }
        }
    }
}

TEST(DibForceOpaque, SetsAlphaInClippedRectangleOnly) {
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        std::vector<std::uint8_t> header = HeaderBytes(MakeHeader(3, topDown ? -2 : 2, 32));
        std::vector<std::uint8_t> bits(24, 0);
        DibForceOpaque(AsHeader(header), bits.data(), 1, 0, 7, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(DibGetPixel(AsHeader(header), bits.data(), x, y) >> 24,
                          (y == 0 && x >= 1) ? 255u : 0u)
                    << x << "," << y;
    }
    std::vector<std::uint8_t> header24 = HeaderBytes(MakeHeader(1, 1, 24));
    std::vector<std::uint8_t> bits24(4, 0);
    DibForceOpaque(AsHeader(header24), bits24.data(), 0, 0, 0, 0);
    EXPECT_EQ(bits24, std::vector<std::uint8_t>(4, 0));
}

TEST(BlendPixel, FollowsTheBlendRules) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> dst;
        std::vector<std::uint8_t> src;
        int opacity;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"24 on 24, full opacity copies", {9, 9, 9}, {10, 20, 30}, 255, {10, 20, 30}},
        {"24 on 32, full opacity copies, opaque",
         {9, 9, 9, 7},
         {10, 20, 30},
         255,
         {10, 20, 30, 255}},
        {"24 on 24, zero opacity keeps", {9, 8, 7}, {10, 20, 30}, 0, {9, 8, 7}},
        {"24 on 32, zero opacity keeps colour, opaque",
         {9, 8, 7, 0},
         {10, 20, 30},
         0,
         {9, 8, 7, 255}},
        {"24 on 24, half", {100, 0, 255}, {200, 255, 0}, 128, {150, 128, 127}},
        {"32 on 24, alpha scaled by opacity",
         {100, 100, 100},
         {200, 200, 200, 128},
         255,
         {150, 150, 150}},
        {"32 transparent on 32 transparent", {50, 60, 70, 0}, {10, 20, 30, 0}, 255, {0, 0, 0, 0}},
        {"32 opaque on 32 transparent", {50, 60, 70, 0}, {10, 20, 30, 255}, 255, {10, 20, 30, 255}},
        {"32 half on 32 opaque", {100, 0, 255, 255}, {200, 255, 0, 128}, 255, {150, 128, 127, 255}},
        {"32 on 32 both half", {0, 0, 0, 128}, {255, 255, 255, 128}, 255, {170, 170, 170, 192}},
        {"16-bit pixels are left alone", {1, 2}, {3, 4}, 255, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> dst = c.dst;
        BlendPixel(dst.data(), static_cast<int>(dst.size()), c.src.data(),
                   static_cast<int>(c.src.size()), c.opacity);
        EXPECT_EQ(dst, c.expected);
    }
}

TEST(BlendRect, BlendsByPictureCoordinatesAndChecksDepths) {
    // Source 2x2 32-bit top-down, destination 3x3 24-bit bottom-up.
    std::vector<std::uint8_t> srcHeader = HeaderBytes(MakeHeader(2, -2, 32));
    std::vector<std::uint8_t> src = {1, 1, 1, 255, 2, 2, 2, 255,   // top row
                                     3, 3, 3, 255, 4, 4, 4, 255};  // bottom row
    std::vector<std::uint8_t> dstHeader = HeaderBytes(MakeHeader(3, 3, 24));
    std::vector<std::uint8_t> dst(36, 0);
    EXPECT_EQ(BlendRect(AsHeader(dstHeader), dst.data(), 1, 0, AsHeader(srcHeader), src.data(), 1,
                        0, 1, 2, 255),
              ImageOk);
    auto at = [&](int x, int y) { return DibGetPixel(AsHeader(dstHeader), dst.data(), x, y); };
    EXPECT_EQ(at(1, 0), 0x020202u);
    EXPECT_EQ(at(1, 1), 0x040404u);
    EXPECT_EQ(at(0, 0), 0u);
    EXPECT_EQ(at(2, 0), 0u);
    EXPECT_EQ(at(1, 2), 0u);

    // A rectangle reaching past either image writes nothing outside it.
    std::vector<std::uint8_t> guarded(36 + 8, 0xEE);
    std::fill(guarded.begin() + 4, guarded.begin() + 40, 0);
    EXPECT_EQ(BlendRect(AsHeader(dstHeader), guarded.data() + 4, 2, 2, AsHeader(srcHeader),
                        src.data(), 1, 1, 5, 5, 255),
              ImageOk);
    EXPECT_EQ(std::count(guarded.begin(), guarded.begin() + 4, 0xEE), 4);
    EXPECT_EQ(std::count(guarded.end() - 4, guarded.end(), 0xEE), 4);
    EXPECT_EQ(DibGetPixel(AsHeader(dstHeader), guarded.data() + 4, 2, 2), 0x040404u);

    std::vector<std::uint8_t> header8 =
        HeaderBytes(MakeHeader(2, 2, 8), std::vector<std::uint8_t>(1024));
    EXPECT_EQ(BlendRect(AsHeader(header8), dst.data(), 0, 0, AsHeader(srcHeader), src.data(), 0, 0,
                        1, 1, 255),
              ImageInvalidArg);
    EXPECT_EQ(BlendRect(AsHeader(dstHeader), dst.data(), 0, 0, AsHeader(header8), src.data(), 0, 0,
                        1, 1, 255),
              ImageInvalidArg);
    EXPECT_EQ(
        BlendRect(nullptr, dst.data(), 0, 0, AsHeader(srcHeader), src.data(), 0, 0, 1, 1, 255),
        ImageInvalidArg);
}

TEST(SplitPackedDib, SplitsValidAndRefusesInvalid) {
    std::vector<std::uint8_t> packed =
        HeaderBytes(MakeHeader(2, -1, 8, kBiRgb, 2), QuadBytes({{1, 2, 3, 0}, {4, 5, 6, 0}}));
    packed.insert(packed.end(), {0, 1, 0, 0});
    HeaderBlock header;
    Block bits;
    ASSERT_EQ(SplitPackedDib(AsHeader(packed), packed.size(), &header, &bits), ImageOk);
    EXPECT_EQ(std::memcmp(header.get(), packed.data(), 48), 0);
    EXPECT_EQ(DibGetPixel(header.get(), bits.get(), 1, 0), 0x060504u);

    EXPECT_EQ(SplitPackedDib(nullptr, 10, &header, &bits), ImageInvalidArg);
    EXPECT_EQ(SplitPackedDib(AsHeader(packed), packed.size(), nullptr, &bits), ImageInvalidArg);
    EXPECT_EQ(SplitPackedDib(AsHeader(packed), packed.size() - 1, &header, &bits), ImageBadFormat);
    EXPECT_FALSE(header);
    EXPECT_FALSE(bits);
    EXPECT_EQ(SplitPackedDib(AsHeader(packed), 39, &header, &bits), ImageBadFormat);

    struct Spoil {
        const char* name;
        void (*apply)(DibHeader&);
    };
    const Spoil spoils[] = {
        {"biSize 12", [](DibHeader& h) { h.biSize = 12; }},
        {"biSize beyond data", [](DibHeader& h) { h.biSize = 1000; }},
        {"width 0", [](DibHeader& h) { h.biWidth = 0; }},
        {"height 0", [](DibHeader& h) { h.biHeight = 0; }},
        {"planes 2", [](DibHeader& h) { h.biPlanes = 2; }},
        {"2 bits", [](DibHeader& h) { h.biBitCount = 2; }},
        {"huge table", [](DibHeader& h) { h.biClrUsed = 0xFFFFFFFF; }},
        {"huge image", [](DibHeader& h) { h.biHeight = INT32_MIN; }},
    };
    for (const Spoil& s : spoils) {
        SCOPED_TRACE(s.name);
        std::vector<std::uint8_t> bad = packed;
        s.apply(*AsHeader(bad));
        EXPECT_EQ(SplitPackedDib(AsHeader(bad), bad.size(), &header, &bits), ImageBadFormat);
    }
}

TEST(SetDefaultPalette, FillsByDepth) {
    std::vector<std::uint8_t> one =
        HeaderBytes(MakeHeader(1, 1, 1), std::vector<std::uint8_t>(8, 0xCC));
    SetDefaultPalette(AsHeader(one));
    EXPECT_EQ(std::vector<std::uint8_t>(one.begin() + 40, one.end()),
              QuadBytes({{0, 0, 0, 0}, {255, 255, 255, 0}}));

    std::vector<std::uint8_t> four =
        HeaderBytes(MakeHeader(1, 1, 4), std::vector<std::uint8_t>(64, 0xCC));
    SetDefaultPalette(AsHeader(four));
    EXPECT_EQ(std::memcmp(four.data() + 40, Fixed16Palette().data(), 64), 0);
    const RgbQuad* t = DibColorTable(AsHeader(four));
    EXPECT_EQ(t[1].rgbRed, 128);  // index 1 is dark red
    EXPECT_EQ(t[12].rgbBlue, 255);

    std::vector<std::uint8_t> source4 =
        HeaderBytes(MakeHeader(1, 1, 4), std::vector<std::uint8_t>(64, 7));
    SetDefaultPalette(AsHeader(four), AsHeader(source4));
    EXPECT_EQ(std::vector<std::uint8_t>(four.begin() + 40, four.end()),
              std::vector<std::uint8_t>(64, 7));

    std::vector<std::uint8_t> eight =
        HeaderBytes(MakeHeader(1, 1, 8), std::vector<std::uint8_t>(1024, 0xCC));
    SetDefaultPalette(AsHeader(eight));
    EXPECT_EQ(std::memcmp(eight.data() + 40, HalftonePalette().data(), 1024), 0);
    // A 4-bit source does not fill an 8-bit table: the halftone palette does.
    SetDefaultPalette(AsHeader(eight), AsHeader(source4));
    EXPECT_EQ(std::memcmp(eight.data() + 40, HalftonePalette().data(), 1024), 0);
    // An 8-bit source with a short table gives its entries and black for the rest.
    std::vector<std::uint8_t> source8 =
        HeaderBytes(MakeHeader(1, 1, 8, kBiRgb, 2), std::vector<std::uint8_t>(8, 9));
    SetDefaultPalette(AsHeader(eight), AsHeader(source8));
    EXPECT_EQ(std::vector<std::uint8_t>(eight.begin() + 40, eight.begin() + 48),
              std::vector<std::uint8_t>(8, 9));
    EXPECT_EQ(std::vector<std::uint8_t>(eight.begin() + 48, eight.end()),
              std::vector<std::uint8_t>(1016, 0));

    std::vector<std::uint8_t> rgb =
        HeaderBytes(MakeHeader(1, 1, 24, kBiRgb, 2), std::vector<std::uint8_t>(8, 0xCC));
    SetDefaultPalette(AsHeader(rgb));
    EXPECT_EQ(std::vector<std::uint8_t>(rgb.begin() + 40, rgb.end()),
              std::vector<std::uint8_t>(8, 0xCC));
}

TEST(ReverseRowOrder, SwapsRowsKeepingTheMiddle) {
    std::vector<std::uint8_t> header = HeaderBytes(MakeHeader(1, 3, 32));
    std::vector<std::uint8_t> bits = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    EXPECT_EQ(ReverseRowOrder(AsHeader(header), bits.data()), ImageOk);
    EXPECT_EQ(bits, (std::vector<std::uint8_t>{3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}));
    EXPECT_EQ(AsHeader(header)->biHeight, 3);

    std::vector<std::uint8_t> oneRowHeader = HeaderBytes(MakeHeader(2, -1, 24));
    std::vector<std::uint8_t> oneRow = {1, 2, 3, 4, 5, 6, 0, 0};
    EXPECT_EQ(ReverseRowOrder(AsHeader(oneRowHeader), oneRow.data()), ImageOk);
    EXPECT_EQ(oneRow, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 0, 0}));

    EXPECT_EQ(ReverseRowOrder(nullptr, bits.data()), ImageInvalidArg);
    EXPECT_EQ(ReverseRowOrder(AsHeader(header), nullptr), ImageInvalidArg);
}

TEST(CopyDib, CopiesHeaderTableAndBits) {
    std::vector<std::uint8_t> header =
        HeaderBytes(MakeHeader(3, 2, 8, kBiRgb, 2), QuadBytes({{1, 2, 3, 0}, {4, 5, 6, 0}}));
    std::vector<std::uint8_t> bits = {0, 1, 0, 0, 1, 0, 1, 0};
    HeaderBlock outHeader;
    Block outBits;
    ASSERT_EQ(CopyDib(AsHeader(header), bits.data(), &outHeader, &outBits), ImageOk);
    EXPECT_EQ(std::memcmp(outHeader.get(), header.data(), header.size()), 0);
    EXPECT_EQ(std::memcmp(outBits.get(), bits.data(), bits.size()), 0);
}

TEST(CopyDib, ImagesBeyondTheLimitAreOutOfMemory) {
    std::vector<std::uint8_t> header = HeaderBytes(MakeHeader(INT32_MAX, INT32_MIN, 32));
    std::uint8_t bits[4] = {};
    HeaderBlock outHeader;
    Block outBits;
    EXPECT_EQ(CopyDib(AsHeader(header), bits, &outHeader, &outBits), ImageOutOfMemory);
    EXPECT_FALSE(outHeader);
    EXPECT_FALSE(outBits);
    EXPECT_EQ(CopyDib(nullptr, bits, &outHeader, &outBits), ImageInvalidArg);
}

}  // namespace
