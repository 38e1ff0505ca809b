// Builders of headers, images and BMP files for the core tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/dib.h"
#include "platform/bitmap_types.h"

inline DibHeader MakeHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                            std::uint32_t compression = kBiRgb, std::uint32_t clrUsed = 0) {
    DibHeader h{};
    h.biSize = kBitmapInfoHeaderSize;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biCompression = compression;
    h.biClrUsed = clrUsed;
    return h;
}

// A header block: the header (padded with zeros to biSize) and `table` bytes after it.
inline std::vector<std::uint8_t> HeaderBytes(const DibHeader& h,
                                             const std::vector<std::uint8_t>& table = {}) {
    std::vector<std::uint8_t> bytes(h.biSize < 40 ? 40 : h.biSize, 0);
    std::memcpy(bytes.data(), &h, sizeof h);
    bytes.insert(bytes.end(), table.begin(), table.end());
    return bytes;
}

inline const DibHeader* AsHeader(const std::vector<std::uint8_t>& bytes) {
    return reinterpret_cast<const DibHeader*>(bytes.data());
}
inline DibHeader* AsHeader(std::vector<std::uint8_t>& bytes) {
    return reinterpret_cast<DibHeader*>(bytes.data());
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Field values of a BMP file's header that a test may spoil; kAuto computes them.
constexpr std::uint32_t kAuto = 0xFFFFFFFF;

// A whole BMP file: file header, `headerBlock` (header, masks, colour table) and pixels.
inline std::vector<std::uint8_t> BmpFileBytes(const std::vector<std::uint8_t>& headerBlock,
                                              const std::vector<std::uint8_t>& pixels,
                                              std::uint32_t bfSize = kAuto,
                                              std::uint32_t offBits = kAuto) {
    std::vector<std::uint8_t> out = {'B', 'M'};
    const auto total = static_cast<std::uint32_t>(14 + headerBlock.size() + pixels.size());
    Put32(out, bfSize == kAuto ? total : bfSize);
    Put32(out, 0);
    Put32(out, offBits == kAuto ? static_cast<std::uint32_t>(14 + headerBlock.size()) : offBits);
    out.insert(out.end(), headerBlock.begin(), headerBlock.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

inline std::vector<std::uint8_t> QuadBytes(std::initializer_list<RgbQuad> quads) {
    std::vector<std::uint8_t> out;
    for (const RgbQuad& q : quads) {
        out.push_back(q.rgbBlue);
        out.push_back(q.rgbGreen);
        out.push_back(q.rgbRed);
        out.push_back(q.rgbReserved);
    }
    return out;
}
