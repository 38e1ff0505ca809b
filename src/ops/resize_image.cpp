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

ImageResult NewResizedDib(const DibHeader* source, const std::uint8_t* sourceBits, int newWidth,
                          int newHeight, ResizedDib* out) {
    if (!source || !sourceBits || !out || newWidth <= 0 || newHeight <= 0) return ImageInvalidArg;
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
    out->source = *sourceImage;
    out->header = std::move(header);
    out->bits = std::move(bits);
    out->size = *size;
    return ImageOk;
}

ImageResult ResizeImage(const DibHeader* source, const std::uint8_t* sourceBits, int newWidth,
                        int newHeight, int x, int y, HeaderBlock* outHeader, Block* outBits,
                        std::uint32_t placement, ColorRef fill) {
    if (!outBits) return ImageInvalidArg;
    ResizedDib dib;
    if (const ImageResult made = NewResizedDib(source, sourceBits, newWidth, newHeight, &dib);
        made != ImageOk)
        return made;
    auto surface = RasterSurface::Over(dib.header.get(), dib.bits.get(), dib.size);
    if (!surface) return ImageNoSurface;
    const RasterImage* sourceImage = &dib.source;

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

    if (outHeader) *outHeader = std::move(dib.header);
    *outBits = std::move(dib.bits);
    return ImageOk;
}
