#include "ops/pixel_tools.h"

#include <cstring>

#include "core/dib.h"

namespace {

// The stored value of a tool colour: as the surface maps it, opaque on 32 bits.
std::uint32_t ToolValue(RasterSurface& surface, ColorRef color) {
    if (surface.BitCount() == 32)
        return surface.MapArgb(0xFF000000u | (static_cast<std::uint32_t>(RedOf(color)) << 16) |
                               (static_cast<std::uint32_t>(GreenOf(color)) << 8) |
                               static_cast<std::uint32_t>(BlueOf(color)));
    return surface.MapColor(color);
}

void SetToolPixel(RasterSurface& surface, int x, int y, ColorRef color) {
    if (x < 0 || y < 0 || x >= surface.Width() || y >= surface.Height()) return;
    surface.SetRawPixel(x, y, ToolValue(surface, color));
}

}  // namespace

void PencilStroke::Begin(RasterSurface& surface, int x, int y, ColorRef color) {
    active_ = false;
    if (x < 0 || y < 0) return;
    SetToolPixel(surface, x, y, color);
    active_ = true;
    x_ = x;
    y_ = y;
}

void PencilStroke::MoveTo(RasterSurface& surface, int x, int y, ColorRef color) {
    if (x < 0 || y < 0) {
        active_ = false;
        return;
    }
    if (!active_) {
        Begin(surface, x, y, color);
        return;
    }
    RasterLineToValue(surface, x_, y_, x, y, ToolValue(surface, color));
    SetToolPixel(surface, x, y, color);
    x_ = x;
    y_ = y;
}

void FillArea(RasterSurface& surface, int x, int y, ColorRef color) {
    const ColorRef clicked = RasterGetPixel(surface.Image(), x, y);
    if (clicked == kInvalidColor) return;
    RasterFloodFillValue(surface, x, y, clicked, ToolValue(surface, color));
}

std::optional<ColorRef> PickColor(const RasterImage& image, int x, int y) {
    const ColorRef color = RasterGetPixel(image, x, y);
    if (color == kInvalidColor) return std::nullopt;
    return color;
}

bool InvertPixels(const DibHeader* header, std::uint8_t* bits, std::size_t bitsSize) {
    if (!header || !bits) return false;
    const unsigned depth = header->biBitCount;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return false;
    const std::size_t size = DibImageSize(header);
    if (size == 0 || size > bitsSize) return false;
    if (depth == 32) {
        for (std::size_t i = 0; i + 4 <= size; i += 4) {
            bits[i] = static_cast<std::uint8_t>(~bits[i]);
            bits[i + 1] = static_cast<std::uint8_t>(~bits[i + 1]);
            bits[i + 2] = static_cast<std::uint8_t>(~bits[i + 2]);
        }
        return true;
    }
    // Rows are DWORD-aligned, so the block is whole words.
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        std::uint32_t word;
        std::memcpy(&word, bits + i, 4);
        word = ~word;
        std::memcpy(bits + i, &word, 4);
    }
    return true;
}
