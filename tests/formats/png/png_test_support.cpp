#include "formats/png/png_test_support.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include <algorithm>

#include "core/dib.h"
#include "formats/png/png_decoder.h"

PngBuilder::PngBuilder() : data_{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A} {}

Bytes BigEndian32(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

PngBuilder& PngBuilder::Chunk(const std::string& type, const Bytes& data) {
    Bytes body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    Bytes length = BigEndian32(static_cast<std::uint32_t>(data.size()));
    data_.insert(data_.end(), length.begin(), length.end());
    data_.insert(data_.end(), body.begin(), body.end());
    Bytes crc = BigEndian32(
        static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    data_.insert(data_.end(), crc.begin(), crc.end());
    return *this;
}

PngBuilder& PngBuilder::Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colorType,
                             int interlace) {
    Bytes d = BigEndian32(width);
    Bytes h = BigEndian32(height);
    d.insert(d.end(), h.begin(), h.end());
    d.push_back(std::uint8_t(depth));
    d.push_back(std::uint8_t(colorType));
    d.push_back(0);
    d.push_back(0);
    d.push_back(std::uint8_t(interlace));
    return Chunk("IHDR", d);
}

PngBuilder& PngBuilder::Actl(std::uint32_t frames, std::uint32_t plays) {
    Bytes d = BigEndian32(frames);
    Bytes p = BigEndian32(plays);
    d.insert(d.end(), p.begin(), p.end());
    return Chunk("acTL", d);
}

PngBuilder& PngBuilder::Fctl(std::uint32_t sequence, std::uint32_t width, std::uint32_t height,
                             std::uint32_t x, std::uint32_t y, std::uint16_t delayNum,
                             std::uint16_t delayDen, int dispose, int blend) {
    Bytes d;
    for (std::uint32_t v : {sequence, width, height, x, y}) {
        Bytes b = BigEndian32(v);
        d.insert(d.end(), b.begin(), b.end());
    }
    d.push_back(std::uint8_t(delayNum >> 8));
    d.push_back(std::uint8_t(delayNum));
    d.push_back(std::uint8_t(delayDen >> 8));
    d.push_back(std::uint8_t(delayDen));
    d.push_back(std::uint8_t(dispose));
    d.push_back(std::uint8_t(blend));
    return Chunk("fcTL", d);
}

PngBuilder& PngBuilder::Fdat(std::uint32_t sequence, const Bytes& compressed) {
    Bytes d = BigEndian32(sequence);
    d.insert(d.end(), compressed.begin(), compressed.end());
    return Chunk("fdAT", d);
}

Bytes Compress(const Bytes& raw, int level) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

Bytes UnfilteredRows(const std::vector<Bytes>& rows) {
    Bytes raw;
    for (const Bytes& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    return raw;
}

namespace {

struct MemoryReader {
    const Bytes* data;
    std::size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t size) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->offset + size > reader->data->size()) png_error(png, "read past the end");
    std::memcpy(out, reader->data->data() + reader->offset, size);
    reader->offset += size;
}

void ErrorToLongjmp(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}
void IgnoreWarning(png_structp, png_const_charp) {}

// Only plain data lives across setjmp here; the C++ objects are filled after.
bool LibpngDecode(const Bytes& file, ReferenceImage* out, std::string* error, png_bytep* buffer) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, error, ErrorToLongjmp, IgnoreWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    *buffer = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->bitDepth = png_get_bit_depth(png, info);
    out->colorType = png_get_color_type(png, info);
    out->interlace = png_get_interlace_type(png, info);
    png_colorp plte = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &plte, &entries) & PNG_INFO_PLTE) {
        for (int i = 0; i < entries; ++i) {
            out->palette.push_back(plte[i].red);
            out->palette.push_back(plte[i].green);
            out->palette.push_back(plte[i].blue);
        }
    }
    if (out->bitDepth == 16) png_set_strip_16(png);
    if (out->bitDepth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out->channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    *buffer = static_cast<png_bytep>(png_malloc(png, rowBytes * out->height));
    png_bytep* rows = static_cast<png_bytep*>(png_malloc(png, sizeof(png_bytep) * out->height));
    for (std::uint32_t y = 0; y < out->height; ++y) rows[y] = *buffer + y * rowBytes;
    png_read_image(png, rows);
    png_free(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

ReferenceImage DecodeWithLibpng(const Bytes& file) {
    ReferenceImage image;
    std::string error;
    png_bytep buffer = nullptr;
    if (!LibpngDecode(file, &image, &error, &buffer)) {
        image.error = error.empty() ? "libpng failed" : error;
        std::free(buffer);
        return image;
    }
    const std::size_t rowBytes = std::size_t{image.width} * image.channels;
    for (std::uint32_t y = 0; y < image.height; ++y)
        image.rows.emplace_back(buffer + y * rowBytes, buffer + (y + 1) * rowBytes);
    std::free(buffer);  // png_malloc uses malloc by default
    return image;
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void NoFlush(png_structp) {}

bool LibpngEncode(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType,
                  bool interlaced, png_bytep* rows, const png_color* palette, int entries,
                  Bytes* out, std::string* error) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, error, ErrorToLongjmp, IgnoreWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, WriteToVector, NoFlush);
    png_set_IHDR(png, info, width, height, bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, entries);
    png_write_info(png, info);
    if (bitDepth < 8) png_set_packing(png);
    if (interlaced) png_set_interlace_handling(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Bytes EncodeWithLibpng(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType,
                       bool interlaced, const std::vector<Bytes>& samples,
                       const std::vector<std::uint8_t>& palette) {
    std::vector<Bytes> rows = samples;  // libpng wants writable rows
    if (bitDepth == 16) {
        // Samples are given as their high byte; the low byte repeats it.
        for (Bytes& row : rows) {
            Bytes wide;
            for (std::uint8_t s : row) {
                wide.push_back(s);
                wide.push_back(s);
            }
            row = wide;
        }
    }
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) pointers.push_back(row.data());
    std::vector<png_color> entries;
    for (std::size_t i = 0; i + 2 < palette.size(); i += 3)
        entries.push_back(png_color{palette[i], palette[i + 1], palette[i + 2]});
    Bytes out;
    std::string error;
    if (!LibpngEncode(width, height, bitDepth, colorType, interlaced, pointers.data(),
                      entries.data(), static_cast<int>(entries.size()), &out, &error))
        throw std::runtime_error("libpng could not encode: " + error);
    return out;
}

const RgbQuad* ColorTableOf(const DibHeader* header) {
    return reinterpret_cast<const RgbQuad*>(reinterpret_cast<const std::uint8_t*>(header) +
                                            header->biSize);
}

std::uint32_t DibValueAt(const DibHeader* header, const std::uint8_t* bits, int x, int y) {
    const std::uint32_t height = header->biHeight < 0
                                     ? std::uint32_t(-std::int64_t{header->biHeight})
                                     : std::uint32_t(header->biHeight);
    const std::size_t stride =
        RowStride(static_cast<std::uint32_t>(header->biWidth), header->biBitCount);
    const std::uint32_t row =
        header->biHeight > 0 ? height - 1 - std::uint32_t(y) : std::uint32_t(y);
    const std::uint8_t* p = bits + row * stride;
    switch (header->biBitCount) {
        case 1:
            return (p[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4);
        case 8:
            return p[x];
        case 16:
            return p[2 * x] | p[2 * x + 1] << 8;
        case 24:
            return p[3 * x] | p[3 * x + 1] << 8 | p[3 * x + 2] << 16;
        default:
            return p[4 * x] | p[4 * x + 1] << 8 | p[4 * x + 2] << 16 |
                   std::uint32_t(p[4 * x + 3]) << 24;
    }
}

// Checks a decoded DIB against libpng's reading of the same file, through the
// conversion table: bit counts, colour tables, indices and B, G, R, A bytes.
void ExpectMatchesReference(const ReferenceImage& ref, const PngImage& image) {
    const DibHeader* h = image.header.get();
    ASSERT_EQ(h->biSize, 40u);
    ASSERT_EQ(h->biWidth, static_cast<std::int32_t>(ref.width));
    ASSERT_EQ(h->biHeight, static_cast<std::int32_t>(ref.height));
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biClrUsed, 0u);
    const bool indexed = ref.colorType == 0 || ref.colorType == 3;
    unsigned expectedBits = 0;
    if (indexed)
        expectedBits = ref.bitDepth == 1 ? 1 : ref.bitDepth <= 4 ? 4 : 8;
    else
        expectedBits = ref.colorType == 2 ? 24 : 32;
    ASSERT_EQ(h->biBitCount, expectedBits);

    if (indexed) {
        const unsigned entries = 1u << expectedBits;
        const RgbQuad* table = ColorTableOf(h);
        for (unsigned i = 0; i < entries; ++i) {
            std::uint8_t r = 0, g = 0, b = 0;
            if (ref.colorType == 3) {
                if (3 * i + 2 < ref.palette.size()) {
                    r = ref.palette[3 * i];
                    g = ref.palette[3 * i + 1];
                    b = ref.palette[3 * i + 2];
                }
            } else if (i < (1u << std::min(ref.bitDepth, 8))) {
                const unsigned max = (1u << std::min(ref.bitDepth, 8)) - 1;
                r = g = b = static_cast<std::uint8_t>(i * 255 / max);
            }
            ASSERT_EQ(table[i].rgbRed, r) << "entry " << i;
            ASSERT_EQ(table[i].rgbGreen, g) << "entry " << i;
            ASSERT_EQ(table[i].rgbBlue, b) << "entry " << i;
            ASSERT_EQ(table[i].rgbReserved, 0) << "entry " << i;
        }
    }
    for (std::uint32_t y = 0; y < ref.height; ++y) {
        const std::uint8_t* s = ref.rows[y].data();
        for (std::uint32_t x = 0; x < ref.width; ++x, s += ref.channels) {
            std::uint32_t expected = 0;
            switch (ref.colorType) {
                case 0:
                case 3:
                    expected = s[0];
                    break;
                case 2:
                    expected = s[2] | s[1] << 8 | s[0] << 16;
                    break;
                case 4:
                    expected = s[0] | s[0] << 8 | s[0] << 16 | std::uint32_t(s[1]) << 24;
                    break;
                default:
                    expected = s[2] | s[1] << 8 | s[0] << 16 | std::uint32_t(s[3]) << 24;
                    break;
            }
            ASSERT_EQ(DibValueAt(h, image.bits.get(), int(x), int(y)), expected)
                << "pixel " << x << "," << y;
        }
    }
}
