#include "formats/png/png_encoder.h"

#include <zlib.h>

#include <cstring>

#include "core/checked_math.h"
#include "core/dib.h"
#include "formats/png/png_common.h"
#include "formats/png/png_filter.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

namespace {

constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;  // the PNG standard's limit

// How the DIB pixels become PNG samples.
enum class SampleFormat {
    Indices,        // 1, 4, 8 bits: indices copied
    GrayFromIndex,  // 1, 4, 8 bits: the entry's gray at the same depth
    Rgb,            // 16 or 24 bits
    Gray,           // 16 or 24 bits to 8-bit gray
    Rgba,           // 32 bits
    GrayAlpha,      // 32 bits
};

struct StreamLayout {
    PngHeaderInfo header;
    SampleFormat format;
    unsigned dibBitCount;
    unsigned paletteEntries;  // PLTE entries, 0 without PLTE
};

std::uint32_t AbsHeight(std::int32_t height) {
    return height < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height))
                      : static_cast<std::uint32_t>(height);
}

// The colour table of a DIB header and its number of usable entries (at most 256).
const RgbQuad* ColorTable(const DibHeader* header) {
    return reinterpret_cast<const RgbQuad*>(reinterpret_cast<const std::uint8_t*>(header) +
                                            header->biSize);
}
unsigned ColorCount(const DibHeader* header) {
    if (header->biClrUsed != 0) return header->biClrUsed > 256 ? 256 : header->biClrUsed;
    return header->biBitCount <= 8 ? 1u << header->biBitCount : 0;
}

PngResult LayoutFor(const DibHeader* dib, const PngSaveOptions& options, StreamLayout* out) {
    if (dib->biSize < kBitmapInfoHeaderSize) return PngBadFormat;
    if (dib->biCompression != kBiRgb && dib->biCompression != kBiBitfields) return PngBadFormat;
    const unsigned bits = dib->biBitCount;
    const bool gray = options.grayscale;
    StreamLayout layout{};
    layout.dibBitCount = bits;
    PngHeaderInfo& h = layout.header;
    switch (bits) {
        case 1:
        case 4:
        case 8:
            h.bitDepth = static_cast<std::uint8_t>(bits);
            h.colorType = gray ? PngColorGray : PngColorPalette;
            layout.format = gray ? SampleFormat::GrayFromIndex : SampleFormat::Indices;
            // As many entries as the depth can index: 2, 16 or 256.
            layout.paletteEntries = gray ? 0 : 1u << bits;
            break;
        case 16:
        case 24:
            h.bitDepth = 8;
            h.colorType = gray ? PngColorGray : PngColorRgb;
            layout.format = gray ? SampleFormat::Gray : SampleFormat::Rgb;
            break;
        case 32:
            h.bitDepth = 8;
            h.colorType = gray ? PngColorGrayAlpha : PngColorRgba;
            layout.format = gray ? SampleFormat::GrayAlpha : SampleFormat::Rgba;
            break;
        default:
            return PngBadFormat;
    }
    if (options.interlaced && (bits == 1 || bits == 4)) return PngBadFormat;
    h.width = static_cast<std::uint32_t>(dib->biWidth);
    h.height = AbsHeight(dib->biHeight);
    h.interlaceMethod = options.interlaced ? 1 : 0;
    if (dib->biWidth <= 0 || ValidatePngHeader(h) != PngOk) return PngBadFormat;
    *out = layout;
    return PngOk;
}

int ZlibLevel(int compression) {
    switch (compression) {
        case PngCompressionNone:
            return 0;
        case PngCompressionFast:
            return 1;
        case PngCompressionBest:
            return 9;
        default:
            return Z_DEFAULT_COMPRESSION;
    }
}

std::uint8_t Average3(unsigned a, unsigned b, unsigned c) {
    return static_cast<std::uint8_t>((a + b + c) / 3);
}

// Gray samples of every colour-table index of an indexed image, at its depth.
void BuildGrayTable(const DibHeader* dib, std::uint8_t table[256]) {
    const RgbQuad* colors = ColorTable(dib);
    const unsigned count = ColorCount(dib);
    const unsigned depth = dib->biBitCount;
    const unsigned maxSample = (1u << depth) - 1;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned avg = 0;
        if (i < count) avg = Average3(colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed);
        // round(avg * maxSample / 255); never exactly half-way for these depths.
        table[i] = static_cast<std::uint8_t>(depth == 8 ? avg : (2 * avg * maxSample + 255) / 510);
    }
}

// Writes `count` samples of the pass row whose pixels are at columns x0, x0 +
// dx, ... of `dibRow` into `out` (rowBytes long, zeroed for sub-byte depths).
void ConvertRow(const StreamLayout& layout, const std::uint8_t* dibRow, std::uint32_t x0,
                std::uint32_t dx, std::uint32_t count, const std::uint8_t grayTable[256],
                std::uint8_t* out) {
    const unsigned bits = layout.dibBitCount;
    switch (layout.format) {
        case SampleFormat::Indices:
            if (bits < 8) {  // never interlaced: a straight copy of the packed indices
                std::memcpy(out, dibRow, (std::size_t{count} * bits + 7) / 8);
            } else {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) out[i] = dibRow[x];
            }
            break;
        case SampleFormat::GrayFromIndex:
            if (bits == 8) {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx)
                    out[i] = grayTable[dibRow[x]];
            } else if (bits == 4) {
                for (std::uint32_t i = 0; i < count; ++i) {
                    const unsigned index = (i & 1) ? dibRow[i >> 1] & 0x0F : dibRow[i >> 1] >> 4;
                    const unsigned sample = grayTable[index];
                    out[i >> 1] =
                        static_cast<std::uint8_t>(out[i >> 1] | ((i & 1) ? sample : sample << 4));
                }
            } else {
                for (std::uint32_t i = 0; i < count; ++i) {
                    const unsigned index = (dibRow[i >> 3] >> (7 - (i & 7))) & 1u;
                    out[i >> 3] = static_cast<std::uint8_t>(out[i >> 3] |
                                                            (grayTable[index] << (7 - (i & 7))));
                }
            }
            break;
        case SampleFormat::Rgb:
            if (bits == 24) {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                    const std::uint8_t* p = dibRow + 3 * std::size_t{x};
                    out[3 * i] = p[2];
                    out[3 * i + 1] = p[1];
                    out[3 * i + 2] = p[0];
                }
            } else {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                    const unsigned v = dibRow[2 * std::size_t{x}] | dibRow[2 * std::size_t{x} + 1]
                                                                        << 8;
                    out[3 * i] = static_cast<std::uint8_t>(((v >> 10) & 31) << 3);
                    out[3 * i + 1] = static_cast<std::uint8_t>(((v >> 5) & 31) << 3);
                    out[3 * i + 2] = static_cast<std::uint8_t>((v & 31) << 3);
                }
            }
            break;
        case SampleFormat::Gray:
            if (bits == 24) {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                    const std::uint8_t* p = dibRow + 3 * std::size_t{x};
                    out[i] = Average3(p[0], p[1], p[2]);
                }
            } else {
                for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                    const unsigned v = dibRow[2 * std::size_t{x}] | dibRow[2 * std::size_t{x} + 1]
                                                                        << 8;
                    out[i] = Average3(((v >> 10) & 31) << 3, ((v >> 5) & 31) << 3, (v & 31) << 3);
                }
            }
            break;
        case SampleFormat::Rgba:
            for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                std::uint32_t p;
                std::memcpy(&p, dibRow + 4 * std::size_t{x}, 4);
                p = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
                std::memcpy(out + 4 * std::size_t{i}, &p, 4);
            }
            break;
        case SampleFormat::GrayAlpha:
            for (std::uint32_t i = 0, x = x0; i < count; ++i, x += dx) {
                const std::uint8_t* p = dibRow + 4 * std::size_t{x};
                out[2 * i] = Average3(p[0], p[1], p[2]);
                out[2 * i + 1] = p[3];
            }
            break;
    }
}

// Deflates `raw` into one zlib stream, fed and drained in windows.
PngResult Deflate(const std::uint8_t* raw, std::size_t rawSize, int level, Block* out,
                  std::size_t* outSize) {
    z_stream z{};
    int rc = deflateInit(&z, level);
    if (rc == Z_MEM_ERROR) return PngOutOfMemory;
    if (rc != Z_OK) return PngFailed;
    struct End {
        z_stream* z;
        ~End() { deflateEnd(z); }
    } end{&z};

    std::size_t capacity = rawSize;
    Block buffer = AllocateBlock(capacity);
    if (!buffer) return PngOutOfMemory;
    std::size_t used = 0;
    std::size_t fed = 0;
    for (;;) {
        if (z.avail_in == 0 && fed < rawSize) {
            const std::size_t piece =
                rawSize - fed > kPngStreamWindow ? kPngStreamWindow : rawSize - fed;
            z.next_in = const_cast<Bytef*>(raw + fed);
            z.avail_in = static_cast<uInt>(piece);
            fed += piece;
        }
        if (used == capacity) {
            // Incompressible data outgrows its raw size by a few bytes per block.
            auto grown = CheckedAdd<std::size_t>(capacity, kPngStreamWindow);
            if (!grown) return PngOutOfMemory;
            void* bigger = std::realloc(buffer.get(), *grown);
            if (!bigger) return PngOutOfMemory;
            (void)buffer.release();
            buffer.reset(static_cast<std::uint8_t*>(bigger));
            capacity = *grown;
        }
        const std::size_t window =
            capacity - used > kPngStreamWindow ? kPngStreamWindow : capacity - used;
        z.next_out = buffer.get() + used;
        z.avail_out = static_cast<uInt>(window);
        const int flush = fed == rawSize ? Z_FINISH : Z_NO_FLUSH;
        rc = deflate(&z, flush);
        used += window - z.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) return PngFailed;
        if (rc == Z_BUF_ERROR && z.avail_in == 0 && fed == rawSize) return PngFailed;
    }
    *out = std::move(buffer);
    *outSize = used;
    return PngOk;
}

// The stream under construction: one block grown by exactly what is appended.
class StreamWriter {
public:
    bool Reserve(std::size_t more) {
        auto size = CheckedAdd<std::size_t>(capacity_, more);
        if (!size) return false;
        void* bigger = std::realloc(block_.get(), *size ? *size : 1);
        if (!bigger) return false;
        (void)block_.release();
        block_.reset(static_cast<std::uint8_t*>(bigger));
        capacity_ = *size;
        return true;
    }
    void Append(const void* data, std::size_t size) {
        std::memcpy(block_.get() + size_, data, size);
        size_ += size;
    }
    // A whole chunk; `prefix` (4 bytes or null) goes before the data.
    void Chunk(const char (&type)[5], const std::uint8_t* prefix, const std::uint8_t* data,
               std::size_t length) {
        const std::size_t total = length + (prefix ? 4 : 0);
        std::uint8_t head[8];
        WriteBigEndian32(head, static_cast<std::uint32_t>(total));
        std::memcpy(head + 4, type, 4);
        Append(head, 8);
        const std::size_t typeAt = size_ - 4;
        if (prefix) Append(prefix, 4);
        if (length) Append(data, length);
        std::uint8_t crc[4];
        WriteBigEndian32(crc, PngChunkCrc(block_.get() + typeAt, total));
        Append(crc, 4);
    }
    Block Take(std::size_t* size) {
        *size = size_;
        return std::move(block_);
    }

private:
    Block block_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// Converts and filters one image into its raw rows, ready for deflate.
PngResult BuildRawFrame(const StreamLayout& layout, const tagPNG_IMAGE_INFO& image,
                        const PngHeaderInfo& frame, int filter, Block* outRaw,
                        std::size_t* outRawSize) {
    const DibHeader* dib = image.header;
    std::uint64_t rawSize64 = 0;
    if (!PngRawSize(frame, &rawSize64) || rawSize64 > SIZE_MAX) return PngOutOfMemory;
    const auto rawSize = static_cast<std::size_t>(rawSize64);
    Block raw = AllocateZeroedBlock(rawSize);
    if (!raw) return PngOutOfMemory;

    std::uint8_t grayTable[256] = {};
    if (layout.format == SampleFormat::GrayFromIndex) BuildGrayTable(dib, grayTable);
    const std::size_t stride = RowStride(frame.width, layout.dibBitCount);
    const bool bottomUp = dib->biHeight > 0;
    const unsigned bitsPerPixel = PngBitsPerPixel(frame);
    const unsigned bpp = PngFilterBytesPerPixel(frame);

    std::uint8_t* passStart = raw.get();
    for (int p = 0; p < PngPassCount(frame); ++p) {
        const Adam7Pass pass = PngPass(frame, p);
        const std::uint32_t passWidth = Adam7PassExtent(frame.width, pass.x0, pass.dx);
        const std::uint32_t passHeight = Adam7PassExtent(frame.height, pass.y0, pass.dy);
        if (passWidth == 0 || passHeight == 0) continue;
        const std::size_t rowBytes = static_cast<std::size_t>(PngRowBytes(passWidth, bitsPerPixel));
        const std::size_t rowLength = rowBytes + 1;
        for (std::uint32_t y = 0; y < passHeight; ++y) {
            const std::uint32_t imageRow = pass.y0 + y * std::uint32_t{pass.dy};
            const std::uint32_t dibRow = bottomUp ? frame.height - 1 - imageRow : imageRow;
            ConvertRow(layout, image.bits + std::size_t{dibRow} * stride, pass.x0, pass.dx,
                       passWidth, grayTable, passStart + y * rowLength + 1);
        }
        // Last row first, so that each row's predictors read unfiltered bytes.
        for (std::uint32_t y = passHeight; y-- > 0;) {
            std::uint8_t* row = passStart + y * rowLength;
            const std::uint8_t* above = y > 0 ? row - rowLength + 1 : nullptr;
            const std::uint8_t type = filter == PngFilterOptionBest
                                          ? ChooseFilterEstimate(row + 1, rowBytes, bpp)
                                          : static_cast<std::uint8_t>(filter);
            FilterRowInPlace(type, row + 1, above, rowBytes, bpp);
            row[0] = type;
        }
        passStart += std::size_t{passHeight} * rowLength;
    }
    *outRaw = std::move(raw);
    *outRawSize = rawSize;
    return PngOk;
}

}  // namespace

PngResult EncodePng(Block* outBuffer, std::size_t* outSize, const tagPNG_IMAGE_INFO* images,
                    std::size_t imageCount, const tagPNG_FRAME_CONTROL_INFO* frameControls,
                    bool firstFrameExcluded, std::uint32_t numPlays,
                    const PngSaveOptions& options) {
    if (!outBuffer || !outSize || !images || imageCount == 0) return PngInvalidArg;
    for (std::size_t i = 0; i < imageCount; ++i)
        if (!images[i].header || !images[i].bits) return PngInvalidArg;
    if (imageCount > 0xFFFFFFFFu / 2) return PngFailed;  // sequence numbers would overflow

    const int filter =
        options.filter >= PngFilterOptionNone && options.filter <= PngFilterOptionBest
            ? options.filter
            : PngFilterOptionPaeth;
    const int level = ZlibLevel(options.compression);

    StreamLayout layout;
    if (PngResult rc = LayoutFor(images[0].header, options, &layout); rc != PngOk) return rc;
    const bool animation = imageCount > 1 || !firstFrameExcluded;

    StreamWriter out;
    std::size_t fixedSize = sizeof kPngSignature + kPngChunkOverhead + 13 + kPngChunkOverhead;
    if (layout.paletteEntries) fixedSize += kPngChunkOverhead + 3 * layout.paletteEntries;
    if (animation) fixedSize += kPngChunkOverhead + 8;
    if (!out.Reserve(fixedSize)) return PngOutOfMemory;

    out.Append(kPngSignature, sizeof kPngSignature);
    std::uint8_t ihdr[13];
    WriteBigEndian32(ihdr, layout.header.width);
    WriteBigEndian32(ihdr + 4, layout.header.height);
    ihdr[8] = layout.header.bitDepth;
    ihdr[9] = layout.header.colorType;
    ihdr[10] = ihdr[11] = 0;
    ihdr[12] = layout.header.interlaceMethod;
    out.Chunk("IHDR", nullptr, ihdr, sizeof ihdr);
    if (layout.paletteEntries) {
        std::uint8_t plte[3 * 256] = {};
        const RgbQuad* colors = ColorTable(images[0].header);
        const unsigned count = ColorCount(images[0].header);
        for (unsigned k = 0; k < layout.paletteEntries && k < count; ++k) {
            plte[3 * k] = colors[k].rgbRed;
            plte[3 * k + 1] = colors[k].rgbGreen;
            plte[3 * k + 2] = colors[k].rgbBlue;
        }
        out.Chunk("PLTE", nullptr, plte, 3 * std::size_t{layout.paletteEntries});
    }
    if (animation) {
        std::uint8_t actl[8];
        WriteBigEndian32(actl,
                         static_cast<std::uint32_t>(imageCount - (firstFrameExcluded ? 1 : 0)));
        WriteBigEndian32(actl + 4, numPlays);
        out.Chunk("acTL", nullptr, actl, sizeof actl);
    }

    std::uint32_t sequence = 0;
    for (std::size_t i = 0; i < imageCount; ++i) {
        const DibHeader* dib = images[i].header;
        StreamLayout frameLayout;
        if (PngResult rc = LayoutFor(dib, options, &frameLayout); rc != PngOk) return rc;
        if (frameLayout.dibBitCount != layout.dibBitCount) return PngBadFormat;
        PngHeaderInfo frame = layout.header;
        frame.width = frameLayout.header.width;
        frame.height = frameLayout.header.height;

        Block raw;
        std::size_t rawSize = 0;
        if (PngResult rc = BuildRawFrame(layout, images[i], frame, filter, &raw, &rawSize);
            rc != PngOk)
            return rc;
        Block compressed;
        std::size_t compressedSize = 0;
        if (PngResult rc = Deflate(raw.get(), rawSize, level, &compressed, &compressedSize);
            rc != PngOk)
            return rc;
        raw.reset();

        const bool fdat = i > 0;
        if (compressedSize > kMaxChunkLength - (fdat ? 4 : 0)) return PngFailed;
        const bool fctl = animation && !(i == 0 && firstFrameExcluded);
        std::size_t frameBytes = kPngChunkOverhead + compressedSize + (fdat ? 4 : 0);
        if (fctl) frameBytes += kPngChunkOverhead + 26;
        if (!out.Reserve(frameBytes)) return PngOutOfMemory;

        if (fctl) {
            tagPNG_FRAME_CONTROL_INFO control{};
            const std::size_t k = firstFrameExcluded ? i - 1 : i;
            if (frameControls) control = frameControls[k];
            std::uint8_t body[26];
            WriteBigEndian32(body, sequence++);
            WriteBigEndian32(body + 4, frame.width);
            WriteBigEndian32(body + 8, frame.height);
            WriteBigEndian32(body + 12, control.xOffset);
            WriteBigEndian32(body + 16, control.yOffset);
            WriteBigEndian16(body + 20, control.delayNumerator);
            WriteBigEndian16(body + 22, control.delayDenominator);
            body[24] = control.disposeOp;
            body[25] = control.blendOp;
            out.Chunk("fcTL", nullptr, body, sizeof body);
        }
        if (fdat) {
            std::uint8_t number[4];
            WriteBigEndian32(number, sequence++);
            out.Chunk("fdAT", number, compressed.get(), compressedSize);
        } else {
            out.Chunk("IDAT", nullptr, compressed.get(), compressedSize);
        }
    }
    out.Chunk("IEND", nullptr, nullptr, 0);
    *outBuffer = out.Take(outSize);
    return PngOk;
}

PngResult WritePngFile(const char* path, const tagPNG_IMAGE_INFO* images, std::size_t imageCount,
                       const tagPNG_FRAME_CONTROL_INFO* frameControls, bool firstFrameExcluded,
                       std::uint32_t numPlays, const PngSaveOptions& options) {
    LastErrorScope lastError;
    if (!path) return PngInvalidArg;
    // The whole stream is built before the file system is touched.
    Block stream;
    std::size_t size = 0;
    if (PngResult rc = EncodePng(&stream, &size, images, imageCount, frameControls,
                                 firstFrameExcluded, numPlays, options);
        rc != PngOk)
        return rc;
    SafeFileWriter writer(path);
    if (!writer.Open() || !writer.Write(stream.get(), size) || !writer.Commit()) {
        lastError.KeepSystemError();
        return PngSystemError;
    }
    return PngOk;
}
