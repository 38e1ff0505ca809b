// The pixel work of the image editor's tools, over a drawing surface on the
// working image: pencil strokes, flood fill, the colour picker's reading and
// Invert. Colours enter the surface as its format holds them (the nearest
// colour-table entry for indexed images, 5 bits a channel for 16 bits), and on
// 32 bits opaque (alpha 255): a stroke is meant to be seen, and a 32-bit picture
// is shown through its alpha. The fill compares colours without alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/raster.h"

// One pencil stroke: Begin sets the pressed pixel; each MoveTo draws a line from
// the previous point to the new one and sets the end pixel too (the line leaves
// its last pixel out). A point outside the image (x or y below 0) ends the
// stroke; the next point inside starts a new one there, so a drag that leaves
// the picture draws nothing across the outside.
class PencilStroke {
public:
    void Begin(RasterSurface& surface, int x, int y, ColorRef color);
    void MoveTo(RasterSurface& surface, int x, int y, ColorRef color);
    void End() { active_ = false; }
    bool Active() const { return active_; }

private:
    bool active_ = false;
    int x_ = 0;
    int y_ = 0;
};

// Fill with Color: the 4-connected area of pixels stored as the clicked pixel's
// colour maps, filled with `color`. Nothing outside the image.
void FillArea(RasterSurface& surface, int x, int y, ColorRef color);

// The colour the Color Picker takes at (x, y) (0x00BBGGRR, through the colour
// table for indexed images); nullopt outside the image.
std::optional<ColorRef> PickColor(const RasterImage& image, int x, int y);

// Invert: for 1 to 24 bits per pixel every 32-bit word of the pixel rows (|height|
// x stride bytes, padding included) is complemented, so indexed images get their
// indices inverted, not their colours; for 32 bits the blue, green and red bytes
// of each pixel are complemented and alpha is kept. False (nothing changed) for
// other depths, a null argument or a block shorter than the rows.
bool InvertPixels(const DibHeader* header, std::uint8_t* bits, std::size_t bitsSize);
