#include "ops/convert_bit_depth.h"

#include <cstring>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"

ImageResult ConvertBitDepth(const DibHeader* source, const std::uint8_t* sourceBits,
                            int targetDepth, HeaderBlock* outHeader, Block* outBits,
                            ColorRef background) {
    if (!source || !sourceBits || !outHeader || !outBits || targetDepth < 0 ||
        !IsSupportedBitCount(static_cast<unsigned>(targetDepth)) ||
        targetDepth == source->biBitCount)
        return ImageInvalidArg;
    if (source->biCompression != kBiRgb) return ImageUnsupported;
    const auto sourceImage = RasterImage::Describe(source, sourceBits, DibImageSize(source));
    if (!sourceImage) return ImageInvalidArg;

    const unsigned depth = static_cast<unsigned>(targetDepth);
    const std::size_t tableEntries = depth <= 8 ? std::size_t{1} << depth : 0;
    const auto size = CheckedMul(RowStride(static_cast<std::uint32_t>(sourceImage->width), depth),
                                 static_cast<std::size_t>(sourceImage->height));
    if (!size || *size > kMaxImageBytes) return ImageOutOfMemory;

    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize + 4 * tableEntries);
    if (!header) return ImageOutOfMemory;
    header->biSize = kBitmapInfoHeaderSize;
    header->biWidth = source->biWidth;
    header->biHeight = source->biHeight;
    header->biPlanes = 1;
    header->biBitCount = static_cast<std::uint16_t>(depth);
    header->biCompression = kBiRgb;
    if (depth <= 8) SetDefaultPalette(header.get(), source);

    // The new pixels are the drawing surface itself, zeroed as a new section is.
    Block bits = AllocateZeroedBlock(*size);
    if (!bits) return ImageOutOfMemory;
    auto surface = RasterSurface::Over(header.get(), bits.get(), *size);
    if (!surface) return ImageNoSurface;

    if (source->biBitCount == 32) {
        RasterFillRect(*surface, {0, 0, surface->Width(), surface->Height()}, background);
        RasterCompositeOver(*surface, 0, 0, *sourceImage);
    } else {
        RasterDrawImage(*surface, 0, 0, *sourceImage);
    }
    if (depth == 32) {
        for (std::size_t i = 3; i < *size; i += 4) bits.get()[i] = 0xFF;
    }

    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}
