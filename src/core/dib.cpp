#include "core/dib.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/checked_math.h"
#include "core/image_limits.h"
#include "platform/halftone_palette.h"

namespace {

constexpr std::size_t kSaturated = std::numeric_limits<std::size_t>::max();

std::size_t SaturatingAdd(std::size_t a, std::size_t b) {
    return CheckedAdd(a, b).value_or(kSaturated);
}

std::size_t SaturatingMul(std::size_t a, std::size_t b) {
    return CheckedMul(a, b).value_or(kSaturated);
}

// Offset of the first byte of picture row y (counted from the top) in the pixel block.
std::size_t RowOffset(const DibHeader* header, std::uint32_t y) {
    std::uint32_t height = DibAbsHeight(header);
    std::uint32_t row = header->biHeight > 0 ? height - y - 1 : y;
    return std::size_t{row} * DibStride(header);
}

std::uint8_t* PixelAt(const DibHeader* header, std::uint8_t* bits, int x, int y, int bytes) {
    return bits + RowOffset(header, static_cast<std::uint32_t>(y)) +
           static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes);
}

bool Inside(const DibHeader* header, int x, int y) {
    return x >= 0 && x < header->biWidth && y >= 0 &&
           static_cast<std::uint32_t>(y) < DibAbsHeight(header);
}

}  // namespace

std::size_t DibColorCount(const DibHeader* header) {
    if (!header) return 0;
    if (header->biClrUsed != 0) return header->biClrUsed;
    switch (header->biBitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::size_t DibColorTableSize(const DibHeader* header) {
    return SaturatingMul(DibColorCount(header), sizeof(RgbQuad));
}

std::size_t DibStride(const DibHeader* header) {
    // A negative width describes no image; it gets no rows rather than a huge one.
    if (!header || header->biWidth < 0) return 0;
    return RowStride(static_cast<std::uint32_t>(header->biWidth), header->biBitCount);
}

std::uint32_t DibAbsHeight(const DibHeader* header) {
    if (!header) return 0;
    std::int64_t height = header->biHeight;
    return static_cast<std::uint32_t>(height < 0 ? -height : height);
}

std::size_t DibImageSize(const DibHeader* header) {
    return SaturatingMul(DibStride(header), DibAbsHeight(header));
}

std::size_t DibPackedSize(const DibHeader* header) {
    if (!header) return 0;
    return SaturatingAdd(SaturatingAdd(header->biSize, DibColorTableSize(header)),
                         DibImageSize(header));
}

std::size_t DibImageSizeFor(std::int32_t width, std::int32_t height, unsigned bitCount) {
    if (width < 0) return 0;
    std::int64_t h = height;
    return SaturatingMul(RowStride(static_cast<std::uint32_t>(width), bitCount),
                         static_cast<std::size_t>(h < 0 ? -h : h));
}

RgbQuad* DibColorTable(DibHeader* header) {
    return reinterpret_cast<RgbQuad*>(reinterpret_cast<std::uint8_t*>(header) + header->biSize);
}

const RgbQuad* DibColorTable(const DibHeader* header) {
    return reinterpret_cast<const RgbQuad*>(reinterpret_cast<const std::uint8_t*>(header) +
                                            header->biSize);
}

std::uint8_t* DibPackedBits(DibHeader* packed) {
    return reinterpret_cast<std::uint8_t*>(packed) + packed->biSize + DibColorTableSize(packed);
}

const std::uint8_t* DibPackedBits(const DibHeader* packed) {
    return reinterpret_cast<const std::uint8_t*>(packed) + packed->biSize +
           DibColorTableSize(packed);
}

std::uint32_t DibGetPixel(const DibHeader* header, const std::uint8_t* bits, int x, int y,
                          int* index) {
    if (!header || !bits || !Inside(header, x, y)) return 0;
    const std::uint8_t* row = bits + RowOffset(header, static_cast<std::uint32_t>(y));
    const auto ux = static_cast<std::size_t>(x);
    int value;
    switch (header->biBitCount) {
        case 1:
            value = (row[ux / 8] >> (7 - ux % 8)) & 1;
            break;
        case 4:
            value = ux % 2 ? row[ux / 2] & 0x0F : row[ux / 2] >> 4;
            break;
        case 8:
            value = row[ux];
            break;
        case 16: {
            unsigned p = row[ux * 2] | (row[ux * 2 + 1] << 8);
            std::uint32_t red = ((p >> 10) & 0x1F) << 3;
            std::uint32_t green = ((p >> 5) & 0x1F) << 3;
            std::uint32_t blue = (p & 0x1F) << 3;
            return red << 16 | green << 8 | blue;
        }
        case 24: {
            const std::uint8_t* p = row + ux * 3;
            return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        }
        case 32: {
            std::uint32_t p;
            std::memcpy(&p, row + ux * 4, 4);
            return p;
        }
        default:
            return 0;
    }
    if (index) *index = value;
    // A pixel may name an entry the table does not have (a short biClrUsed); it
    // shows black rather than whatever follows the table.
    if (static_cast<std::size_t>(value) >= DibColorCount(header)) return 0;
    const RgbQuad& q = DibColorTable(header)[value];
    return std::uint32_t{q.rgbReserved} << 24 | std::uint32_t{q.rgbRed} << 16 |
           std::uint32_t{q.rgbGreen} << 8 | q.rgbBlue;
}

void DibForceOpaque(const DibHeader* header, std::uint8_t* bits, int left, int top, int right,
                    int bottom) {
    if (!header || !bits || header->biBitCount != 32) return;
    const std::int64_t height = DibAbsHeight(header);
    const std::int64_t y0 = std::max<std::int64_t>(top, 0);
    const std::int64_t y1 = std::min<std::int64_t>(bottom, height - 1);
    const std::int64_t x0 = std::max<std::int64_t>(left, 0);
    const std::int64_t x1 = std::min<std::int64_t>(right, std::int64_t{header->biWidth} - 1);
    for (std::int64_t y = y0; y <= y1; ++y)
        for (std::int64_t x = x0; x <= x1; ++x)
            PixelAt(header, bits, static_cast<int>(x), static_cast<int>(y), 4)[3] = 255;
}

void BlendPixel(std::uint8_t* destination, int destinationBytes, const std::uint8_t* source,
                int sourceBytes, int opacity) {
    const int o = opacity;
    if (sourceBytes == 3 && (destinationBytes == 3 || destinationBytes == 4)) {
        for (int c = 0; c < 3; ++c)
            destination[c] =
                static_cast<std::uint8_t>((source[c] * o + destination[c] * (255 - o)) / 255);
        if (destinationBytes == 4) destination[3] = 255;
        return;
    }
    if (sourceBytes != 4) return;
    const int u = source[3] * o / 255;
    if (destinationBytes == 3) {
        for (int c = 0; c < 3; ++c)
            destination[c] =
                static_cast<std::uint8_t>((source[c] * u + destination[c] * (255 - u)) / 255);
    } else if (destinationBytes == 4) {
        const int a = destination[3];
        const int w = a + u - (a * u / 255);
        for (int c = 0; c < 3; ++c) {
            if (w == 0) {
                destination[c] = 0;
            } else {
                const int d = destination[c];
                destination[c] =
                    static_cast<std::uint8_t>((d * a + source[c] * u - (d * a * u / 255)) / w);
            }
        }
        destination[3] = static_cast<std::uint8_t>(w);
    }
}

ImageResult BlendRect(const DibHeader* destinationHeader, std::uint8_t* destinationBits, int dx,
                      int dy, const DibHeader* sourceHeader, const std::uint8_t* sourceBits, int sx,
                      int sy, int width, int height, int opacity) {
    if (!destinationHeader || !destinationBits || !sourceHeader || !sourceBits)
        return ImageInvalidArg;
    const int dBits = destinationHeader->biBitCount;
    const int sBits = sourceHeader->biBitCount;
    if ((dBits != 24 && dBits != 32) || (sBits != 24 && sBits != 32)) return ImageInvalidArg;
    const int dBytes = dBits / 8;
    const int sBytes = sBits / 8;
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            const std::int64_t tx = std::int64_t{dx} + j, ty = std::int64_t{dy} + i;
            const std::int64_t fx = std::int64_t{sx} + j, fy = std::int64_t{sy} + i;
            // Callers keep the rectangle inside both images; a pixel that is not is
            // skipped instead of being written outside the block.
            if (tx < 0 || ty < 0 || fx < 0 || fy < 0 || tx > INT32_MAX || ty > INT32_MAX ||
                fx > INT32_MAX || fy > INT32_MAX)
                continue;
            const int x = static_cast<int>(tx), y = static_cast<int>(ty);
            const int u = static_cast<int>(fx), v = static_cast<int>(fy);
            if (!Inside(destinationHeader, x, y) || !Inside(sourceHeader, u, v)) continue;
            BlendPixel(PixelAt(destinationHeader, destinationBits, x, y, dBytes), dBytes,
                       PixelAt(sourceHeader, const_cast<std::uint8_t*>(sourceBits), u, v, sBytes),
                       sBytes, opacity);
        }
    }
    return ImageOk;
}

ImageResult SplitPackedDib(const DibHeader* packed, std::size_t packedSize, HeaderBlock* outHeader,
                           Block* outBits) {
    if (!packed || !outHeader || !outBits) return ImageInvalidArg;
    outHeader->reset();
    outBits->reset();
    if (packedSize < sizeof(DibHeader)) return ImageBadFormat;
    if (packed->biSize < kBitmapInfoHeaderSize || packed->biWidth == 0 || packed->biHeight == 0 ||
        packed->biPlanes != 1 || !IsSupportedBitCount(packed->biBitCount))
        return ImageBadFormat;
    const std::size_t headerSize = SaturatingAdd(packed->biSize, DibColorTableSize(packed));
    const std::size_t imageSize = DibImageSize(packed);
    if (headerSize > packedSize || imageSize > packedSize - headerSize) return ImageBadFormat;

    HeaderBlock header = AllocateHeaderBlock(headerSize);
    Block bits = AllocateBlock(imageSize);
    if (!header || !bits) return ImageOutOfMemory;
    std::memcpy(header.get(), packed, headerSize);
    std::memcpy(bits.get(), reinterpret_cast<const std::uint8_t*>(packed) + headerSize, imageSize);
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}

void SetDefaultPalette(DibHeader* header, const DibHeader* source) {
    if (!header) return;
    RgbQuad* table = DibColorTable(header);
    // Copies a source's table; entries the source does not have become black.
    auto copyFrom = [&](std::size_t count) {
        std::size_t have = std::min(count, DibColorCount(source));
        std::memcpy(table, DibColorTable(source), have * sizeof(RgbQuad));
        std::memset(table + have, 0, (count - have) * sizeof(RgbQuad));
    };
    switch (header->biBitCount) {
        case 1:
            table[0] = RgbQuad{0, 0, 0, 0};
            table[1] = RgbQuad{255, 255, 255, 0};
            break;
        case 4:
            if (source && source->biBitCount == 4)
                copyFrom(16);
            else
                std::memcpy(table, Fixed16Palette().data(), 16 * sizeof(RgbQuad));
            break;
        case 8:
            if (source && source->biBitCount == 8)
                copyFrom(256);
            else
                std::memcpy(table, HalftonePalette().data(), 256 * sizeof(RgbQuad));
            break;
        default:
            break;
    }
}

ImageResult ReverseRowOrder(const DibHeader* header, std::uint8_t* bits) {
    if (!header || !bits) return ImageInvalidArg;
    const std::size_t stride = DibStride(header);
    const std::uint32_t rows = DibAbsHeight(header);
    Block temp = AllocateBlock(stride);
    if (!temp) return ImageOutOfMemory;
    for (std::uint32_t i = 0; i < rows / 2; ++i) {
        std::uint8_t* a = bits + std::size_t{i} * stride;
        std::uint8_t* b = bits + std::size_t{rows - 1 - i} * stride;
        std::memcpy(temp.get(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, temp.get(), stride);
    }
    return ImageOk;
}

ImageResult CopyDib(const DibHeader* header, const std::uint8_t* bits, HeaderBlock* outHeader,
                    Block* outBits) {
    if (!header || !bits || !outHeader || !outBits) return ImageInvalidArg;
    const std::size_t headerSize = SaturatingAdd(header->biSize, DibColorTableSize(header));
    const std::size_t imageSize = DibImageSize(header);
    HeaderBlock headerCopy;
    Block bitsCopy;
    // No image this system holds is larger than kMaxImageBytes; a header that says
    // otherwise cannot be copied any more than memory could hold it.
    if (headerSize <= kMaxImageBytes && imageSize <= kMaxImageBytes) {
        headerCopy = AllocateHeaderBlock(headerSize);
        bitsCopy = AllocateBlock(imageSize);
    }
    if (!headerCopy || !bitsCopy) return ImageOutOfMemory;
    std::memcpy(headerCopy.get(), header, headerSize);
    std::memcpy(bitsCopy.get(), bits, imageSize);
    *outHeader = std::move(headerCopy);
    *outBits = std::move(bitsCopy);
    return ImageOk;
}
