#include "ops/alpha_compositing.h"

#include <cstring>

#include "core/dib.h"
#include "core/image_limits.h"

namespace {

ImageResult CheckImage(const DibHeader* header, const std::uint8_t* work) {
    if (!header || !work || header->biBitCount != 32 || header->biWidth <= 0 ||
        header->biHeight == 0 || header->biSize < kBitmapInfoHeaderSize)
        return ImageInvalidArg;
    if (header->biCompression != kBiRgb) return ImageUnsupported;
    if (DibImageSize(header) > kMaxImageBytes) return ImageInvalidArg;
    return ImageOk;
}

}  // namespace

ImageResult ApplyAlphaOption(const DibHeader* header, const std::uint8_t* source,
                             const std::uint8_t* mask, std::uint8_t* work, int option, int value) {
    if (const ImageResult result = CheckImage(header, work); result != ImageOk) return result;
    if (option < 0 || option >= kAlphaOptionCount || value < 0 || value > 255)
        return ImageInvalidArg;
    const bool needsSource = option == kAlphaOriginal || option == kAlphaPremultiplied;
    if ((needsSource && !source) || (option == kAlphaBaseOnMask && !mask)) return ImageInvalidArg;

    const std::size_t stride = DibStride(header);
    const std::size_t maskStride = RowStride(static_cast<std::uint32_t>(header->biWidth), 1);
    const std::uint32_t width = static_cast<std::uint32_t>(header->biWidth);
    const std::uint32_t height = DibAbsHeight(header);
    if (needsSource) std::memcpy(work, source, stride * height);
    if (option == kAlphaOriginal || option == kAlphaPencil) return ImageOk;

    // The mask's rows are stored in the picture's order, so stored row y of one is
    // stored row y of the other.
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = work + stride * y;
        const std::uint8_t* maskRow = mask ? mask + maskStride * y : nullptr;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = row + std::size_t{x} * 4;
            switch (option) {
                case kAlphaFlatValue:
                    p[3] = static_cast<std::uint8_t>(value);
                    break;
                case kAlphaPremultiplied:
                    if (p[3] != 255)
                        for (int c = 0; c < 3; ++c)
                            p[c] = static_cast<std::uint8_t>(p[c] * p[3] / 255);
                    break;
                default: {
                    const bool transparent = (maskRow[x >> 3] >> (7 - (x & 7))) & 1;
                    p[3] = transparent ? 0 : 255;
                }
            }
        }
    }
    return ImageOk;
}

bool AlphaPencilPoint(const DibHeader* header, std::uint8_t* work, int x, int y, int value) {
    if (CheckImage(header, work) != ImageOk || value < 0 || value > 255) return false;
    const std::uint32_t height = DibAbsHeight(header);
    if (x < 0 || y < 0 || x >= header->biWidth || static_cast<std::uint32_t>(y) >= height)
        return false;
    const std::uint32_t row = header->biHeight < 0 ? static_cast<std::uint32_t>(y)
                                                   : height - 1 - static_cast<std::uint32_t>(y);
    work[DibStride(header) * row + std::size_t{static_cast<std::uint32_t>(x)} * 4 + 3] =
        static_cast<std::uint8_t>(value);
    return true;
}
