// Expansion of compressed BMP pixel data (run-length and bit fields) into the
// uncompressed rows an item holds.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "core/image_limits.h"

namespace {

// Draws BI_RLE8 or BI_RLE4 data into zero-filled bottom-up rows. Pixels beyond the
// right edge are dropped (a run never wraps to the next row) and decoding stops at
// the top of the picture, at end-of-bitmap or where the data ends.
void DecodeRunLength(const std::uint8_t* data, std::size_t size, bool fourBit, std::uint32_t width,
                     std::uint32_t height, std::size_t stride, std::uint8_t* out) {
    std::size_t pos = 0;
    std::uint32_t x = 0, y = 0;
    auto advance = [&](std::uint32_t count) {
        x = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{x} + count, width));
    };
    auto put = [&](std::uint8_t value) {
        if (x >= width) return;
        std::uint8_t* row = out + std::size_t{y} * stride;
        if (fourBit) {
            std::uint8_t& b = row[x / 2];
            b = x % 2 ? static_cast<std::uint8_t>((b & 0xF0) | value)
                      : static_cast<std::uint8_t>((b & 0x0F) | value << 4);
        } else {
            row[x] = value;
        }
        ++x;
    };

    while (y < height && size - pos >= 2) {
        const std::uint8_t count = data[pos];
        const std::uint8_t code = data[pos + 1];
        pos += 2;
        if (count != 0) {
            // Encoded run: one value (8 bits) or two alternating nibbles (4 bits).
            const std::uint32_t drawn = std::min<std::uint32_t>(count, width - x);
            for (std::uint32_t i = 0; i < drawn; ++i)
                put(fourBit ? (i % 2 ? code & 0x0F : code >> 4) : code);
            advance(count - drawn);
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                ++y;
                break;
            case 1:  // end of bitmap
                return;
            case 2: {  // delta: move right and up
                if (size - pos < 2) return;
                advance(data[pos]);
                y += data[pos + 1];
                pos += 2;
                break;
            }
            default: {  // absolute run of `code` pixels, padded to a 16-bit boundary
                const std::size_t bytes = fourBit ? (code + 1u) / 2 : code;
                const std::size_t available = std::min(bytes, size - pos);
                for (std::uint32_t i = 0; i < code; ++i) {
                    const std::size_t at = fourBit ? i / 2 : i;
                    if (at >= available) return;
                    const std::uint8_t b = data[pos + at];
                    put(fourBit ? (i % 2 ? b & 0x0F : b >> 4) : b);
                    if (x >= width) {
                        advance(code - i - 1);
                        break;
                    }
                }
                const std::size_t padded = bytes + (bytes & 1);
                if (size - pos < padded) return;
                pos += padded;
                break;
            }
        }
    }
}

// One colour channel of a bit-field image: its mask and how to scale it to 8 bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask),
          shift_(mask ? std::countr_zero(mask) : 0),
          bits_(std::popcount(mask)),
          contiguous_(mask == 0 || std::has_single_bit(std::uint64_t{mask >> shift_} + 1)),
          max_(bits_ == 0 ? 0 : (std::uint64_t{1} << bits_) - 1) {}

    bool Present() const { return bits_ != 0; }

    // The channel's value in a pixel, scaled to 0-255 with rounding.
    std::uint8_t Scale(std::uint32_t pixel) const {
        if (bits_ == 0) return 0;
        std::uint64_t value;
        if (contiguous_) {
            value = (pixel & mask_) >> shift_;
        } else {
            // Gather the mask's bits, lowest first, into a bits_-wide value.
            value = 0;
            int out = 0;
            for (std::uint32_t m = mask_; m != 0; m &= m - 1, ++out)
                if (pixel & (m & -m)) value |= std::uint64_t{1} << out;
        }
        if (bits_ == 8) return static_cast<std::uint8_t>(value);
        return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_;
    int shift_;
    int bits_;
    bool contiguous_;
    std::uint64_t max_;
};

std::uint32_t MaskAt(const DibHeader* header, std::size_t offset) {
    std::uint32_t mask;
    std::memcpy(&mask, reinterpret_cast<const std::uint8_t*>(header) + offset, 4);
    return mask;
}

// Converts bit-field pixels to 5-5-5 (16 bits) or BGRA (32 bits), keeping the row
// order and the stride (both depths keep their pixel size). A pixel not wholly
// within `size` bytes, and every one after it, is 0.
void DecodeBitfields(const DibHeader* header, const std::uint8_t* data, std::size_t size,
                     std::uint8_t* out) {
    const bool hasAlphaMask =
        header->biCompression == kBiAlphaBitfields || header->biSize >= kBitmapInfoHeaderSize + 16;
    const Channel red(MaskAt(header, 40)), green(MaskAt(header, 44)), blue(MaskAt(header, 48));
    const Channel alpha(hasAlphaMask ? MaskAt(header, 52) : 0);
    const std::size_t stride = DibStride(header);
    const std::uint32_t rows = DibAbsHeight(header);
    const auto width = static_cast<std::uint32_t>(header->biWidth);
    const std::size_t bytes = header->biBitCount / 8;
    for (std::uint32_t r = 0; r < rows; ++r) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = std::size_t{r} * stride + std::size_t{x} * bytes;
            // Pixels past the data stay zero, which is what a zero pixel converts to.
            if (at + bytes > size) return;
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, data + at, bytes);
            if (bytes == 2) {
                const unsigned v = (red.Scale(pixel) >> 3) << 10 | (green.Scale(pixel) >> 3) << 5 |
                                   blue.Scale(pixel) >> 3;
                out[at] = static_cast<std::uint8_t>(v);
                out[at + 1] = static_cast<std::uint8_t>(v >> 8);
            } else {
                out[at] = blue.Scale(pixel);
                out[at + 1] = green.Scale(pixel);
                out[at + 2] = red.Scale(pixel);
                out[at + 3] = alpha.Scale(pixel);
            }
        }
    }
}

bool CanExpand(const DibHeader* h) {
    if (h->biWidth <= 0 || h->biHeight == 0 || !IsSupportedBitCount(h->biBitCount)) return false;
    switch (h->biCompression) {
        case kBiRle8:
            return h->biBitCount == 8 && h->biHeight > 0;
        case kBiRle4:
            return h->biBitCount == 4 && h->biHeight > 0;
        case kBiBitfields:
        case kBiAlphaBitfields:
            return h->biBitCount == 16 || h->biBitCount == 32;
        default:
            return false;
    }
}

}  // namespace

ImageResult ExpandCompressedDib(HeaderBlock* header, Block* bits, std::size_t bitsSize) {
    if (!header || !*header || !bits) return ImageInvalidArg;
    const DibHeader* in = header->get();
    if (in->biCompression == kBiRgb) return ImageOk;

    auto fail = [&](ImageResult result) {
        header->reset();
        bits->reset();
        return result;
    };
    if (!CanExpand(in)) return fail(ImageUnsupported);

    const std::size_t imageSize = DibImageSize(in);
    const std::size_t tableSize = DibColorTableSize(in);
    if (imageSize > kMaxImageBytes || tableSize > kMaxImageBytes) return fail(ImageOutOfMemory);
    HeaderBlock outHeader = AllocateHeaderBlock(in->biSize + tableSize);
    Block outBits = AllocateZeroedBlock(imageSize);
    if (!outHeader || !outBits) return fail(ImageOutOfMemory);

    // The masks a 40-byte bit-field header keeps before its table are not copied.
    const auto* inBytes = reinterpret_cast<const std::uint8_t*>(in);
    std::memcpy(outHeader.get(), in, in->biSize);
    std::memcpy(reinterpret_cast<std::uint8_t*>(outHeader.get()) + in->biSize,
                inBytes + in->biSize + BitfieldMaskBytesAfterHeader(in), tableSize);
    outHeader->biCompression = kBiRgb;
    outHeader->biSizeImage = 0;
    outHeader->biPlanes = 1;

    const std::uint8_t* data = bits->get();
    if (!data) bitsSize = 0;
    if (in->biCompression == kBiRle8 || in->biCompression == kBiRle4)
        DecodeRunLength(data, bitsSize, in->biCompression == kBiRle4,
                        static_cast<std::uint32_t>(in->biWidth), DibAbsHeight(in), DibStride(in),
                        outBits.get());
    else
        DecodeBitfields(in, data, bitsSize, outBits.get());

    *header = std::move(outHeader);
    *bits = std::move(outBits);
    return ImageOk;
}
