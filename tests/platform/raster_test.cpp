#include "platform/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "platform/halftone_palette.h"

namespace {

constexpr std::uint8_t kGuard = 0xA5;
constexpr std::size_t kGuardBytes = 64;

// An image held as header block and pixel block, the pixel block framed by guard
// bytes that no drawing may touch.
struct TestImage {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> memory;
    std::size_t stride = 0;
    std::size_t size = 0;

    TestImage(int width, int height, unsigned bitCount, std::vector<RgbQuad> palette = {}) {
        header.resize(sizeof(DibHeader) + 4 * palette.size());
        DibHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<std::uint16_t>(bitCount);
        h.biClrUsed = static_cast<std::uint32_t>(palette.size());
        std::memcpy(header.data(), &h, sizeof h);
        if (!palette.empty()) std::memcpy(header.data() + 40, palette.data(), 4 * palette.size());
        stride = RasterStride(width, bitCount);
        size = stride * static_cast<std::size_t>(height < 0 ? -height : height);
        memory.assign(size + 2 * kGuardBytes, kGuard);
        std::memset(Bits(), 0, size);
    }

    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(header.data()); }
    std::uint8_t* Bits() { return memory.data() + kGuardBytes; }
    RasterSurface Surface() { return *RasterSurface::Over(Header(), Bits(), size); }
    RasterImage Image() { return *RasterImage::Describe(Header(), Bits(), size); }
    // The stored row of picture row y.
    std::uint8_t* Row(int y) {
        const int h = Header()->biHeight;
        const int stored = h < 0 ? y : h - 1 - y;
        return Bits() + stride * static_cast<std::size_t>(stored);
    }
    bool GuardsIntact() const {
        for (std::size_t i = 0; i < kGuardBytes; ++i)
            if (memory[i] != kGuard || memory[memory.size() - 1 - i] != kGuard) return false;
        return true;
    }
};

RgbQuad Q(int r, int g, int b) {
    return RgbQuad{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                   static_cast<std::uint8_t>(r), 0};
}

std::vector<RgbQuad> Palette16() {
    return {Fixed16Palette().begin(), Fixed16Palette().end()};
}
std::vector<RgbQuad> Palette256() {
    return {HalftonePalette().begin(), HalftonePalette().end()};
}
std::vector<RgbQuad> BlackWhite() {
    return {Q(0, 0, 0), Q(255, 255, 255)};
}

std::vector<RgbQuad> PaletteFor(unsigned bitCount) {
    if (bitCount == 1) return BlackWhite();
    if (bitCount == 4) return Palette16();
    if (bitCount == 8) return Palette256();
    return {};
}

}  // namespace

TEST(NearestColorMap, AgreesWithTheFullSearchIncludingTies) {
    std::mt19937 random(7);
    std::vector<std::vector<RgbQuad>> palettes = {
        Palette256(),
        Palette16(),
        BlackWhite(),
        // equal entries and equidistant entries
        {Q(10, 10, 10), Q(10, 10, 10), Q(12, 10, 10), Q(8, 10, 10), Q(200, 0, 0)},
        {Q(7, 7, 7)}};
    std::vector<RgbQuad> randomPalette(256);
    for (auto& q : randomPalette) q = Q(random() % 256, random() % 256, random() % 256);
    palettes.push_back(randomPalette);
    // A clustered palette makes cells with many candidates.
    std::vector<RgbQuad> clustered(256);
    for (auto& q : clustered) q = Q(100 + random() % 9, 100 + random() % 9, 100 + random() % 9);
    palettes.push_back(clustered);

    for (std::size_t p = 0; p < palettes.size(); ++p) {
        SCOPED_TRACE(p);
        const auto& palette = palettes[p];
        const int n = static_cast<int>(palette.size());
        NearestColorMap map(palette.data(), n);
        int mismatches = 0;
        for (int r = 0; r < 256; r += 5)
            for (int g = 0; g < 256; g += 3)
                for (int b = 0; b < 256; b += 7)
                    mismatches += map.Nearest(r, g, b) !=
                                  NearestColorMap::FullSearch(palette.data(), n, r, g, b);
        for (int i = 0; i < 100000; ++i) {
            const int r = random() % 256, g = random() % 256, b = random() % 256;
            mismatches +=
                map.Nearest(r, g, b) != NearestColorMap::FullSearch(palette.data(), n, r, g, b);
        }
        EXPECT_EQ(mismatches, 0);
    }

    // Hand-checked answers: the lower index wins a tie.
    const std::vector<RgbQuad> tie = {Q(2, 0, 0), Q(0, 0, 0), Q(1, 0, 0), Q(1, 0, 0)};
    NearestColorMap map(tie.data(), 4);
    EXPECT_EQ(map.Nearest(1, 0, 0), 2);
    EXPECT_EQ(map.Nearest(0, 0, 0), 1);
    EXPECT_EQ(map.Nearest(3, 0, 0), 0);
    EXPECT_EQ(map.Nearest(255, 255, 255), 0);
}

TEST(RasterImage, DescribeRefusesWhatItCannotDraw) {
    TestImage ok(3, 2, 24);
    EXPECT_TRUE(RasterImage::Describe(ok.Header(), ok.Bits(), ok.size));
    EXPECT_FALSE(RasterImage::Describe(ok.Header(), ok.Bits(), ok.size - 1));
    EXPECT_FALSE(RasterImage::Describe(nullptr, ok.Bits(), ok.size));
    EXPECT_FALSE(RasterImage::Describe(ok.Header(), nullptr, ok.size));

    auto with = [&](auto change) {
        TestImage image(3, 2, 24);
        DibHeader h;
        std::memcpy(&h, image.header.data(), 40);
        change(h);
        std::memcpy(image.header.data(), &h, 40);
        return RasterImage::Describe(image.Header(), image.Bits(), 1 << 20).has_value();
    };
    EXPECT_FALSE(with([](DibHeader& h) { h.biCompression = kBiBitfields; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biBitCount = 2; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biWidth = 0; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biWidth = -3; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biHeight = 0; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biHeight = INT_MIN; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biSize = 12; }));
    EXPECT_FALSE(with([](DibHeader& h) { h.biWidth = INT_MAX; }));  // rows too large
}

TEST(RasterImage, RowOrderAndColorTable) {
    // 1x2 24-bit bottom-up: the first stored row is the bottom of the picture.
    TestImage up(1, 2, 24);
    up.Bits()[0] = 0x11;  // bottom row blue
    up.Bits()[4] = 0x22;  // top row blue
    EXPECT_EQ(RasterGetPixel(up.Image(), 0, 0), RgbColor(0, 0, 0x22));
    EXPECT_EQ(RasterGetPixel(up.Image(), 0, 1), RgbColor(0, 0, 0x11));
    TestImage down(1, -2, 24);
    down.Bits()[0] = 0x11;
    EXPECT_EQ(RasterGetPixel(down.Image(), 0, 0), RgbColor(0, 0, 0x11));
    EXPECT_EQ(RasterGetPixel(down.Image(), 1, 0), kInvalidColor);
    EXPECT_EQ(RasterGetPixel(down.Image(), 0, -1), kInvalidColor);

    // A 4-bit image with a 3-entry table: index 2 reads its entry, index 9 black.
    TestImage indexed(2, 1, 4, {Q(1, 2, 3), Q(4, 5, 6), Q(7, 8, 9)});
    indexed.Bits()[0] = 0x29;
    EXPECT_EQ(RasterGetPixel(indexed.Image(), 0, 0), RgbColor(7, 8, 9));
    EXPECT_EQ(RasterGetPixel(indexed.Image(), 1, 0), RgbColor(0, 0, 0));

    // 16 bits widen by repeating the top bits: 0x7FFF is white, 0x0421 is (8, 8, 8).
    TestImage word(2, 1, 16);
    const std::uint8_t words[] = {0xFF, 0x7F, 0x21, 0x04};
    std::memcpy(word.Bits(), words, 4);
    EXPECT_EQ(RasterGetPixel(word.Image(), 0, 0), RgbColor(255, 255, 255));
    EXPECT_EQ(RasterGetPixel(word.Image(), 1, 0), RgbColor(8, 8, 8));
}

TEST(RasterFillRect, MapsTheColourIntoEveryDepth) {
    // (200, 100, 50): 1 bit black (52500 against 69075 for white); 4 bits olive
    // (128, 128, 0), index 4; 8 bits the cube entry (204, 102, 51), index
    // 16 + 4 * 36 + 2 * 6 + 1 = 173; 16 bits 25 << 10 | 12 << 5 | 6.
    const struct {
        unsigned bitCount;
        std::uint32_t stored;
    } cases[] = {{1, 0}, {4, 4}, {8, 173}, {16, 25990}, {24, 0xC86432}, {32, 0x00C86432}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bitCount);
        TestImage image(3, -2, c.bitCount, PaletteFor(c.bitCount));
        // Preload ones to show the fill writes the whole pixel, and a 32-bit alpha of 0.
        std::memset(image.Bits(), 0xFF, image.size);
        RasterSurface surface = image.Surface();
        RasterFillRect(surface, {1, 1, 3, 2}, RgbColor(200, 100, 50));
        EXPECT_EQ(surface.RawPixel(1, 1), c.stored);
        EXPECT_EQ(surface.RawPixel(2, 1), c.stored);
        EXPECT_EQ(surface.RawPixel(0, 1),
                  c.bitCount == 24 ? 0xFFFFFFu
                                   : (c.bitCount == 32 ? 0xFFFFFFFFu : (1u << c.bitCount) - 1));
        EXPECT_EQ(surface.RawPixel(1, 0), surface.RawPixel(0, 1));
        EXPECT_TRUE(image.GuardsIntact());
    }
}

TEST(RasterSurface, NoRectangleOrOffsetWritesOutside) {
    const RasterRect rects[] = {
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-5, -5, 2, 2}, {2, 1, 100, 100},
        {INT_MAX - 1, 0, INT_MAX, 1},         {3, 0, 1, 2},   {-10, -10, -1, -1}};
    const int offsets[][2] = {
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {-1, -1}, {2, 1}, {-2, 0}, {0, -1}, {INT_MAX, 0}};
    for (unsigned depth : {1u, 4u, 8u, 16u, 24u, 32u}) {
        SCOPED_TRACE(depth);
        TestImage target(3, 2, depth, PaletteFor(depth));
        TestImage source(2, -2, 32);
        std::memset(source.Bits(), 0x80, source.size);
        std::vector<std::uint8_t> mask(8, 0);
        RasterSurface surface = target.Surface();
        for (const auto& r : rects) {
            RasterFillRect(surface, r, RgbColor(255, 255, 255));
            RasterStretch(surface, r, source.Image(), {0, 0, 2, 2});
            RasterStretch(surface, {0, 0, 3, 2}, source.Image(), r);
            RasterStretch(surface, r, source.Image(), r);
        }
        for (const auto& o : offsets) {
            RasterDrawImage(surface, o[0], o[1], source.Image());
            RasterCopyRect(surface, o[0], o[1], INT_MAX, INT_MAX, source.Image(), o[1], o[0]);
            RasterCompositeOver(surface, o[0], o[1], source.Image());
            RasterAlphaBlend(surface, o[0], o[1], source.Image(), 255);
            RasterDrawMasked(surface, o[0], o[1], source.Image(), mask.data());
            RasterSetPixel(surface, o[0], o[1], RgbColor(1, 2, 3));
            RasterLineTo(surface, o[0], o[1], o[1] / 2, o[0] / 3, RgbColor(1, 2, 3));
            RasterFloodFill(surface, o[0], o[1], 0, RgbColor(1, 2, 3));
        }
        RasterLineTo(surface, INT_MIN, INT_MIN, INT_MAX, INT_MAX, RgbColor(9, 9, 9));
        RasterLineTo(surface, INT_MAX, 1, INT_MIN, 0, RgbColor(9, 9, 9));
        EXPECT_TRUE(target.GuardsIntact());
        // The padding of the rows was not written either.
        if (depth == 8) {
            EXPECT_EQ(target.Bits()[3], 0);
        }
        if (depth == 1) {
            EXPECT_EQ(target.Bits()[0] & 0x1F, 0);
        }
    }
}

TEST(RasterDrawImage, MapsColoursBetweenDepthsAndClips) {
    // A 24-bit row: red-ish, (10, 10, 10), (250, 250, 0), white.
    TestImage source(4, 1, 24);
    const std::uint8_t pixels[] = {0, 0, 200, 10, 10, 10, 0, 250, 250, 255, 255, 255};
    std::memcpy(source.Bits(), pixels, sizeof pixels);

    TestImage four(5, 1, 4, Palette16());
    RasterSurface surface = four.Surface();
    RasterDrawImage(surface, 1, 0, source.Image());
    // Column 0 untouched (0), then red (2), black (0), yellow (6), white (15).
    EXPECT_EQ(four.Bits()[0], 0x02);
    EXPECT_EQ(four.Bits()[1], 0x06);
    EXPECT_EQ(four.Bits()[2], 0xF0);

    // Drawn at x = -2 only the last two source pixels arrive, at columns 0 and 1.
    TestImage mono(3, 1, 1, BlackWhite());
    RasterSurface monoSurface = mono.Surface();
    RasterDrawImage(monoSurface, -2, 0, source.Image());
    EXPECT_EQ(mono.Bits()[0], 0xC0);  // yellow is nearer white, white is white

    // An 8-bit picture into 32 bits arrives with alpha 0; a 32-bit one keeps alpha.
    TestImage indexed(1, 1, 8, {Q(1, 2, 3)});
    TestImage wide(2, 1, 32);
    RasterSurface wideSurface = wide.Surface();
    RasterDrawImage(wideSurface, 0, 0, indexed.Image());
    EXPECT_EQ(wideSurface.RawPixel(0, 0), 0x00010203u);
    TestImage alpha(1, 1, 32);
    const std::uint8_t bgra[] = {3, 2, 1, 0x7F};
    std::memcpy(alpha.Bits(), bgra, 4);
    RasterDrawImage(wideSurface, 1, 0, alpha.Image());
    EXPECT_EQ(wideSurface.RawPixel(1, 0), 0x7F010203u);

    // 32 bits into 16 drops the low bits and the alpha.
    TestImage word(1, 1, 16);
    RasterSurface wordSurface = word.Surface();
    RasterDrawImage(wordSurface, 0, 0, alpha.Image());
    EXPECT_EQ(wordSurface.RawPixel(0, 0), 0u);  // (1, 2, 3) >> 3 is 0
}

TEST(RasterCopyRect, KeepsIndicesAndNeighbourNibbles) {
    // Same depth: indices are copied, not colours (the target's table differs).
    TestImage source(3, 1, 4, Palette16());
    source.Bits()[0] = 0x12;
    source.Bits()[1] = 0x30;
    TestImage target(4, -1, 4, {Q(9, 9, 9)});
    target.Bits()[0] = 0xEE;
    target.Bits()[1] = 0xEE;
    RasterSurface surface = target.Surface();
    // Source columns 1..2 (2, 3) to target column 1..2; columns 0 and 3 keep E.
    RasterCopyRect(surface, 1, 0, 5, 5, source.Image(), 1, 0);
    EXPECT_EQ(target.Bits()[0], 0xE2);
    EXPECT_EQ(target.Bits()[1], 0x3E);

    // A 32-bit copy keeps alpha; a negative source origin shifts the destination.
    TestImage a(2, 1, 32);
    const std::uint8_t bgra[] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(a.Bits(), bgra, 8);
    TestImage b(2, 1, 32);
    RasterSurface bs = b.Surface();
    RasterCopyRect(bs, 0, 0, 2, 1, a.Image(), -1, 0);
    EXPECT_EQ(bs.RawPixel(0, 0), 0u);
    EXPECT_EQ(bs.RawPixel(1, 0), 0x04030201u);
}

TEST(RasterStretch, NearestPixelWithoutBlending) {
    // 4 -> 2 takes the source pixels under the centres: columns 1 and 3.
    TestImage source(4, 1, 8, Palette256());
    const std::uint8_t row[] = {10, 20, 30, 40};
    std::memcpy(source.Bits(), row, 4);
    TestImage half(2, 1, 8, Palette256());
    RasterSurface hs = half.Surface();
    RasterStretch(hs, {0, 0, 2, 1}, source.Image(), {0, 0, 4, 1});
    EXPECT_EQ(half.Bits()[0], 20);
    EXPECT_EQ(half.Bits()[1], 40);

    // 2 -> 5 of 1-bit pixels 1, 0: centres map to 0, 0, 1, 1, 1 -> 1 1 0 0 0.
    TestImage bits(2, 1, 1, BlackWhite());
    bits.Bits()[0] = 0x80;
    TestImage wide(5, -1, 1, BlackWhite());
    RasterSurface ws = wide.Surface();
    RasterStretch(ws, {0, 0, 5, 1}, bits.Image(), {0, 0, 2, 1});
    EXPECT_EQ(wide.Bits()[0], 0xC0);

    // 32 bits keep alpha; a 1x2 bottom-up source doubled vertically keeps its order.
    TestImage tall(1, 2, 32);
    const std::uint8_t pixels[] = {1, 1, 1, 0x10, 2, 2, 2, 0x20};  // bottom, top
    std::memcpy(tall.Bits(), pixels, 8);
    TestImage big(1, -4, 32);
    RasterSurface bs = big.Surface();
    RasterStretch(bs, {0, 0, 1, 4}, tall.Image(), {0, 0, 1, 2});
    EXPECT_EQ(bs.RawPixel(0, 0), 0x20020202u);
    EXPECT_EQ(bs.RawPixel(0, 1), 0x20020202u);
    EXPECT_EQ(bs.RawPixel(0, 2), 0x10010101u);
    EXPECT_EQ(bs.RawPixel(0, 3), 0x10010101u);
}

TEST(RasterCompositeOver, CorrectlyRoundedSourceOver) {
    TestImage source(3, 1, 32);
    // (255, 0, 0) at alpha 128; (100, 100, 100) at 100; anything at alpha 0.
    const std::uint8_t bgra[] = {0, 0, 255, 128, 100, 100, 100, 100, 9, 9, 9, 0};
    std::memcpy(source.Bits(), bgra, sizeof bgra);

    TestImage target(3, 1, 24);
    const std::uint8_t bgr[] = {255, 255, 255, 200, 200, 200, 7, 7, 7};
    std::memcpy(target.Bits(), bgr, sizeof bgr);
    RasterSurface surface = target.Surface();
    RasterCompositeOver(surface, 0, 0, source.Image());
    // Red over white: 255 red, 255 * 127 / 255 = 127 green and blue.
    EXPECT_EQ(surface.RawPixel(0, 0), 0xFF7F7Fu);
    // (100 * 100 + 200 * 155) / 255 = 160.78 -> 161.
    EXPECT_EQ(surface.RawPixel(1, 0), 0xA1A1A1u);
    EXPECT_EQ(surface.RawPixel(2, 0), 0x070707u);

    // Onto a 32-bit surface both alphas combine: red at 128 over opaque blue.
    TestImage wide(1, 1, 32);
    const std::uint8_t blue[] = {255, 0, 0, 255};
    std::memcpy(wide.Bits(), blue, 4);
    RasterSurface ws = wide.Surface();
    RasterCompositeOver(ws, 0, 0, source.Image());
    EXPECT_EQ(ws.RawPixel(0, 0), 0xFF80007Fu);

    // Onto an 8-bit surface the blend is matched to the table: black background,
    // (100,100,100) at 100 -> (39, 39, 39) -> gray ramp (38, 38, 38) index 235.
    TestImage indexed(1, 1, 8, Palette256());
    RasterSurface is = indexed.Surface();
    RasterCompositeOver(is, -1, 0, source.Image());
    EXPECT_EQ(indexed.Bits()[0], 235);
}

TEST(RasterDrawMasked, SetBitsKeepTheSurface) {
    TestImage picture(3, 2, 24);  // bottom-up, mask in the same order
    std::memset(picture.Bits(), 0x40, picture.size);
    // Stored row 0 (bottom): mask 010; stored row 1 (top): mask 100.
    const std::uint8_t mask[] = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
    TestImage target(3, -2, 24);
    std::memset(target.Bits(), 0xFF, target.size);
    RasterSurface surface = target.Surface();
    RasterDrawMasked(surface, 0, 0, picture.Image(), mask);
    EXPECT_EQ(surface.RawPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.RawPixel(1, 0), 0x404040u);
    EXPECT_EQ(surface.RawPixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(surface.RawPixel(0, 1), 0x404040u);
    EXPECT_EQ(surface.RawPixel(2, 1), 0x404040u);
}

TEST(RasterAlphaBlend, PremultipliedWithOpacity) {
    TestImage source(1, 1, 32);
    const std::uint8_t bgra[] = {0, 0, 64, 128};  // pre-multiplied red at half
    std::memcpy(source.Bits(), bgra, 4);
    TestImage target(1, 1, 24);
    const std::uint8_t bgr[] = {200, 0, 0};
    std::memcpy(target.Bits(), bgr, 3);
    RasterSurface surface = target.Surface();
    RasterAlphaBlend(surface, 0, 0, source.Image(), 255);
    // Red 64 + 0; blue 200 * 127 / 255 = 99.6 -> 100.
    EXPECT_EQ(surface.RawPixel(0, 0), 0x400064u);

    std::memcpy(target.Bits(), bgr, 3);
    RasterAlphaBlend(surface, 0, 0, source.Image(), 128);
    // Opacity 128: red 64 * 128 / 255 = 32.1 -> 32, alpha 64.25 -> 64, blue 200 *
    // 191 / 255 = 149.8 -> 150.
    EXPECT_EQ(surface.RawPixel(0, 0), 0x200096u);
}

TEST(RasterLineTo, LeavesTheEndPixelOut) {
    TestImage image(4, -3, 8, Palette256());
    RasterSurface surface = image.Surface();
    RasterLineTo(surface, 0, 0, 3, 0, RgbColor(255, 255, 255));
    RasterLineTo(surface, 0, 2, 3, 2, RgbColor(255, 255, 255));  // reversed below
    RasterLineTo(surface, 3, 1, 0, 1, RgbColor(255, 0, 0));
    const std::uint8_t expected[] = {15, 15, 15, 0, 0, 2, 2, 2, 15, 15, 15, 0};
    EXPECT_EQ(std::memcmp(image.Bits(), expected, 12), 0);

    // A diagonal from far outside crosses the surface exactly on y = x - 1.
    TestImage other(4, -3, 8, Palette256());
    RasterSurface os = other.Surface();
    RasterLineTo(os, -1000000, -1000001, 1000000, 999999, RgbColor(255, 255, 255));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(os.RawPixel(x, y), x == y + 1 ? 15u : 0u) << x << "," << y;
}

TEST(RasterFloodFill, FillsTheConnectedSurfaceColour) {
    // 4x3 8-bit: a wall of 15 in column 1 splits left from right.
    TestImage image(4, 3, 8, Palette256());
    RasterSurface surface = image.Surface();
    for (int y = 0; y < 3; ++y) surface.SetRawPixel(1, y, 15);
    surface.SetRawPixel(3, 0, 15);
    RasterFloodFill(surface, 2, 2, RgbColor(0, 0, 0), RgbColor(255, 0, 0));
    const std::uint32_t expected[3][4] = {{0, 15, 2, 15}, {0, 15, 2, 2}, {0, 15, 2, 2}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(surface.RawPixel(x, y), expected[y][x]);

    // Starting on another colour does nothing; filling with the same colour ends.
    RasterFloodFill(surface, 1, 0, RgbColor(0, 0, 0), RgbColor(255, 0, 0));
    RasterFloodFill(surface, 0, 0, RgbColor(0, 0, 0), RgbColor(0, 0, 0));
    EXPECT_EQ(surface.RawPixel(1, 0), 15u);
    EXPECT_EQ(surface.RawPixel(0, 0), 0u);

    // On 32 bits alpha is not compared, and the fill leaves alpha 0.
    TestImage wide(2, 1, 32);
    const std::uint8_t bgra[] = {1, 1, 1, 255, 1, 1, 1, 0};
    std::memcpy(wide.Bits(), bgra, 8);
    RasterSurface ws = wide.Surface();
    RasterFloodFill(ws, 0, 0, RgbColor(1, 1, 1), RgbColor(0, 0, 255));
    EXPECT_EQ(ws.RawPixel(0, 0), 0x000000FFu);
    EXPECT_EQ(ws.RawPixel(1, 0), 0x000000FFu);
}

TEST(RasterFloodFill, AgreesWithABreadthFirstFillOnRandomWalls) {
    constexpr int w = 40, h = 30;
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        TestImage image(w, h, 1, BlackWhite());
        RasterSurface surface = image.Surface();
        std::vector<int> grid(w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                grid[y * w + x] = random() % 100 < 40;
                surface.SetRawPixel(x, y, static_cast<std::uint32_t>(grid[y * w + x]));
            }
        const int sx = static_cast<int>(random() % w), sy = static_cast<int>(random() % h);
        const int from = grid[sy * w + sx];
        // The reference: a plain 4-connected breadth-first fill of `from` with 1 - from.
        std::vector<int> expected = grid;
        std::vector<std::pair<int, int>> queue{{sx, sy}};
        expected[sy * w + sx] = 2;
        for (std::size_t q = 0; q < queue.size(); ++q) {
            auto [x, y] = queue[q];
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
                if (expected[n[1] * w + n[0]] != from) continue;
                expected[n[1] * w + n[0]] = 2;
                queue.emplace_back(n[0], n[1]);
            }
        }
        for (int& v : expected)
            if (v == 2) v = 1 - from;
        const ColorRef colors[2] = {RgbColor(0, 0, 0), RgbColor(255, 255, 255)};
        RasterFloodFill(surface, sx, sy, colors[from], colors[1 - from]);
        int mismatches = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                mismatches +=
                    surface.RawPixel(x, y) != static_cast<std::uint32_t>(expected[y * w + x]);
        EXPECT_EQ(mismatches, 0) << "round " << round;
        EXPECT_TRUE(image.GuardsIntact());
    }
}
