// The plain bitmap records that image data is exchanged in: the 40-byte bitmap
// information header and the colour-table entry, little-endian as stored in files.
#pragma once

#include <bit>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "image records are read and written in place; a little-endian host is assumed");

// The bitmap information header that starts every header block. Longer headers
// (108 or 124 bytes) carry their extra bytes after these 40, unread.
struct DibHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // > 0: rows stored bottom-up; < 0: top-down
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40);

// One colour-table entry: blue, green, red, reserved.
struct RgbQuad {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};
static_assert(sizeof(RgbQuad) == 4);

// biCompression values.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiJpeg = 4;
constexpr std::uint32_t kBiPng = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
