// The backgrounds behind pictures (the list view's cells, the image control)
// and the dotted-line frame, drawn by the raster layer into DIB memory.
#pragma once

#include "platform/raster.h"

// The dotted-line brush: a 2 x 2 tile, blue on the diagonal, pale blue off it.
constexpr ColorRef kDottedDark = RgbColor(0, 0, 255);
constexpr ColorRef kDottedLight = RgbColor(240, 248, 255);

// The solid colour of a background kind (ViewBackground): black, white, gray,
// `buttonFace` for the window kind (and for a kind outside 0 to 5), the custom
// colour; the checkerboard has none and answers its light square.
ColorRef ViewBackgroundColor(int kind, ColorRef customColor, ColorRef buttonFace);

// A rectangle of 1-pixel lines just inside `rect` in the dotted-line pattern,
// tiled from the surface origin.
void DrawDottedFrame(RasterSurface& target, const RasterRect& rect);
