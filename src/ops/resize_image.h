// Scaling an image, or giving it a larger or smaller canvas.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block.h"
#include "core/image_result.h"
#include "platform/raster.h"

// Placement codes of ResizeImage.
constexpr std::uint32_t kPlaceStretch = 0;
constexpr std::uint32_t kPlaceOffset = 0x1000;
// Horizontal anchor in the low 4 bits, vertical in bits 4-7.
constexpr std::uint32_t kAnchorLeft = 0x01, kAnchorCenter = 0x02, kAnchorRight = 0x03;
constexpr std::uint32_t kAnchorTop = 0x10, kAnchorMiddle = 0x20, kAnchorBottom = 0x30;

// The rectangle copied by an anchor placement along one axis, from a source of
// `size` to a canvas of `newSize`: destination start, source start and length.
// An anchor other than 1, 2, 3 (left/top, centre/middle, right/bottom) copies
// nothing (length 0).
struct AnchorSpan {
    int destination;
    int source;
    int length;
};
AnchorSpan AnchorPlacement(unsigned anchor, int size, int newSize);

// Makes a copy of the source at newWidth x newHeight: a copy of the source's
// header block with the new size (the sign of the height kept) and biSizeImage 0,
// and new pixels.
// - kPlaceStretch: every new pixel is the nearest source pixel (no blending;
//   indices stay indices, alpha stays).
// - kPlaceOffset: the canvas is filled with `fill` and the unscaled picture put
//   with its top-left corner at (x, y), clipped.
// - an anchor code: the canvas is filled and the picture placed around the
//   anchor, unscaled; a larger canvas gets a border, a smaller one crops.
// The fill is matched like any colour (nearest palette entry, 5-5-5, alpha 0 in
// 32 bits). x and y matter only for kPlaceOffset, `fill` not for kPlaceStretch.
//
// ImageInvalidArg: a missing header, bits or bits out-slot, a size that is not
// positive. ImageNoSurface: a source that cannot be drawn (compressed, or not an
// image of a supported depth). ImageOutOfMemory: a block cannot be allocated, or
// the result would exceed the image size limit. With no header out-slot the new
// header is not handed out.
// The start of every resize: the source described for drawing, and a new DIB of
// newWidth x newHeight at its depth (its header and colour table copied, its row
// order kept, biSizeImage 0) with zeroed pixels of `size` bytes. The failures are
// ResizeImage's.
struct ResizedDib {
    RasterImage source;
    HeaderBlock header;
    Block bits;
    std::size_t size = 0;
};
ImageResult NewResizedDib(const DibHeader* source, const std::uint8_t* sourceBits, int newWidth,
                          int newHeight, ResizedDib* out);

ImageResult ResizeImage(const DibHeader* source, const std::uint8_t* sourceBits, int newWidth,
                        int newHeight, int x, int y, HeaderBlock* outHeader, Block* outBits,
                        std::uint32_t placement, ColorRef fill);
