// The alpha channel edits of a 32-bit image, made on a working copy of its pixel
// block: restore the source, a flat alpha, single pencil points, colours
// pre-multiplied by alpha, alpha from the 1-bit mask. Every edit covers every
// stored row, whatever the row order.
#pragma once

#include <cstdint>

#include "core/image_result.h"
#include "platform/bitmap_types.h"

// The options of the Alpha Compositing dialog, in its order.
enum AlphaOption : int {
    kAlphaOriginal = 0,       // the source's colours and alpha
    kAlphaFlatValue = 1,      // every alpha byte set to the value; colours kept
    kAlphaPencil = 2,         // arms the pencil: pixels change by AlphaPencilPoint only
    kAlphaPremultiplied = 3,  // the source with each colour channel times alpha / 255
    kAlphaBaseOnMask = 4,     // alpha 0 where the mask is transparent, 255 elsewhere
};
constexpr int kAlphaOptionCount = 5;

// Applies an option to `work`, a copy of a 32-bit BI_RGB image's pixel block
// described by `header`. `source` is the image's own pixel block (Original and
// Pre-multiplied start again from it, so Pre-multiplied after Flat uses the
// source's alpha; Flat after Pre-multiplied keeps the pre-multiplied colours).
// `value` (0-255) is the flat value; `mask` (the 1-bit AND mask in the image's
// row order, a set bit transparent) is needed by Base on Mask only. Pre-multiplied
// replaces each channel of a pixel whose alpha a is not 255 by
// floor(channel x a / 255). The pencil option changes nothing.
//
// ImageInvalidArg: a missing block, a header that is not a 32-bit image, an
// option outside the list, a value outside 0-255, Base on Mask without a mask.
// ImageUnsupported: a compressed image. On failure `work` is unchanged.
ImageResult ApplyAlphaOption(const DibHeader* header, const std::uint8_t* source,
                             const std::uint8_t* mask, std::uint8_t* work, int option, int value);

// One pencil point at picture position (x, y), y from the top: the pixel's alpha
// byte becomes `value` (0-255). False, with nothing changed, for a point outside
// the picture or an image or value the options refuse.
bool AlphaPencilPoint(const DibHeader* header, std::uint8_t* work, int x, int y, int value);
