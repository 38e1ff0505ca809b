#include "formats/png/png_common.h"

#include <zlib.h>

#include <cstdint>

#include "core/checked_math.h"

std::uint32_t PngChunkCrc(const std::uint8_t* typeAndData, std::size_t dataLength) {
    // zlib's crc32 is the ISO 3309 polynomial; it takes lengths in uInt pieces.
    uLong crc = crc32(0L, Z_NULL, 0);
    std::size_t left = dataLength + 4;
    const std::uint8_t* p = typeAndData;
    while (left > 0) {
        uInt piece = left > 0x40000000u ? 0x40000000u : static_cast<uInt>(left);
        crc = crc32(crc, p, piece);
        p += piece;
        left -= piece;
    }
    return static_cast<std::uint32_t>(crc);
}

unsigned PngChannels(std::uint8_t colorType) {
    switch (colorType) {
        case PngColorGray:
            return 1;
        case PngColorRgb:
            return 3;
        case PngColorPalette:
            return 1;
        case PngColorGrayAlpha:
            return 2;
        case PngColorRgba:
            return 4;
        default:
            return 0;
    }
}

PngResult ValidatePngHeader(const PngHeaderInfo& header) {
    constexpr std::uint32_t kMaxDimension = 0x7FFFFFFFu;
    if (header.width == 0 || header.height == 0) return PngBadFormat;
    if (header.width > kMaxDimension || header.height > kMaxDimension) return PngBadFormat;
    const unsigned depth = header.bitDepth;
    bool depthOk = false;
    switch (header.colorType) {
        case PngColorGray:
            depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
            break;
        case PngColorRgb:
        case PngColorGrayAlpha:
        case PngColorRgba:
            depthOk = depth == 8 || depth == 16;
            break;
        case PngColorPalette:
            depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
            break;
        default:
            break;
    }
    if (!depthOk) return PngBadFormat;
    if (header.compressionMethod != 0 || header.filterMethod != 0) return PngBadFormat;
    if (header.interlaceMethod > 1) return PngBadFormat;
    return PngOk;
}

int PngPassCount(const PngHeaderInfo& header) {
    return header.interlaceMethod ? 7 : 1;
}

Adam7Pass PngPass(const PngHeaderInfo& header, int pass) {
    return header.interlaceMethod ? kAdam7Passes[pass] : Adam7Pass{0, 0, 1, 1};
}

bool PngRawSize(const PngHeaderInfo& header, std::uint64_t* size) {
    const unsigned bits = PngBitsPerPixel(header);
    std::uint64_t total = 0;
    for (int p = 0; p < PngPassCount(header); ++p) {
        const Adam7Pass pass = PngPass(header, p);
        const std::uint32_t w = Adam7PassExtent(header.width, pass.x0, pass.dx);
        const std::uint32_t h = Adam7PassExtent(header.height, pass.y0, pass.dy);
        if (w == 0 || h == 0) continue;  // an empty pass has no filter bytes either
        auto bytes = CheckedMul<std::uint64_t>(PngRowBytes(w, bits) + 1, h);
        if (!bytes) return false;
        auto sum = CheckedAdd<std::uint64_t>(total, *bytes);
        if (!sum) return false;
        total = *sum;
    }
    *size = total;
    return true;
}
