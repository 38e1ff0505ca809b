// The backgrounds behind pictures (the list view's cells, the image control)
// and the dotted-line frame, drawn by the raster layer into DIB memory.
#pragma once

#include "platform/raster.h"

// The checkerboard of the transparent background: 16 x 16 tiles of four 8 x 8
// squares, white at top left and bottom right, light grey at the other two.
constexpr ColorRef kCheckerLight = RgbColor(255, 255, 255);
constexpr ColorRef kCheckerDark = RgbColor(214, 214, 214);
// The dotted-line brush: a 2 x 2 tile, blue on the diagonal, pale blue off it.
constexpr ColorRef kDottedDark = RgbColor(0, 0, 255);
constexpr ColorRef kDottedLight = RgbColor(240, 248, 255);

// The solid colour of a background kind (ViewBackground): black, white, gray,
// `buttonFace` for the window kind (and for a kind outside 0 to 5), the custom
// colour; the checkerboard has none and answers its light square.
ColorRef ViewBackgroundColor(int kind, ColorRef customColor, ColorRef buttonFace);

// Fills the rectangle (clipped to the surface) with the background of `kind`.
// The checkerboard tiles from the brush origin (originX, originY) in surface
// coordinates, so neighbouring fills line up.
void FillViewBackground(RasterSurface& target, const RasterRect& rect, int kind,
                        ColorRef customColor, ColorRef buttonFace, int originX = 0,
                        int originY = 0);

// A rectangle of 1-pixel lines just inside `rect` in the dotted-line pattern,
// tiled from the surface origin.
void DrawDottedFrame(RasterSurface& target, const RasterRect& rect);
