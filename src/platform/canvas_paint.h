// The picture of an image canvas: where a zoomed, scrolled image lands in a
// client area, which image pixel a client point shows, the scroll ranges, and
// the painting of one client area with the raster layer. The cost of a paint is
// bounded by the client area: no zoomed copy of the image is ever made.
#pragma once

#include <cstdint>

#include "platform/raster.h"

// View modes of an image canvas.
enum CanvasViewMode : int {
    kCanvasViewPure = 0,           // the pixels as they are
    kCanvasViewMask = 1,           // through the mask when there is one
    kCanvasViewAlpha = 2,          // 32 bits: straight alpha over the background
    kCanvasViewPremultiplied = 3,  // 32 bits: the colours taken as pre-multiplied
    kCanvasViewAuto = 4,           // the mask when there is one, else straight alpha
};

// The image size, the client size, the zoom and the scroll position (in image
// pixels) of a canvas.
struct CanvasGeometry {
    int imageWidth = 0;
    int imageHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    float zoom = 1.0f;
    int scrollX = 0;
    int scrollY = 0;
};

// The picture in client coordinates: the image scaled by the zoom (sizes
// truncated), centred in each direction in which it is smaller than the client.
RasterRect CanvasPictureRect(const CanvasGeometry& geometry);

// The image pixel under a client point: ((point - picture edge) / zoom + scroll),
// truncated; false (and -1, -1) when the point is outside the picture or the
// pixel outside the image.
bool CanvasPixelAt(const CanvasGeometry& geometry, int clientX, int clientY, int* x, int* y);

// One scroll bar: active when the image is larger than client size / zoom; then
// positions run from 0 to `maximum` (image size - page) with `page` pixels a page.
struct CanvasScrollRange {
    bool active = false;
    int maximum = 0;
    int page = 0;
};
CanvasScrollRange CanvasScrollRangeFor(int imageSize, int clientSize, float zoom);

// How an image of `bitCount` bits is drawn in a view mode: through the mask in
// modes 1 and 4 when there is one; else a plain copy for other than 32 bits and
// in modes 0 and 1; else straight alpha (2, 4) or pre-multiplied (3).
RasterBlend CanvasBlendFor(unsigned bitCount, bool hasMask, int viewMode);

// What a canvas paints besides its geometry.
struct CanvasLook {
    int viewMode = kCanvasViewAuto;
    int background = 1;        // FillViewBackground's kinds
    ColorRef customColor = 0;  // kind 5
    ColorRef windowColor = 0;  // kind 3
};

// Paints a whole client area (the target, of the geometry's client size): the
// background, then the picture of `image` (null: none) drawn by the look's view
// mode; `mask` is the image's 1-bit AND mask in its row order, or null. The
// checkerboard tiles from the client's origin.
void PaintCanvas(RasterSurface& target, const CanvasGeometry& geometry, const RasterImage* image,
                 const std::uint8_t* mask, const CanvasLook& look);
