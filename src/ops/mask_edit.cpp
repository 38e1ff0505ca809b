#include "ops/mask_edit.h"

#include "core/dib.h"
#include "core/image_limits.h"

MaskDibHeader::MaskDibHeader(const DibHeader& picture)
    : header{kBitmapInfoHeaderSize, picture.biWidth, picture.biHeight, 1, 1, kBiRgb, 0, 0, 0, 0, 0},
      table{{0, 0, 0, 0}, {255, 255, 255, 0}} {}

std::size_t MaskBlockSize(const DibHeader* picture) {
    if (!picture || picture->biWidth <= 0 || picture->biHeight == 0) return 0;
    const std::size_t size = DibImageSizeFor(picture->biWidth, picture->biHeight, 1);
    return size > kMaxImageBytes ? 0 : size;
}

Block NewMask(const DibHeader* picture) {
    const std::size_t size = MaskBlockSize(picture);
    return size ? AllocateZeroedBlock(size) : Block();
}

ColorRef SampleColorAt(const DibHeader* picture, const std::uint8_t* bits, int x, int y) {
    if (!picture || !bits) return kInvalidColor;
    const auto image = RasterImage::Describe(picture, bits, DibImageSize(picture));
    return image ? RasterGetPixel(*image, x, y) : kInvalidColor;
}

ImageResult ApplyColorSample(const DibHeader* picture, const std::uint8_t* bits, std::uint8_t* mask,
                             ColorRef color, int mode) {
    if (!picture || !bits || !mask || mode < kSampleReplace || mode > kSampleSubtract)
        return ImageInvalidArg;
    const std::size_t maskSize = MaskBlockSize(picture);
    const auto image = RasterImage::Describe(picture, bits, DibImageSize(picture));
    if (!image || !maskSize) return ImageInvalidArg;

    color &= 0x00FFFFFF;
    const std::size_t maskStride = RowStride(static_cast<std::uint32_t>(image->width), 1);
    for (int y = 0; y < image->height; ++y) {
        // Mask rows are stored in the picture's order.
        const int stored = image->topDown ? y : image->height - 1 - y;
        std::uint8_t* row = mask + maskStride * static_cast<std::size_t>(stored);
        for (int x = 0; x < image->width; ++x) {
            const bool same = RasterGetPixel(*image, x, y) == color;
            std::uint8_t& byte = row[x >> 3];
            const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
            if (same && mode != kSampleSubtract)
                byte = static_cast<std::uint8_t>(byte | bit);
            else if (same || mode == kSampleReplace)
                byte = static_cast<std::uint8_t>(byte & ~bit);
        }
    }
    return ImageOk;
}

ImageResult MaskPenLine(const DibHeader* picture, std::uint8_t* mask, int x0, int y0, int x1,
                        int y1, bool transparent) {
    const std::size_t size = MaskBlockSize(picture);
    if (!mask || !size) return ImageInvalidArg;
    const MaskDibHeader header(*picture);
    auto surface = RasterSurface::Over(&header.header, mask, size);
    if (!surface) return ImageInvalidArg;
    const ColorRef color = transparent ? RgbColor(255, 255, 255) : RgbColor(0, 0, 0);
    // The line leaves its end pixel out; the pen sets it after the line.
    RasterLineTo(*surface, x0, y0, x1, y1, color);
    RasterSetPixel(*surface, x1, y1, color);
    return ImageOk;
}

ImageResult InvertMask(const DibHeader* picture, std::uint8_t* mask) {
    const std::size_t size = MaskBlockSize(picture);
    if (!mask || !size) return ImageInvalidArg;
    for (std::size_t i = 0; i < size; ++i) mask[i] = static_cast<std::uint8_t>(~mask[i]);
    return ImageOk;
}
