// BMP and DIB files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/block.h"
#include "core/image_result.h"

// Bytes of colour masks that a header block made by ReadBmpFile keeps between the
// header and the colour table: for a 16- or 32-bit BI_BITFIELDS (BI_ALPHABITFIELDS)
// image the masks are always at offset 40 of the header block, red, green, blue
// (and alpha) as 32-bit values. Headers of 52 (56) bytes and more hold them
// themselves and need none; a 40-byte header is followed by the 12 (16) mask bytes
// the file stores after it. The colour table then starts at biSize plus these
// bytes. 0 for every other header.
std::size_t BitfieldMaskBytesAfterHeader(const DibHeader* header);

// Parses the bytes of a BMP file into a new header block and a new pixel block;
// no I/O. The image may still be compressed (run-length or bit fields);
// ExpandCompressedDib makes it an item's image. Both outputs are null unless the
// result is ImageOk. *outBitsSize receives the size of the pixel block: image
// size for an uncompressed image; for a compressed one the bytes of data the file
// holds from the pixel offset on (for run-length data up to kMaxImageBytes, which
// may exceed the uncompressed size; for other compressions at most the
// uncompressed size).
//
// Checks, in order: a null output (ImageInvalidArg); a file under 66 bytes, a
// file header without "BM" or with bfSize 0, a header shorter than 40 bytes, a
// zero or negative width, a zero height, planes other than 1, a depth other than
// 1, 4, 8, 16, 24 or 32, a header, mask or colour table that overruns the file,
// and for an uncompressed image pixel rows that overrun it or whose size
// overflows (ImageBadFormat); an image whose pixel block would exceed
// kMaxImageBytes, compressed or not, is ImageOutOfMemory before anything big is
// allocated. The compression field is not judged here.
ImageResult ParseBmp(std::span<const std::uint8_t> file, HeaderBlock* outHeader, Block* outBits,
                     std::size_t* outBitsSize = nullptr);

// Loads the BMP file at `path` and parses it as ParseBmp does. ImageInvalidArg
// for a null path; ImageSystemError when it cannot be opened, sized or read;
// ImageOutOfMemory for a file over kMaxImageFileBytes. errno is kept, except on
// ImageSystemError, where it holds the failing call's code.
ImageResult ReadBmpFile(const char* path, HeaderBlock* outHeader, Block* outBits,
                        std::size_t* outBitsSize = nullptr);

// Writes a header block and its pixels as a BMP file, unchanged (a top-down image
// keeps its negative height). The file replaces the old one only when every
// byte is written; a failure (ImageSystemError) leaves what was there untouched
// and no partial file. ImageInvalidArg for a null argument; ImageUnsupported for
// an image too large for the file header's 32-bit sizes. errno as above.
ImageResult WriteBmpFile(const char* path, const DibHeader* header, const std::uint8_t* bits);

// Turns a compressed image (BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS)
// into an uncompressed one of the same depth (bit fields: 16-bit 5-5-5 or 32-bit
// BGRA), replacing both blocks; an uncompressed image is left as it is (ImageOk).
// A compression it cannot expand (BI_JPEG, BI_PNG, unknown values, run-length
// data in a top-down image or at a depth other than 8 (RLE8) or 4 (RLE4), bit
// fields at a depth other than 16 or 32) is ImageUnsupported; an image larger
// than kMaxImageBytes or a failed allocation is ImageOutOfMemory; a null argument
// ImageInvalidArg. After ImageUnsupported and ImageOutOfMemory both blocks have
// been freed. `bitsSize` bounds what is read of *bits.
// Run-length data draws into a zero-filled image: pixels it never reaches keep
// index 0 and data beyond the picture's edges is dropped. Bit-field channels are
// scaled to 8 bits (rounded) from masks of any width, contiguous or not; a 32-bit
// image keeps its alpha channel when it has an alpha mask and has alpha 0 otherwise.
ImageResult ExpandCompressedDib(HeaderBlock* header, Block* bits, std::size_t bitsSize);
