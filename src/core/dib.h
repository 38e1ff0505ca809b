// The packed-DIB toolkit: sizes, pixels, blending, palettes and copies over the
// three image blocks (header with colour table, pixel rows, optional 1-bit AND
// mask). Plain functions over plain memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block.h"
#include "core/image_result.h"
#include "platform/bitmap_types.h"

// True for the depths an item can have: 1, 4, 8, 16, 24 and 32 bits per pixel.
constexpr bool IsSupportedBitCount(unsigned bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// Bytes per DWORD-aligned row for a width and depth; 0 for an unsupported depth.
// Exact for every 32-bit width (the result fits in 64 bits).
constexpr std::size_t RowStride(std::uint32_t width, unsigned bitCount) {
    if (!IsSupportedBitCount(bitCount)) return 0;
    std::size_t bits = std::size_t{width} * bitCount;
    return ((bits + 31) / 32) * 4;
}
static_assert(RowStride(13, 1) == 4 && RowStride(13, 24) == 40 && RowStride(3, 4) == 4);

// Sizes of the header block's image. Sizes that cannot be represented saturate
// at SIZE_MAX, so that every comparison with a real limit refuses them; images
// that passed a reader's checks never come near that.
std::size_t DibColorCount(const DibHeader* header);
std::size_t DibColorTableSize(const DibHeader* header);
std::size_t DibStride(const DibHeader* header);
std::size_t DibImageSize(const DibHeader* header);
std::size_t DibPackedSize(const DibHeader* header);
// Stride x |height| without a header; 0 for an unsupported depth.
std::size_t DibImageSizeFor(std::int32_t width, std::int32_t height, unsigned bitCount);
// |biHeight| as an unsigned value (safe for INT32_MIN).
std::uint32_t DibAbsHeight(const DibHeader* header);

// The colour table, at offset biSize of the header block.
RgbQuad* DibColorTable(DibHeader* header);
const RgbQuad* DibColorTable(const DibHeader* header);
// The pixel rows inside a packed DIB (after header and colour table).
std::uint8_t* DibPackedBits(DibHeader* packed);
const std::uint8_t* DibPackedBits(const DibHeader* packed);

// The colour at (x, y), y counted from the top of the picture whatever the row
// order: 0x00RRGGBB with the colour-table entry's reserved byte, or the 16/24-bit
// colour in the same layout, or the 32-bit pixel as stored (alpha in bits 24-31).
// Outside the picture it returns 0 and leaves *index untouched; for indexed depths
// the index is stored through `index` when given. An index at or beyond the colour
// count reads nothing past the table and returns 0 (black).
std::uint32_t DibGetPixel(const DibHeader* header, const std::uint8_t* bits, int x, int y,
                          int* index = nullptr);

// Sets alpha to 255 in the inclusive rectangle of a 32-bit image; nothing for
// other depths or null pointers. The rectangle is clipped to the picture.
void DibForceOpaque(const DibHeader* header, std::uint8_t* bits, int left, int top, int right,
                    int bottom);

// Blends one pixel in place with an opacity of 0-255 (3- or 4-byte pixels).
void BlendPixel(std::uint8_t* destination, int destinationBytes, const std::uint8_t* source,
                int sourceBytes, int opacity);

// Blends a width x height rectangle of the source at (sx, sy) onto the destination
// at (dx, dy), both counted from the top. Both images must have 24 or 32 bits per
// pixel (else ImageInvalidArg). The caller keeps the rectangle inside both images.
ImageResult BlendRect(const DibHeader* destinationHeader, std::uint8_t* destinationBits, int dx,
                      int dy, const DibHeader* sourceHeader, const std::uint8_t* sourceBits, int sx,
                      int sy, int width, int height, int opacity);

// Splits a packed DIB of `packedSize` bytes into a new header block (header and
// colour table) and a new bits block. ImageInvalidArg for null arguments,
// ImageBadFormat for an invalid header or data shorter than the header says,
// ImageOutOfMemory when a block cannot be made.
ImageResult SplitPackedDib(const DibHeader* packed, std::size_t packedSize, HeaderBlock* outHeader,
                           Block* outBits);

// Fills the colour table of a 1-, 4- or 8-bit header: black and white; the 16
// fixed colours (or a 4-bit source's table); the halftone palette (or an 8-bit
// source's table). Other depths are left alone. The table must have room for the
// depth's full count of entries.
void SetDefaultPalette(DibHeader* header, const DibHeader* source = nullptr);

// Reverses the order of the pixel rows in place; the header is not changed.
ImageResult ReverseRowOrder(const DibHeader* header, std::uint8_t* bits);

// Copies an image into two new blocks. ImageInvalidArg for a null argument,
// ImageOutOfMemory when a block cannot be made (or the header describes an image
// larger than kMaxImageBytes); the outputs are untouched unless ImageOk.
ImageResult CopyDib(const DibHeader* header, const std::uint8_t* bits, HeaderBlock* outHeader,
                    Block* outBits);
