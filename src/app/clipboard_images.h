// The packed DIB as the image files other programs put on and take from the
// clipboard: a PNG stream and a BMP file. What comes from the clipboard was made
// by another process and is trusted in nothing: every size is checked against
// the data and against kMaxImageBytes before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/door/clipboard.h"

// The most bytes of one clipboard format that is read at all.
constexpr std::size_t kMaxClipboardBytes = std::size_t{1} << 32;

// Bytes of the packed DIB's header block as a BMP file's pixel offset counts them:
// biSize, the bit-field masks a 40-byte header is followed by, and the colour
// table. 0 when the data is shorter than a 40-byte header, its biSize is below
// 40, or the block runs past the data.
std::size_t PackedDibHeaderBlockSize(std::span<const std::uint8_t> dib);

// A BMP file: the 14-byte file header (pixel offset after the header block) and
// the packed DIB unchanged. False when the DIB has no valid header block
// (above), when the file would not fit the file header's 32-bit sizes, or when
// memory runs out.
bool BmpFileFromPackedDib(std::span<const std::uint8_t> dib, ClipboardBlock* out);

// A PNG stream of the packed DIB's picture (uncompressed 1, 4, 8, 16, 24 or
// 32 bits; the encoder's defaults). False when the DIB is not such a picture,
// its rows are missing, or the encoder fails.
bool PngFromPackedDib(std::span<const std::uint8_t> dib, ClipboardBlock* out);

// The packed DIB of a BMP file: the header block, then the pixel data taken from
// the file's pixel offset (right after the header block when it is 0). Refused
// (false) unless: the file header says "BM"; the information header has at least
// 40 bytes, a positive width, a height other than 0, one plane and a depth of 1,
// 4, 8, 16, 24 or 32; the header block lies inside the file and the pixel offset
// at or after its end; an uncompressed image's rows all lie inside the file; the
// image is at most kMaxImageBytes. Compressed pixel data is kept as it is (to the
// end of the file, at most kMaxImageBytes; for bit fields at most the rows'
// size), for the paste to expand or refuse.
bool PackedDibFromBmpFile(std::span<const std::uint8_t> file, ClipboardBlock* out);

// The packed DIB (40-byte header, colour table, bottom-up rows) of a PNG
// stream's default image; an animation's later frames are not decoded. False when the stream does
// not decode (the decoder's checks and limits) or memory runs out.
bool PackedDibFromPng(std::span<const std::uint8_t> png, ClipboardBlock* out);
