#include "ops/rotate_flip.h"

#include <cstring>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"

PixelPosition RotateFlipPosition(int operation, int width, int height, int x, int y) {
    switch (operation) {
        case kRotate180:
            return {width - 1 - x, height - 1 - y};
        case kRotateClockwise:
            return {height - 1 - y, x};
        case kRotateCounterClockwise:
            return {y, width - 1 - x};
        case kFlipVertical:
            return {x, height - 1 - y};
        default:
            return {width - 1 - x, y};
    }
}

namespace {

// The stored row of picture row y.
std::size_t RowOffset(bool topDown, std::size_t stride, std::uint32_t height, std::uint32_t y) {
    return stride * (topDown ? y : height - 1 - y);
}

}  // namespace

ImageResult RotateFlipImage(const DibHeader* source, const std::uint8_t* sourceBits,
                            HeaderBlock* outHeader, Block* outBits, int operation) {
    if (!source || !sourceBits || !outBits || operation < kRotate180 || operation > kFlipHorizontal)
        return ImageInvalidArg;
    if (source->biCompression != kBiRgb) return ImageUnsupported;
    const unsigned depth = source->biBitCount;
    if (!IsSupportedBitCount(depth) || source->biWidth <= 0 || source->biHeight == 0 ||
        source->biSize < kBitmapInfoHeaderSize)
        return ImageInvalidArg;

    const std::uint32_t width = static_cast<std::uint32_t>(source->biWidth);
    const std::uint32_t height = DibAbsHeight(source);
    if (height > static_cast<std::uint32_t>(INT32_MAX)) return ImageInvalidArg;
    const bool quarter = operation == kRotateClockwise || operation == kRotateCounterClockwise;
    const std::uint32_t newWidth = quarter ? height : width;
    const std::uint32_t newHeight = quarter ? width : height;
    const std::size_t stride = RowStride(width, depth);
    const std::size_t newStride = RowStride(newWidth, depth);
    const auto newSize = CheckedMul(newStride, std::size_t{newHeight});
    if (!newSize || *newSize > kMaxImageBytes) return ImageOutOfMemory;

    const auto headerSize = CheckedAdd<std::size_t>(source->biSize, DibColorTableSize(source));
    if (!headerSize || *headerSize > kMaxImageBytes) return ImageInvalidArg;
    HeaderBlock header = AllocateHeaderBlock(*headerSize);
    if (!header) return ImageOutOfMemory;
    std::memcpy(header.get(), source, *headerSize);
    header->biWidth = static_cast<std::int32_t>(newWidth);
    header->biHeight = source->biHeight < 0 ? -static_cast<std::int32_t>(newHeight)
                                            : static_cast<std::int32_t>(newHeight);
    header->biSizeImage = 0;

    Block bits = AllocateZeroedBlock(*newSize);
    if (!bits) return ImageOutOfMemory;

    const bool topDown = source->biHeight < 0;
    const std::size_t unit = depth / 8;
    std::uint8_t* out = bits.get();
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = sourceBits + RowOffset(topDown, stride, height, y);
        for (std::uint32_t x = 0; x < width; ++x) {
            const PixelPosition p =
                RotateFlipPosition(operation, static_cast<int>(width), static_cast<int>(height),
                                   static_cast<int>(x), static_cast<int>(y));
            const std::uint32_t nx = static_cast<std::uint32_t>(p.x);
            std::uint8_t* newRow =
                out + RowOffset(topDown, newStride, newHeight, static_cast<std::uint32_t>(p.y));
            if (unit) {
                std::memcpy(newRow + unit * nx, row + unit * x, unit);
            } else if (depth == 4) {
                const unsigned v = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
                std::uint8_t& b = newRow[nx >> 1];
                b = (nx & 1) ? static_cast<std::uint8_t>((b & 0xF0) | v)
                             : static_cast<std::uint8_t>((b & 0x0F) | (v << 4));
            } else {
                const unsigned v = (row[x >> 3] >> (7 - (x & 7))) & 1;
                const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (nx & 7));
                std::uint8_t& b = newRow[nx >> 3];
                b = v ? static_cast<std::uint8_t>(b | mask) : static_cast<std::uint8_t>(b & ~mask);
            }
        }
    }

    if (outHeader) *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}
