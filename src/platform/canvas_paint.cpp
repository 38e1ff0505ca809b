#include "platform/canvas_paint.h"

#include <algorithm>
#include <cmath>

namespace {

int Scaled(int size, float zoom) {
    const double scaled = static_cast<double>(size) * static_cast<double>(zoom);
    if (!(scaled > 0)) return 0;
    return scaled >= 2147483647.0 ? 2147483647 : static_cast<int>(scaled);
}

}  // namespace

RasterRect CanvasPictureRect(const CanvasGeometry& g) {
    const int width = Scaled(g.imageWidth, g.zoom);
    const int height = Scaled(g.imageHeight, g.zoom);
    const int left = width < g.clientWidth ? (g.clientWidth - width) / 2 : 0;
    const int top = height < g.clientHeight ? (g.clientHeight - height) / 2 : 0;
    auto end = [](int start, int size) {
        return static_cast<int>(std::min<std::int64_t>(std::int64_t{start} + size, 2147483647));
    };
    return {left, top, end(left, width), end(top, height)};
}

bool CanvasPixelAt(const CanvasGeometry& g, int clientX, int clientY, int* x, int* y) {
    *x = -1;
    *y = -1;
    if (!(g.zoom > 0)) return false;
    const RasterRect picture = CanvasPictureRect(g);
    if (clientX < picture.left || clientX >= picture.right || clientY < picture.top ||
        clientY >= picture.bottom)
        return false;
    const double px =
        std::floor(static_cast<double>(clientX - picture.left) / static_cast<double>(g.zoom)) +
        g.scrollX;
    const double py =
        std::floor(static_cast<double>(clientY - picture.top) / static_cast<double>(g.zoom)) +
        g.scrollY;
    if (px < 0 || py < 0 || px >= g.imageWidth || py >= g.imageHeight) return false;
    *x = static_cast<int>(px);
    *y = static_cast<int>(py);
    return true;
}

CanvasScrollRange CanvasScrollRangeFor(int imageSize, int clientSize, float zoom) {
    CanvasScrollRange range;
    if (!(zoom > 0) || imageSize <= 0) return range;
    const double page = static_cast<double>(clientSize > 0 ? clientSize : 0) / zoom;
    if (static_cast<double>(imageSize) <= page) return range;
    range.active = true;
    range.page = static_cast<int>(page);
    range.maximum = imageSize - range.page;
    return range;
}

RasterBlend CanvasBlendFor(unsigned bitCount, bool hasMask, int viewMode) {
    if (hasMask && (viewMode == kCanvasViewMask || viewMode == kCanvasViewAuto))
        return RasterBlend::Masked;
    if (bitCount != 32 || viewMode == kCanvasViewPure || viewMode == kCanvasViewMask)
        return RasterBlend::Copy;
    return viewMode == kCanvasViewPremultiplied ? RasterBlend::Premultiplied
                                                : RasterBlend::StraightAlpha;
}

void PaintCanvas(RasterSurface& target, const CanvasGeometry& geometry, const RasterImage* image,
                 const std::uint8_t* mask, const CanvasLook& look) {
    FillViewBackground(target, {0, 0, target.Width(), target.Height()}, look.background,
                       look.customColor, look.windowColor);
    if (!image || image->width <= 0 || image->height <= 0) return;
    const RasterRect picture = CanvasPictureRect(geometry);
    const RasterRect source{geometry.scrollX, geometry.scrollY, geometry.scrollX + image->width,
                            geometry.scrollY + image->height};
    RasterStretchBlend(target, picture, *image, source,
                       CanvasBlendFor(image->bitCount, mask != nullptr, look.viewMode), mask);
}
