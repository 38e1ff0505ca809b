#include "ops/resize_image.h"

#include <algorithm>
#include <cstring>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"

AnchorSpan AnchorPlacement(unsigned anchor, int size, int newSize) {
    const int length = std::min(size, newSize);
    switch (anchor) {
        case 1:
            return {0, 0, length};
        case 2: {
            const int f = (newSize - size) / 2;  // truncated toward zero
            return f >= 0 ? AnchorSpan{f, 0, length} : AnchorSpan{0, -f, length};
        }
        case 3: {
            const int d = newSize - size;
            return d >= 0 ? AnchorSpan{d, 0, length} : AnchorSpan{0, -d, length};
        }
        default:
            return {0, 0, 0};
    }
}

ImageResult ResizeImage(const DibHeader* source, const std::uint8_t* sourceBits, int newWidth,
                        int newHeight, int x, int y, HeaderBlock* outHeader, Block* outBits,
                        std::uint32_t placement, ColorRef fill) {
    if (!source || !sourceBits || !outBits || newWidth <= 0 || newHeight <= 0)
        return ImageInvalidArg;
    if (source->biSize < kBitmapInfoHeaderSize) return ImageInvalidArg;
    const auto sourceImage = RasterImage::Describe(source, sourceBits, DibImageSize(source));
    if (!sourceImage) return ImageNoSurface;

    const auto size =
        CheckedMul(RowStride(static_cast<std::uint32_t>(newWidth), sourceImage->bitCount),
                   static_cast<std::size_t>(newHeight));
    if (!size || *size > kMaxImageBytes) return ImageOutOfMemory;

    const auto headerSize = CheckedAdd<std::size_t>(source->biSize, DibColorTableSize(source));
    if (!headerSize || *headerSize > kMaxImageBytes) return ImageInvalidArg;
    HeaderBlock header = AllocateHeaderBlock(*headerSize);
    if (!header) return ImageOutOfMemory;
    std::memcpy(header.get(), source, *headerSize);
    header->biWidth = newWidth;
    header->biHeight = source->biHeight < 0 ? -newHeight : newHeight;
    header->biSizeImage = 0;

    Block bits = AllocateZeroedBlock(*size);
    if (!bits) return ImageOutOfMemory;
    auto surface = RasterSurface::Over(header.get(), bits.get(), *size);
    if (!surface) return ImageNoSurface;

    const int width = sourceImage->width, height = sourceImage->height;
    if (placement == kPlaceStretch) {
        RasterStretch(*surface, {0, 0, newWidth, newHeight}, *sourceImage, {0, 0, width, height});
    } else {
        RasterFillRect(*surface, {0, 0, newWidth, newHeight}, fill);
        if (placement & kPlaceOffset) {
            RasterCopyRect(*surface, x, y, width, height, *sourceImage, 0, 0);
        } else {
            const AnchorSpan h = AnchorPlacement(placement & 0x0F, width, newWidth);
            const AnchorSpan v = AnchorPlacement((placement >> 4) & 0x0F, height, newHeight);
            RasterCopyRect(*surface, h.destination, v.destination, h.length, v.length, *sourceImage,
                           h.source, v.source);
        }
    }

    if (outHeader) *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}
