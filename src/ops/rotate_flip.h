// Rotation by right angles and flips of an image, by index arithmetic.
#pragma once

#include <cstdint>

#include "platform/block.h"
#include "core/image_result.h"

enum RotateFlipOperation : int {
    kRotate180 = 0,
    kRotateClockwise = 1,
    kRotateCounterClockwise = 2,
    kFlipVertical = 3,    // top and bottom change places
    kFlipHorizontal = 4,  // left and right change places
};

// Where the pixel at picture position (x, y) of a width x height image goes.
struct PixelPosition {
    int x;
    int y;
};
PixelPosition RotateFlipPosition(int operation, int width, int height, int x, int y);

// Makes a rotated or flipped copy: a copy of the source's header block (header and
// colour table) with the new width and height (the 90-degree operations swap
// them; the sign of the height, so the row order, is kept) and biSizeImage 0, and
// a new pixel block. Every pixel is moved whole (alpha included; 1- and 4-bit
// pixels one at a time); row padding of the result is zero. With no header
// out-slot the new header is not handed out (for masks).
//
// On ImageOk the given out-slots receive new blocks; otherwise nothing is handed
// out. ImageInvalidArg: a missing header, bits or bits out-slot, an operation not
// in the list, a source that is not an image of a supported depth.
// ImageUnsupported: a compressed source. ImageOutOfMemory.
ImageResult RotateFlipImage(const DibHeader* source, const std::uint8_t* sourceBits,
                            HeaderBlock* outHeader, Block* outBits, int operation);
