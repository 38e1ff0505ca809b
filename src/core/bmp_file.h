// BMP and DIB files.
#pragma once

#include <cstddef>

#include "core/block.h"
#include "core/image_result.h"

class Interaction;

// Reads a BMP file into a new header block and a new pixel block. The image may
// still be compressed (run-length or bit fields); ExpandCompressedDib makes it an
// item's image. Both outputs are null unless the result is ImageOk. *outBitsSize
// receives the size of the pixel block, which for a compressed image is the
// length of its data. errno is kept, except on ImageSystemError, where it holds
// the failing call's code.
ImageResult ReadBmpFile(const char* path, HeaderBlock* outHeader, Block* outBits,
                        std::size_t* outBitsSize = nullptr);

// Writes a header block and its pixels as a BMP file, unchanged (a top-down image
// keeps its negative height). The file replaces the old one only when every
// byte is written; a failure leaves what was there untouched. errno as above.
ImageResult WriteBmpFile(const char* path, const DibHeader* header, const std::uint8_t* bits);

// Turns a compressed image (BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS)
// into an uncompressed one of the same depth (bit fields: 16-bit 5-5-5 or 32-bit
// BGRA), replacing both blocks; an uncompressed image is left as it is. A
// compression it cannot expand is refused with the cannot-read message naming
// `path`; memory failures show the out-of-memory message. False after any message.
bool ExpandCompressedDib(Interaction& ui, const char* path, HeaderBlock* header, Block* bits,
                         std::size_t bitsSize);
