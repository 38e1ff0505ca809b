#include "app/view_background.h"

#include <algorithm>

#include "app/view_state.h"

namespace {

// The part of `rect` inside the surface; empty when nothing is.
RasterRect Clip(const RasterSurface& target, const RasterRect& rect) {
    return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, target.Width()),
            std::min(rect.bottom, target.Height())};
}

void FillPattern(RasterSurface& target, const RasterRect& rect, bool (*dark)(int, int),
                 ColorRef darkColor, ColorRef lightColor, int originX, int originY) {
    const RasterRect c = Clip(target, rect);
    if (c.left >= c.right || c.top >= c.bottom) return;
    const std::uint32_t d = target.MapColor(darkColor);
    const std::uint32_t l = target.MapColor(lightColor);
    for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.right; ++x)
            target.SetRawPixel(x, y, dark(x - originX, y - originY) ? d : l);
}

bool DottedDark(int x, int y) {
    return ((x ^ y) & 1) == 0;
}

}  // namespace

ColorRef ViewBackgroundColor(int kind, ColorRef customColor, ColorRef buttonFace) {
    switch (kind) {
        case ViewBackgroundBlack:
            return RgbColor(0, 0, 0);
        case ViewBackgroundWhite:
            return RgbColor(255, 255, 255);
        case ViewBackgroundGray:
            return RgbColor(128, 128, 128);
        case ViewBackgroundTransparent:
            return kCheckerLight;
        case ViewBackgroundCustom:
            return customColor & 0x00FFFFFF;
        default:
            return buttonFace;
    }
}

void DrawDottedFrame(RasterSurface& target, const RasterRect& rect) {
    if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) return;
    const RasterRect edges[] = {
        {rect.left, rect.top, rect.right, rect.top + 1},
        {rect.left, rect.bottom - 1, rect.right, rect.bottom},
        {rect.left, rect.top, rect.left + 1, rect.bottom},
        {rect.right - 1, rect.top, rect.right, rect.bottom},
    };
    for (const RasterRect& edge : edges)
        FillPattern(target, edge, DottedDark, kDottedDark, kDottedLight, 0, 0);
}
