#include "platform/canvas_paint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A top-down image of the given depth, zeroed; indexed with `palette`.
struct Image {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> bits;

    Image(int width, int height, unsigned bitCount, std::vector<RgbQuad> palette = {}) {
        DibHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = -height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<std::uint16_t>(bitCount);
        h.biClrUsed = static_cast<std::uint32_t>(palette.size());
        header.resize(40 + 4 * palette.size());
        std::memcpy(header.data(), &h, 40);
        if (!palette.empty()) std::memcpy(header.data() + 40, palette.data(), 4 * palette.size());
        bits.assign(RasterStride(width, bitCount) * static_cast<std::size_t>(height), 0);
    }
    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(header.data()); }
    RasterSurface Surface() { return *RasterSurface::Over(Header(), bits.data(), bits.size()); }
    RasterImage View() const { return *RasterImage::Describe(Header(), bits.data(), bits.size()); }
    std::uint32_t Pixel32(int x, int y) const {
        std::uint32_t v;
        std::memcpy(&v, bits.data() + RasterStride(Header()->biWidth, 32) * y + 4 * x, 4);
        return v;
    }
    void SetPixel32(int x, int y, std::uint32_t v) {
        std::memcpy(bits.data() + RasterStride(Header()->biWidth, 32) * y + 4 * x, &v, 4);
    }
};

TEST(CanvasGeometry, PictureIsCentredWhereSmallerAndMapsPointsToPixels) {
    // 10 x 4 image at zoom 2.5 in a 100 x 8 client: 25 x 10, centred across only.
    const CanvasGeometry g{10, 4, 100, 8, 2.5f, 0, 0};
    const RasterRect r = CanvasPictureRect(g);
    EXPECT_EQ(r.left, 37);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 62);
    EXPECT_EQ(r.bottom, 10);
    struct Case {
        int px, py, x, y;
    } cases[] = {{37, 0, 0, 0},   {39, 2, 0, 0},   {40, 3, 1, 1},   {61, 9, 9, 3},
                 {62, 0, -1, -1}, {36, 0, -1, -1}, {40, 10, -1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
        int x, y;
        EXPECT_EQ(CanvasPixelAt(g, c.px, c.py, &x, &y), c.x >= 0);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
    // Scrolled: the point maps past the scroll position, and pixels beyond the
    // image do not count.
    const CanvasGeometry scrolled{100, 100, 50, 50, 1.0f, 60, 10};
    int x, y;
    ASSERT_TRUE(CanvasPixelAt(scrolled, 5, 7, &x, &y));
    EXPECT_EQ(x, 65);
    EXPECT_EQ(y, 17);
    EXPECT_FALSE(CanvasPixelAt(scrolled, 45, 7, &x, &y));
}

TEST(CanvasGeometry, ScrollBarsActiveOnlyWhenTheImageExceedsThePage) {
    EXPECT_FALSE(CanvasScrollRangeFor(100, 400, 4.0f).active);  // exactly one page
    const CanvasScrollRange r = CanvasScrollRangeFor(100, 400, 8.0f);
    EXPECT_TRUE(r.active);
    EXPECT_EQ(r.page, 50);
    EXPECT_EQ(r.maximum, 50);
    EXPECT_FALSE(CanvasScrollRangeFor(0, 400, 8.0f).active);
}

TEST(CanvasBlend, ViewModeAndDepthChooseTheDrawing) {
    struct Case {
        unsigned bits;
        bool mask;
        int mode;
        RasterBlend blend;
    } cases[] = {
        {8, true, 1, RasterBlend::Masked},          {32, true, 4, RasterBlend::Masked},
        {32, true, 0, RasterBlend::Copy},           {24, false, 4, RasterBlend::Copy},
        {32, false, 1, RasterBlend::Copy},          {32, false, 2, RasterBlend::StraightAlpha},
        {32, false, 4, RasterBlend::StraightAlpha}, {32, true, 3, RasterBlend::Premultiplied},
        {24, false, 3, RasterBlend::Copy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " " << c.mask << " " << c.mode);
        EXPECT_EQ(CanvasBlendFor(c.bits, c.mask, c.mode), c.blend);
    }
}

TEST(FillViewBackground, KindsAndTheCheckerboardFromItsOrigin) {
    Image target(20, 20, 24);
    RasterSurface s = target.Surface();
    const struct {
        int kind;
        ColorRef expected;
    } solids[] = {{0, RgbColor(0, 0, 0)},
                  {1, RgbColor(255, 255, 255)},
                  {2, RgbColor(128, 128, 128)},
                  {3, RgbColor(1, 2, 3)},
                  {5, RgbColor(9, 8, 7)}};
    for (const auto& c : solids) {
        SCOPED_TRACE(c.kind);
        FillViewBackground(s, {0, 0, 20, 20}, c.kind, RgbColor(9, 8, 7), RgbColor(1, 2, 3));
        EXPECT_EQ(RasterGetPixel(target.View(), 19, 19), c.expected);
    }
    // Origin (4, 0): the first light square covers x 4-11, then dark 12-19 and 0-3.
    FillViewBackground(s, {2, 2, 18, 18}, 4, 0, 0, 4, 0);
    const RasterImage v = target.View();
    EXPECT_EQ(RasterGetPixel(v, 4, 2), kCheckerLight);
    EXPECT_EQ(RasterGetPixel(v, 11, 7), kCheckerLight);
    EXPECT_EQ(RasterGetPixel(v, 12, 7), kCheckerDark);
    EXPECT_EQ(RasterGetPixel(v, 3, 2), kCheckerDark);
    EXPECT_EQ(RasterGetPixel(v, 4, 8), kCheckerDark);
    EXPECT_EQ(RasterGetPixel(v, 12, 8), kCheckerLight);
    EXPECT_EQ(RasterGetPixel(v, 1, 1), RgbColor(9, 8, 7));  // outside the rectangle
}

TEST(RasterStretchBlend, AlphaModesOverAnOpaqueTarget) {
    Image source(2, 1, 32);
    source.SetPixel32(0, 0, 0x80FF0000);  // red, alpha 128
    source.SetPixel32(1, 0, 0x00123456);  // fully transparent
    Image target(4, 2, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) target.SetPixel32(x, y, 0xFF0000FF);  // blue, alpha ignored
    RasterSurface s = target.Surface();
    RasterStretchBlend(s, {0, 0, 4, 2}, source.View(), {0, 0, 2, 1}, RasterBlend::StraightAlpha);
    // (255 * 128 + 0) / 255 = 128 red; blue (255 * 127) / 255 = 127.
    EXPECT_EQ(target.Pixel32(1, 1) & 0xFFFFFF, 0x80007Fu);
    EXPECT_EQ(target.Pixel32(2, 0), 0xFF0000FFu);  // alpha 0 leaves the target

    for (int x = 0; x < 4; ++x) target.SetPixel32(x, 0, 0x000000FF);
    RasterStretchBlend(s, {0, 0, 4, 1}, source.View(), {0, 0, 2, 1}, RasterBlend::Premultiplied);
    // 255 + 0; blue 0 + 255 * 127 / 255 = 127; the transparent pixel adds its colour.
    EXPECT_EQ(target.Pixel32(0, 0) & 0xFFFFFF, 0xFF007Fu);
    EXPECT_EQ(target.Pixel32(3, 0) & 0xFFFFFF, 0x1234FFu);
}

TEST(RasterStretchBlend, MaskedKeepsTheTargetWhereTheBitIsSet) {
    const std::vector<RgbQuad> palette = {{0, 0, 0, 0}, {0, 0, 255, 0}};
    Image source(8, 1, 1, palette);
    source.bits[0] = 0xFF;                         // every pixel red
    const std::uint8_t mask[4] = {0x0F, 0, 0, 0};  // right half transparent
    Image target(16, 1, 24);
    RasterSurface s = target.Surface();
    RasterFillRect(s, {0, 0, 16, 1}, RgbColor(0, 255, 0));
    RasterStretchBlend(s, {0, 0, 16, 1}, source.View(), {0, 0, 8, 1}, RasterBlend::Masked, mask);
    EXPECT_EQ(RasterGetPixel(target.View(), 7, 0), RgbColor(255, 0, 0));
    EXPECT_EQ(RasterGetPixel(target.View(), 8, 0), RgbColor(0, 255, 0));
    // No mask: nothing drawn.
    RasterFillRect(s, {0, 0, 16, 1}, RgbColor(0, 255, 0));
    RasterStretchBlend(s, {0, 0, 16, 1}, source.View(), {0, 0, 8, 1}, RasterBlend::Masked);
    EXPECT_EQ(RasterGetPixel(target.View(), 0, 0), RgbColor(0, 255, 0));
}

TEST(PaintCanvas, ScrolledZoomedPictureOverTheBackground) {
    // A 4 x 4 image whose pixel (x, y) has red 10x + y, at zoom 3 scrolled by (1, 2)
    // in a 6 x 6 client: the client shows pixels 1-2 across and 2-3 down.
    Image image(4, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.bits[RasterStride(4, 24) * y + 3 * x + 2] = static_cast<std::uint8_t>(10 * x + y);
    Image client(6, 6, 32);
    RasterSurface s = client.Surface();
    const RasterImage view = image.View();
    CanvasLook look;
    look.background = 0;
    PaintCanvas(s, {4, 4, 6, 6, 3.0f, 1, 2}, &view, nullptr, look);
    EXPECT_EQ(client.Pixel32(0, 0) & 0xFFFFFF, (10u * 1 + 2) << 16);
    EXPECT_EQ(client.Pixel32(5, 5) & 0xFFFFFF, (10u * 2 + 3) << 16);
}

}  // namespace
