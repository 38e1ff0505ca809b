// What the PNG decoder and encoder share: the chunk framing, the header record
// and its validation, row sizes and the Adam7 interlace pattern.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/png/png_result.h"

// The IHDR fields, integers in host byte order.
struct PngHeaderInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colorType = 0;
    std::uint8_t compressionMethod = 0;
    std::uint8_t filterMethod = 0;
    std::uint8_t interlaceMethod = 0;
};

enum PngColorType : std::uint8_t {
    PngColorGray = 0,
    PngColorRgb = 2,
    PngColorPalette = 3,
    PngColorGrayAlpha = 4,
    PngColorRgba = 6,
};

inline constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Length, type and CRC around a chunk's data.
inline constexpr std::size_t kPngChunkOverhead = 12;
// The streaming piece of compressed input and the inflate/deflate output window.
inline constexpr std::size_t kPngStreamWindow = 131072;

// A four-character chunk type as the big-endian integer it is stored as.
constexpr std::uint32_t PngChunkType(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
           std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

inline std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}
inline std::uint16_t ReadBigEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline void WriteBigEndian32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}
inline void WriteBigEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

// CRC-32 (ISO 3309, as the PNG standard defines it) of a chunk's type and data;
// `typeAndData` points at the type.
std::uint32_t PngChunkCrc(const std::uint8_t* typeAndData, std::size_t dataLength);

// PngOk when the header is one the codec handles, else PngBadFormat: width and
// height from 1 to 2^31 - 1 (the largest a PNG or a DIB can describe), a valid
// colour type and bit depth pair, compression and filter method 0, interlace
// method 0 or 1. Interlaced images of every bit depth are accepted.
PngResult ValidatePngHeader(const PngHeaderInfo& header);

// Samples per pixel of a colour type (1 to 4); 0 for an invalid type.
unsigned PngChannels(std::uint8_t colorType);
// Bits per pixel of a valid header.
inline unsigned PngBitsPerPixel(const PngHeaderInfo& header) {
    return PngChannels(header.colorType) * header.bitDepth;
}
// The filter's pixel distance: whole bytes per pixel, 1 below 8 bits.
inline unsigned PngFilterBytesPerPixel(const PngHeaderInfo& header) {
    unsigned bits = PngBitsPerPixel(header);
    return bits < 8 ? 1 : bits / 8;
}
// Bytes of one row of `width` pixels, without the filter-type byte. Exact for
// every 32-bit width and bits per pixel up to 64.
inline std::uint64_t PngRowBytes(std::uint32_t width, unsigned bitsPerPixel) {
    return (std::uint64_t{width} * bitsPerPixel + 7) / 8;
}

// One pass of the Adam7 pattern: first column and row, column and row steps.
struct Adam7Pass {
    std::uint8_t x0, y0, dx, dy;
};
inline constexpr Adam7Pass kAdam7Passes[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8},
                                              {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2},
                                              {0, 1, 1, 2}};
// Pixels of an image dimension covered by a pass that starts at `start` and
// steps by `step` (0 when the image is too small for the pass).
constexpr std::uint32_t Adam7PassExtent(std::uint32_t size, unsigned start, unsigned step) {
    return size > start ? (size - start + step - 1) / step : 0;
}
// The interlace layout of an image: for a non-interlaced one a single pass that
// covers everything, for an interlaced one the seven Adam7 passes.
int PngPassCount(const PngHeaderInfo& header);
Adam7Pass PngPass(const PngHeaderInfo& header, int pass);

// Bytes of filtered data the rows of a valid header take: every row with its
// filter-type byte, summed over the passes. False when it does not fit in 64 bits.
bool PngRawSize(const PngHeaderInfo& header, std::uint64_t* size);
