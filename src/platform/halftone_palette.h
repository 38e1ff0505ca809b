// The fixed 256-colour palette that stands in for the display's halftone palette.
#pragma once

#include <array>

#include "platform/bitmap_types.h"

// Entries 0-15 are the fixed 16 colours of 4-bit images, 16-231 a 6x6x6 colour
// cube (levels 0, 51, 102, 153, 204, 255; blue varies fastest), 232-254 a ramp of
// 23 grays (8, 18, ..., 228) and 255 white, where the display's palette keeps it
// too. Reserved bytes are 0.
const std::array<RgbQuad, 256>& HalftonePalette();

// The fixed 16-colour palette, in colour-table order.
const std::array<RgbQuad, 16>& Fixed16Palette();
