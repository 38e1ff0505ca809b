// Edits of an item's 1-bit AND mask: a new all-opaque mask, colour sampling from
// the picture and inversion. The mask has the picture's width and signed height
// (so its rows are stored in the picture's order), DWORD-aligned rows, the
// leftmost pixel in the most significant bit, a set bit transparent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/image_result.h"
#include "platform/block.h"
#include "platform/raster.h"

// The 48-byte header a mask is drawn with: 40-byte 1-bit BI_RGB header with the
// picture's width and signed height, then black (0, opaque) and white (1,
// transparent).
struct MaskDibHeader {
    DibHeader header;
    RgbQuad table[2];

    explicit MaskDibHeader(const DibHeader& picture);
};
static_assert(sizeof(MaskDibHeader) == 48);

// Bytes of the mask block of a picture, or 0 when the header is not a picture
// (width not positive, height 0) or the mask would exceed the image limit.
std::size_t MaskBlockSize(const DibHeader* picture);

// A new all-opaque (zero) mask for the picture, or null when MaskBlockSize is 0
// or memory runs out.
Block NewMask(const DibHeader* picture);

// The sampling modes of the mask editor.
enum ColorSampleMode : int {
    kSampleReplace = 0,   // Color Picker: exactly the pixels of the colour transparent
    kSampleAdd = 1,       // Add to Sample: those pixels transparent too, the rest kept
    kSampleSubtract = 2,  // Subtract from Sample: those pixels opaque, the rest kept
};

// The colour sampling reads at picture point (x, y), y from the top, as
// 0x00BBGGRR: indexed pixels through the colour table, 16-bit channels widened,
// alpha ignored; kInvalidColor outside the picture or for an image the raster
// layer cannot read.
ColorRef SampleColorAt(const DibHeader* picture, const std::uint8_t* bits, int x, int y);

// Updates `mask` from one sampled colour, pixel by pixel: a pixel whose colour
// (read as SampleColorAt reads it, so two indices of one colour are the same
// colour) equals `color` gets its bit set by modes 0 and 1 and cleared by mode 2;
// any other pixel gets its bit cleared by mode 0 and kept by modes 1 and 2. The
// top byte of `color` is ignored. Row padding bits are left alone.
// ImageInvalidArg: a missing block, a mode outside the list, a picture the
// raster layer cannot read (compressed, unsupported depth).
ImageResult ApplyColorSample(const DibHeader* picture, const std::uint8_t* bits, std::uint8_t* mask,
                             ColorRef color, int mode);

// One step of the mask editor's pens: the line from (x0, y0) to (x1, y1), picture
// coordinates, both ends included, made opaque (Black Pen) or transparent (White
// Pen); points outside the picture are clipped. A click is the step from a point
// to itself. ImageInvalidArg: a missing mask or a header without a mask size.
ImageResult MaskPenLine(const DibHeader* picture, std::uint8_t* mask, int x0, int y0, int x1,
                        int y1, bool transparent);

// Inverts every bit of the mask block, row padding included.
// ImageInvalidArg: a missing argument or a header without a mask size.
ImageResult InvertMask(const DibHeader* picture, std::uint8_t* mask);
