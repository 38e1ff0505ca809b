#include "app/image_view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/dib.h"

namespace {

bool SmallerInBoth(float zoom, const ZoomFrame& f) {
    return static_cast<float>(f.imageWidth) * zoom < static_cast<float>(f.clientWidth) &&
           static_cast<float>(f.imageHeight) * zoom < static_cast<float>(f.clientHeight);
}

bool LargerInBoth(float zoom, const ZoomFrame& f) {
    return static_cast<float>(f.imageWidth) * zoom > static_cast<float>(f.clientWidth) &&
           static_cast<float>(f.imageHeight) * zoom > static_cast<float>(f.clientHeight);
}

bool LargerInOne(float zoom, const ZoomFrame& f) {
    return static_cast<float>(f.imageWidth) * zoom > static_cast<float>(f.clientWidth) ||
           static_cast<float>(f.imageHeight) * zoom > static_cast<float>(f.clientHeight);
}

bool SmallerInOne(float zoom, const ZoomFrame& f) {
    return static_cast<float>(f.imageWidth) * zoom < static_cast<float>(f.clientWidth) ||
           static_cast<float>(f.imageHeight) * zoom < static_cast<float>(f.clientHeight);
}

}  // namespace

std::optional<float> FitZoom(const ZoomFrame& frame) {
    if (frame.imageWidth <= 0 || frame.imageHeight <= 0 || frame.clientWidth <= 0 ||
        frame.clientHeight <= 0)
        return std::nullopt;
    return std::min(static_cast<float>(frame.clientWidth) / static_cast<float>(frame.imageWidth),
                    static_cast<float>(frame.clientHeight) / static_cast<float>(frame.imageHeight));
}

std::optional<float> ZoomInStep(float zoom, const ZoomFrame& frame) {
    const float next = zoom < kImageZoomStep ? kImageZoomStep : zoom + kImageZoomStep;
    if (next > kImageZoomMax) return std::nullopt;
    const std::optional<float> fit = FitZoom(frame);
    if (fit && zoom != *fit && SmallerInBoth(zoom, frame) && LargerInOne(next, frame)) return *fit;
    return next;
}

std::optional<float> ZoomOutStep(float zoom, const ZoomFrame& frame) {
    const float next = std::max(zoom - kImageZoomStep, kImageZoomMin);
    const std::optional<float> fit = FitZoom(frame);
    if (fit && zoom != *fit && LargerInBoth(zoom, frame) && SmallerInOne(next, frame)) return *fit;
    if (next == zoom) return std::nullopt;
    return next;
}

std::string PixelInfoText(const DibHeader* header, const std::uint8_t* bits, int x, int y) {
    if (!header || !bits || x < 0 || y < 0 || x >= header->biWidth ||
        static_cast<std::uint32_t>(y) >= DibAbsHeight(header))
        return {};
    int index = 0;
    const std::uint32_t color = DibGetPixel(header, bits, x, y, &index);
    const unsigned r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
    char text[64];
    if (header->biBitCount <= 8)
        std::snprintf(text, sizeof text, "RGB: %u, %u, %u, Idx: %u", r, g, b,
                      static_cast<unsigned>(index));
    else if (header->biBitCount == 32)
        std::snprintf(text, sizeof text, "RGBA: %u, %u, %u, %u", r, g, b, color >> 24);
    else
        std::snprintf(text, sizeof text, "RGB: %u, %u, %u", r, g, b);
    return text;
}

std::string ImageSizeLabel(const DibHeader* header) {
    if (!header) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%dx%d, %u-bit", header->biWidth, header->biHeight,
                  static_cast<unsigned>(header->biBitCount));
    return text;
}
