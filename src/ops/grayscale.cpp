#include "ops/grayscale.h"

#include <algorithm>
#include <cstring>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"

int GrayLevel(int red, int green, int blue, int method) {
    switch (method) {
        case kGrayLightness:
            return (std::max({red, green, blue}) + std::min({red, green, blue})) >> 1;
        case kGrayAverage:
            return (red + green + blue) / 3;
        case kGrayLumaTv:
        case kGrayLumaBt709: {
            // Each product is rounded to single precision before the sum (the
            // file is built without contraction into fused multiply-adds), which
            // is what makes some grays come out one lower.
            const bool tv = method == kGrayLumaTv;
            const float r = static_cast<float>(red) * (tv ? 0.299f : 0.2126f);
            const float g = static_cast<float>(green) * (tv ? 0.587f : 0.7152f);
            const float b = static_cast<float>(blue) * (tv ? 0.114f : 0.0722f);
            return static_cast<int>(r + g + b);
        }
        default:
            return 0;
    }
}

namespace {

bool IsPreserved(const GrayscaleChoice& choice, int red, int green, int blue) {
    return choice.preserve && red == RedOf(choice.preserved) &&
           green == GreenOf(choice.preserved) && blue == BlueOf(choice.preserved);
}

std::uint8_t Level(int red, int green, int blue, int method) {
    return static_cast<std::uint8_t>(GrayLevel(red, green, blue, method));
}

void GrayTable(DibHeader* header, const GrayscaleChoice& choice, int method) {
    RgbQuad* table = DibColorTable(header);
    const std::size_t count = DibColorCount(header);
    for (std::size_t i = 0; i < count; ++i) {
        RgbQuad& q = table[i];
        if (IsPreserved(choice, q.rgbRed, q.rgbGreen, q.rgbBlue)) continue;
        const std::uint8_t w = Level(q.rgbRed, q.rgbGreen, q.rgbBlue, method);
        q.rgbRed = q.rgbGreen = q.rgbBlue = w;
    }
}

void GrayRow(std::uint8_t* row, std::uint32_t width, unsigned depth, const GrayscaleChoice& choice,
             int method) {
    if (depth == 16) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = row + std::size_t{x} * 2;
            const unsigned v = p[0] | (unsigned{p[1]} << 8);
            const int red = static_cast<int>((v >> 7) & 0xF8);
            const int green = static_cast<int>((v >> 2) & 0xF8);
            const int blue = static_cast<int>((v << 3) & 0xFF);
            if (IsPreserved(choice, red, green, blue)) continue;
            const unsigned gray =
                static_cast<unsigned>(GrayLevel(red, green, blue, method) / 8) * 1057;
            p[0] = static_cast<std::uint8_t>(gray & 0xFF);
            p[1] = static_cast<std::uint8_t>(gray >> 8);
        }
        return;
    }
    const std::size_t unit = depth / 8;
    for (std::uint32_t x = 0; x < width; ++x) {
        std::uint8_t* p = row + unit * x;
        if (IsPreserved(choice, p[2], p[1], p[0])) continue;
        p[0] = p[1] = p[2] = Level(p[2], p[1], p[0], method);
    }
}

}  // namespace

ImageResult GrayscaleImage(const DibHeader* source, const std::uint8_t* sourceBits,
                           const GrayscaleChoice& choice, HeaderBlock* outHeader, Block* outBits) {
    if (!source || !sourceBits || !outHeader || !outBits) return ImageInvalidArg;
    if (choice.method && (*choice.method < 0 || *choice.method >= kGrayscaleMethodCount))
        return ImageInvalidArg;
    const unsigned depth = source->biBitCount;
    if (!IsSupportedBitCount(depth) || source->biWidth <= 0 || source->biHeight == 0 ||
        source->biSize < kBitmapInfoHeaderSize)
        return ImageInvalidArg;
    if (source->biCompression != kBiRgb) return ImageUnsupported;

    const auto headerSize = CheckedAdd<std::size_t>(source->biSize, DibColorTableSize(source));
    if (!headerSize || *headerSize > kMaxImageBytes) return ImageInvalidArg;
    const std::size_t imageSize = DibImageSize(source);
    if (imageSize > kMaxImageBytes) return ImageOutOfMemory;

    HeaderBlock header = AllocateHeaderBlock(*headerSize);
    Block bits = AllocateImageBlock(imageSize);
    if (!header || !bits) return ImageOutOfMemory;
    std::memcpy(header.get(), source, *headerSize);
    std::memcpy(bits.get(), sourceBits, imageSize);

    if (choice.method) {
        const int method = *choice.method;
        if (depth <= 8) {
            GrayTable(header.get(), choice, method);
        } else {
            const std::size_t stride = DibStride(source);
            const std::uint32_t width = static_cast<std::uint32_t>(source->biWidth);
            const std::uint32_t height = DibAbsHeight(source);
            for (std::uint32_t y = 0; y < height; ++y)
                GrayRow(bits.get() + stride * y, width, depth, choice, method);
        }
    }
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return ImageOk;
}

ColorRef GrayscalePickColor(const DibHeader* header, const std::uint8_t* bits, int x, int y) {
    const std::uint32_t rgb = DibGetPixel(header, bits, x, y);
    return RgbColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                    static_cast<int>(rgb & 0xFF));
}
