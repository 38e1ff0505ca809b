#include "ops/empty_bitmap.h"

#include <cstring>

#include "core/dib.h"
#include "core/image_limits.h"

ImageResult MakeEmptyBitmap(std::int32_t width, std::int32_t height, unsigned bitCount,
                            HeaderBlock* outHeader, Block* outBits) {
    if (!outHeader || !outBits) return ImageInvalidArg;
    outHeader->reset();
    outBits->reset();
    if (width < 1 || height < 1 || !IsSupportedBitCount(bitCount)) return ImageInvalidArg;
    // Saturates instead of wrapping, so an impossible size fails here too.
    const std::size_t imageSize = DibImageSizeFor(width, height, bitCount);
    if (imageSize > kMaxImageBytes) return ImageOutOfMemory;

    DibHeader info{};
    info.biSize = kBitmapInfoHeaderSize;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<std::uint16_t>(bitCount);
    info.biCompression = kBiRgb;
    HeaderBlock header = AllocateHeaderBlock(info.biSize + DibColorTableSize(&info));
    if (!header) return ImageOutOfMemory;
    *header = info;
    SetDefaultPalette(header.get());

    Block bits = AllocateBlock(imageSize);
    if (!bits) return ImageOutOfMemory;
    std::memset(bits.get(), 0xFF, imageSize);
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}
