// What the image control shows besides the picture: the zoom steps of Zoom In
// and Zoom Out with the stop at the zoom that fits the image into the canvas
// (single precision, as the canvas keeps its zoom), the pixel information and
// the size label.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/bitmap_types.h"

constexpr float kImageZoomStep = 0.5f;
constexpr float kImageZoomMin = 0.12f;
constexpr float kImageZoomMax = 10.0f;

// An image size and the canvas's client size, in pixels.
struct ZoomFrame {
    int imageWidth = 0;
    int imageHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// min(client width / image width, client height / image height); nullopt without
// an image or a client area.
std::optional<float> FitZoom(const ZoomFrame& frame);

// Zoom In: 0.5 below 0.5, else zoom + 0.5; nullopt (nothing happens) when that
// would exceed 10. A step from a zoom at which the image is smaller than the
// client in both directions to one at which it is larger in at least one stops at
// the fit zoom instead (unless the zoom is the fit zoom already).
std::optional<float> ZoomInStep(float zoom, const ZoomFrame& frame);
// Zoom Out: zoom - 0.5, at least 0.12 (nullopt when that changes nothing). A step
// from a zoom at which the image is larger than the client in both directions to
// one at which it is smaller in at least one stops at the fit zoom instead.
std::optional<float> ZoomOutStep(float zoom, const ZoomFrame& frame);

// The pixel information of (x, y) of an image (header with its colour table,
// pixel rows): "RGB: %u, %u, %u, Idx: %u" up to 8 bits per pixel, "RGB: %u, %u,
// %u" for 16 and 24, "RGBA: %u, %u, %u, %u" for 32. Empty outside the image or for
// a null image.
std::string PixelInfoText(const DibHeader* header, const std::uint8_t* bits, int x, int y);

// "%dx%d, %u-bit" with the width, the stored (signed) height and the bit count.
std::string ImageSizeLabel(const DibHeader* header);
