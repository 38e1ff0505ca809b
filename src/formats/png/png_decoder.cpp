#include "formats/png/png_decoder.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "formats/png/png_filter.h"

namespace {

constexpr std::uint32_t kIHDR = PngChunkType("IHDR");
constexpr std::uint32_t kPLTE = PngChunkType("PLTE");
constexpr std::uint32_t kIDAT = PngChunkType("IDAT");
constexpr std::uint32_t kIEND = PngChunkType("IEND");
constexpr std::uint32_t kacTL = PngChunkType("acTL");
constexpr std::uint32_t kfcTL = PngChunkType("fcTL");
constexpr std::uint32_t kfdAT = PngChunkType("fdAT");

// ---------------------------------------------------------------------------
// Row conversion: one unfiltered PNG row to the densely packed pixels of a DIB
// row (no padding). Every converter writes exactly DenseBytes(width) bytes.

using RowConverter = void (*)(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width);

void ConvertCopy1(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    std::memcpy(dst, src, (std::size_t{width} + 7) / 8);
}
void ConvertCopy4(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    std::memcpy(dst, src, (std::size_t{width} + 1) / 2);
}
void ConvertCopy8(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    std::memcpy(dst, src, width);
}
// Four 2-bit samples p0 p1 p2 p3 become the two bytes p0p1 and p2p3 of 4-bit
// pixels; the last input byte may carry fewer real samples, its padding included.
void Convert2To4(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    const std::size_t outBytes = (std::size_t{width} + 1) / 2;
    for (std::size_t o = 0; o < outBytes; ++o) {
        const std::uint8_t b = src[o / 2];
        const unsigned pair = (o & 1) ? (b & 0x0F) : (b >> 4);
        dst[o] = static_cast<std::uint8_t>(((pair >> 2) << 4) | (pair & 3));
    }
}
void ConvertGray16(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x) dst[x] = src[2 * x];
}
void ConvertRgb8(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Four pixels per step with one byte shuffle, on processors that have it (all
// but the oldest x86-64 ones). Each step reads and writes 16 bytes of which it
// means 12; the next step overwrites the other 4.
__attribute__((target("ssse3"))) void ConvertRgb8Shuffle(const std::uint8_t* src, std::uint8_t* dst,
                                                         std::uint32_t width) {
    const __m128i swapRedBlue = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
    std::uint32_t x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i p =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * std::size_t{x}));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * std::size_t{x}),
                         _mm_shuffle_epi8(p, swapRedBlue));
    }
    ConvertRgb8(src + 3 * std::size_t{x}, dst + 3 * std::size_t{x}, width - x);
}

RowConverter Rgb8Converter() {
    static const RowConverter converter =
        __builtin_cpu_supports("ssse3") ? ConvertRgb8Shuffle : ConvertRgb8;
    return converter;
}
#else
RowConverter Rgb8Converter() {
    return ConvertRgb8;
}
#endif

void ConvertRgb16(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, src += 6, dst += 3) {
        dst[0] = src[4];
        dst[1] = src[2];
        dst[2] = src[0];
    }
}
void ConvertGrayAlpha8(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, src += 2, dst += 4) {
        dst[0] = dst[1] = dst[2] = src[0];
        dst[3] = src[1];
    }
}
void ConvertGrayAlpha16(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, src += 4, dst += 4) {
        dst[0] = dst[1] = dst[2] = src[0];
        dst[3] = src[2];
    }
}
void ConvertRgba8(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    // R G B A in memory is the little-endian word A B G R; swapping the low and
    // the third byte gives B G R A.
    std::uint32_t x = 0;
#if defined(__SSE2__)
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i low = _mm_set1_epi32(0xFF);
    for (; x + 4 <= width; x += 4) {
        const __m128i p =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * std::size_t{x}));
        const __m128i swapped = _mm_or_si128(
            _mm_and_si128(p, keep), _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 16), low),
                                                 _mm_slli_epi32(_mm_and_si128(p, low), 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * std::size_t{x}), swapped);
    }
#endif
    for (; x < width; ++x) {
        std::uint32_t p;
        std::memcpy(&p, src + 4 * std::size_t{x}, 4);
        p = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
        std::memcpy(dst + 4 * std::size_t{x}, &p, 4);
    }
}
void ConvertRgba16(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, src += 8, dst += 4) {
        dst[0] = src[4];
        dst[1] = src[2];
        dst[2] = src[0];
        dst[3] = src[6];
    }
}

// The DIB form of a PNG image.
struct DibLayout {
    unsigned bitCount = 0;
    unsigned tableEntries = 0;
    RowConverter convert = nullptr;
};

DibLayout LayoutFor(const PngHeaderInfo& header) {
    const unsigned depth = header.bitDepth;
    switch (header.colorType) {
        case PngColorGray:
            if (depth == 1) return {1, 2, ConvertCopy1};
            if (depth == 2) return {4, 16, Convert2To4};
            if (depth == 4) return {4, 16, ConvertCopy4};
            if (depth == 8) return {8, 256, ConvertCopy8};
            return {8, 256, ConvertGray16};
        case PngColorPalette:
            if (depth == 1) return {1, 2, ConvertCopy1};
            if (depth == 2) return {4, 16, Convert2To4};
            if (depth == 4) return {4, 16, ConvertCopy4};
            return {8, 256, ConvertCopy8};
        case PngColorRgb:
            return {24, 0, depth == 8 ? Rgb8Converter() : ConvertRgb16};
        case PngColorGrayAlpha:
            return {32, 0, depth == 8 ? ConvertGrayAlpha8 : ConvertGrayAlpha16};
        default:
            return {32, 0, depth == 8 ? ConvertRgba8 : ConvertRgba16};
    }
}

void FillColorTable(const PngHeaderInfo& header, const PngPalette* palette, RgbQuad* table,
                    unsigned entries) {
    auto gray = [](unsigned v) {
        const auto g = static_cast<std::uint8_t>(v);
        return RgbQuad{g, g, g, 0};
    };
    for (unsigned i = 0; i < entries; ++i) table[i] = RgbQuad{0, 0, 0, 0};
    if (header.colorType == PngColorPalette) {
        const std::size_t count = palette->count < entries ? palette->count : entries;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* rgb = palette->rgb + 3 * i;
            table[i] = RgbQuad{rgb[2], rgb[1], rgb[0], 0};
        }
        return;
    }
    if (header.colorType != PngColorGray) return;
    switch (header.bitDepth) {
        case 1:
            table[1] = gray(255);
            break;
        case 2:
            for (unsigned i = 0; i < 4; ++i) table[i] = gray(85 * i);
            break;
        case 4:
            for (unsigned i = 0; i < 16; ++i) table[i] = gray(17 * i);
            break;
        default:
            for (unsigned i = 0; i < 256; ++i) table[i] = gray(i);
            break;
    }
}

// Zeroes the bytes after the last pixel of every DIB row.
void ZeroRowPadding(const PngHeaderInfo& header, const DibLayout& layout, std::size_t stride,
                    std::uint8_t* bits) {
    const std::size_t dense = (std::size_t{header.width} * layout.bitCount + 7) / 8;
    if (dense == stride) return;
    for (std::uint32_t y = 0; y < header.height; ++y)
        std::memset(bits + y * stride + dense, 0, stride - dense);
}

// Places the densely packed pixels of one pass row at columns x0, x0 + dx, ...
// of a DIB row; pixels smaller than a byte are merged into zeroed bytes.
void ScatterPassRow(const std::uint8_t* dense, std::uint32_t count, unsigned bitCount,
                    std::uint32_t x0, std::uint32_t dx, std::uint8_t* dibRow) {
    std::uint32_t x = x0;
    switch (bitCount) {
        case 1:
            for (std::uint32_t i = 0; i < count; ++i, x += dx) {
                const unsigned bit = (dense[i >> 3] >> (7 - (i & 7))) & 1u;
                dibRow[x >> 3] = static_cast<std::uint8_t>(dibRow[x >> 3] | (bit << (7 - (x & 7))));
            }
            break;
        case 4:
            for (std::uint32_t i = 0; i < count; ++i, x += dx) {
                const unsigned nibble = (i & 1) ? (dense[i >> 1] & 0x0F) : (dense[i >> 1] >> 4);
                dibRow[x >> 1] =
                    static_cast<std::uint8_t>(dibRow[x >> 1] | ((x & 1) ? nibble : nibble << 4));
            }
            break;
        case 8:
            for (std::uint32_t i = 0; i < count; ++i, x += dx) dibRow[x] = dense[i];
            break;
        case 24:
            for (std::uint32_t i = 0; i < count; ++i, x += dx)
                std::memcpy(dibRow + 3 * std::size_t{x}, dense + 3 * std::size_t{i}, 3);
            break;
        default:
            for (std::uint32_t i = 0; i < count; ++i, x += dx)
                std::memcpy(dibRow + 4 * std::size_t{x}, dense + 4 * std::size_t{i}, 4);
            break;
    }
}

// Streams the inflated bytes of a compressed stream given in pieces.
class Inflater {
public:
    Inflater(const PngDataPiece* pieces, std::size_t count) : pieces_(pieces), count_(count) {}
    ~Inflater() {
        if (initialised_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // zlib reads the deflate data raw: the two header bytes are checked here as
    // zlib would check them, and the Adler-32 sum at the end is never reached
    // (decoding stops once the rows are complete), so zlib need not compute it
    // over every inflated byte.
    PngResult Init() {
        std::uint8_t cmf = 0, flg = 0;
        if (!NextByte(&cmf) || !NextByte(&flg)) return PngFailed;
        const bool deflate = (cmf & 0x0F) == Z_DEFLATED && (cmf >> 4) <= 7;
        const bool checked = ((unsigned{cmf} << 8) | flg) % 31 == 0;
        const bool presetDictionary = (flg & 0x20) != 0;
        if (!deflate || !checked || presetDictionary) return PngFailed;
        std::memset(&stream_, 0, sizeof stream_);
        const int rc = inflateInit2(&stream_, -MAX_WBITS);
        if (rc == Z_MEM_ERROR) return PngOutOfMemory;
        if (rc != Z_OK) return PngFailed;
        initialised_ = true;
        return PngOk;
    }

    // Fills `out` with exactly `size` inflated bytes. PngBadFormat when the zlib
    // stream ends first; PngFailed for a zlib error or compressed data that runs
    // out before the stream ends.
    PngResult Read(std::uint8_t* out, std::size_t size) {
        if (size == 0) return PngOk;
        if (ended_) return PngBadFormat;
        stream_.next_out = out;
        while (size > 0) {
            const uInt window = size > kPngStreamWindow ? uInt{kPngStreamWindow} : uInt(size);
            stream_.avail_out = window;
            while (stream_.avail_out > 0) {
                if (stream_.avail_in == 0 && !FeedInput()) return PngFailed;
                const int rc = inflate(&stream_, Z_NO_FLUSH);
                if (rc == Z_STREAM_END) {
                    ended_ = true;
                    if (stream_.avail_out > 0) return PngBadFormat;
                    break;
                }
                if (rc == Z_BUF_ERROR && stream_.avail_in == 0) continue;  // wants more input
                if (rc == Z_MEM_ERROR) return PngOutOfMemory;
                if (rc != Z_OK) return PngFailed;  // data or stream error, preset dictionary
            }
            size -= window;
        }
        return PngOk;
    }

private:
    // Moves past used-up pieces; false when no input is left.
    bool HaveInput() {
        while (index_ < count_ && offset_ == pieces_[index_].size) {
            ++index_;
            offset_ = 0;
        }
        return index_ < count_;
    }

    // Takes one byte of input before zlib starts.
    bool NextByte(std::uint8_t* byte) {
        if (!HaveInput()) return false;
        *byte = pieces_[index_].data[offset_++];
        return true;
    }

    // Hands zlib the next piece of input, at most one window long.
    bool FeedInput() {
        if (!HaveInput()) return false;
        const std::size_t left = pieces_[index_].size - offset_;
        const std::size_t piece = left > kPngStreamWindow ? kPngStreamWindow : left;
        stream_.next_in = const_cast<Bytef*>(pieces_[index_].data + offset_);
        stream_.avail_in = static_cast<uInt>(piece);
        offset_ += piece;
        return true;
    }

    const PngDataPiece* pieces_;
    std::size_t count_;
    std::size_t index_ = 0;
    std::size_t offset_ = 0;
    z_stream stream_{};
    bool initialised_ = false;
    bool ended_ = false;
};

}  // namespace

PngResult DecodePngImage(const PngHeaderInfo& header, const PngPalette* palette,
                         const PngDataPiece* pieces, std::size_t pieceCount, HeaderBlock* outHeader,
                         Block* outBits) {
    if (!outHeader || !outBits || (!pieces && pieceCount > 0)) return PngInvalidArg;
    if (ValidatePngHeader(header) != PngOk) return PngBadFormat;
    if (header.colorType == PngColorPalette && !palette) return PngBadFormat;

    // Everything is sized and checked before the first allocation.
    const DibLayout layout = LayoutFor(header);
    const std::size_t stride = RowStride(header.width, layout.bitCount);
    auto imageSize = CheckedMul<std::size_t>(stride, header.height);
    if (!imageSize || *imageSize > kMaxImageBytes) return PngOutOfMemory;
    const unsigned bitsPerPixel = PngBitsPerPixel(header);
    const unsigned filterBpp = PngFilterBytesPerPixel(header);
    // The filtered rows pass through two windows of at least one row each; rows
    // above a quarter of the image limit are refused, which keeps the working
    // memory (DIB and windows) within one and a half times the limit.
    const std::uint64_t fullRowLength = PngRowBytes(header.width, bitsPerPixel) + 1;
    if (fullRowLength > kMaxImageBytes / 4) return PngOutOfMemory;
    std::uint64_t rawSize = 0;
    if (!PngRawSize(header, &rawSize)) return PngOutOfMemory;
    std::size_t windowSize = kPngStreamWindow > fullRowLength ? kPngStreamWindow : fullRowLength;
    if (rawSize < windowSize) windowSize = static_cast<std::size_t>(rawSize);

    const std::size_t headerSize = kBitmapInfoHeaderSize + std::size_t{layout.tableEntries} * 4;
    HeaderBlock dibHeader = AllocateHeaderBlock(headerSize);
    Block windows = AllocateBlock(2 * windowSize);
    Block passRow = header.interlaceMethod ? AllocateBlock(stride) : Block();
    if (!dibHeader || !windows || (header.interlaceMethod && !passRow)) return PngOutOfMemory;

    DibHeader* h = dibHeader.get();
    h->biSize = kBitmapInfoHeaderSize;
    h->biWidth = static_cast<std::int32_t>(header.width);
    h->biHeight = static_cast<std::int32_t>(header.height);
    h->biPlanes = 1;
    h->biBitCount = static_cast<std::uint16_t>(layout.bitCount);
    FillColorTable(
        header, palette,
        reinterpret_cast<RgbQuad*>(reinterpret_cast<std::uint8_t*>(h) + kBitmapInfoHeaderSize),
        layout.tableEntries);

    Inflater inflater(pieces, pieceCount);
    if (PngResult rc = inflater.Init(); rc != PngOk) return rc;

    // The pixel block is made once the first rows have inflated, so a file that
    // declares a large image but carries no valid data costs no large block.
    Block bits;
    for (int p = 0; p < PngPassCount(header); ++p) {
        const Adam7Pass pass = PngPass(header, p);
        const std::uint32_t passWidth = Adam7PassExtent(header.width, pass.x0, pass.dx);
        const std::uint32_t passHeight = Adam7PassExtent(header.height, pass.y0, pass.dy);
        if (passWidth == 0 || passHeight == 0) continue;
        const std::size_t rowBytes = static_cast<std::size_t>(PngRowBytes(passWidth, bitsPerPixel));
        const std::size_t rowLength = rowBytes + 1;
        const std::size_t rowsPerWindow = windowSize / rowLength;
        const std::uint8_t* previous = nullptr;
        int window = 0;
        for (std::uint32_t y = 0; y < passHeight;) {
            // The two windows alternate, so the last row of one stays readable as
            // the row above the first row of the next.
            const std::size_t rows =
                rowsPerWindow < passHeight - y ? rowsPerWindow : std::size_t{passHeight - y};
            std::uint8_t* base = windows.get() + window * windowSize;
            if (PngResult rc = inflater.Read(base, rows * rowLength); rc != PngOk) return rc;
            if (!bits) {
                // Interlaced passes of sub-byte pixels merge them into zeroed
                // bytes; otherwise every pixel of a row is written, and only
                // its padding needs zeros.
                const bool merged = header.interlaceMethod && layout.bitCount < 8;
                bits = AllocateImageBlock(*imageSize, merged);
                if (!bits) return PngOutOfMemory;
                if (!merged) ZeroRowPadding(header, layout, stride, bits.get());
            }
            std::uint8_t* const dib = bits.get();
            for (std::size_t r = 0; r < rows;) {
                // A run of rows with the same filter is reversed in one go.
                std::uint8_t* run = base + r * rowLength;
                std::size_t runRows = 1;
                while (r + runRows < rows && run[runRows * rowLength] == run[0]) ++runRows;
                UnfilterRows(run[0], run + 1, rowLength, runRows, previous ? previous + 1 : nullptr,
                             rowBytes, filterBpp);
                for (std::size_t k = 0; k < runRows; ++k, ++r, ++y) {
                    std::uint8_t* row = run + k * rowLength;
                    previous = row;
                    const std::uint32_t imageRow = pass.y0 + y * std::uint32_t{pass.dy};
                    std::uint8_t* dibRow = dib + (header.height - 1 - imageRow) * stride;
                    if (pass.dx == 1) {
                        // Whole rows: a still image, or the last pass of an interlaced one.
                        layout.convert(row + 1, dibRow, passWidth);
                    } else {
                        layout.convert(row + 1, passRow.get(), passWidth);
                        ScatterPassRow(passRow.get(), passWidth, layout.bitCount, pass.x0, pass.dx,
                                       dibRow);
                    }
                }
            }
            window ^= 1;
        }
    }
    *outHeader = std::move(dibHeader);
    *outBits = std::move(bits);
    return PngOk;
}

PngResult DecodePngImage(const PngHeaderInfo& header, const PngPalette* palette,
                         const std::uint8_t* compressed, std::size_t length, HeaderBlock* outHeader,
                         Block* outBits) {
    if (!compressed && length > 0) return PngInvalidArg;
    const PngDataPiece piece{compressed, length};
    return DecodePngImage(header, palette, &piece, 1, outHeader, outBits);
}

namespace {

// The state of one walk over the chunks.
class ChunkWalker {
public:
    ChunkWalker(PngSink sink, void* context) : sink_(sink), context_(context) {}

    PngResult Walk(const std::uint8_t* data, std::size_t size, PngHeaderInfo* headerOut);

private:
    PngResult OnChunk(std::uint32_t type, const std::uint8_t* body, std::uint32_t length,
                      PngHeaderInfo* headerOut, bool* done);
    // Decodes the frame gathered from consecutive IDAT or fdAT chunks of an
    // animation, if any, and delivers it.
    PngResult FlushPendingFrame();
    PngResult DeliverImage(std::int32_t frameIndex, const PngHeaderInfo& header,
                           const std::vector<PngDataPiece>& pieces);

    PngSink sink_;
    void* context_;
    bool haveHeader_ = false;
    PngHeaderInfo header_{};
    PngHeaderInfo frameTemplate_{};
    bool havePalette_ = false;
    PngPalette palette_{};
    bool animated_ = false;
    bool sawIdat_ = false;
    // Still file: every IDAT chunk. Animation: the chunks of the frame being
    // gathered, the default image (pendingIsDefault_) or an fdAT frame.
    std::vector<PngDataPiece> pieces_;
    enum class Pending { None, DefaultImage, Frame } pending_ = Pending::None;
    std::int32_t pendingFrameIndex_ = 0;
    bool defaultImageDone_ = false;
};

PngResult ChunkWalker::DeliverImage(std::int32_t frameIndex, const PngHeaderInfo& header,
                                    const std::vector<PngDataPiece>& pieces) {
    HeaderBlock dibHeader;
    Block bits;
    if (PngResult rc = DecodePngImage(header, havePalette_ ? &palette_ : nullptr, pieces.data(),
                                      pieces.size(), &dibHeader, &bits);
        rc != PngOk)
        return rc;
    PngImage image{frameIndex, std::move(dibHeader), std::move(bits)};
    return sink_(PngSinkImage, &image, context_) ? PngOk : PngFailed;
}

PngResult ChunkWalker::FlushPendingFrame() {
    const Pending pending = pending_;
    pending_ = Pending::None;
    if (pending == Pending::None) return PngOk;
    PngResult rc = pending == Pending::DefaultImage
                       ? DeliverImage(-1, header_, pieces_)
                       : DeliverImage(pendingFrameIndex_, frameTemplate_, pieces_);
    pieces_.clear();
    return rc;
}

PngResult ChunkWalker::OnChunk(std::uint32_t type, const std::uint8_t* body, std::uint32_t length,
                               PngHeaderInfo* headerOut, bool* done) {
    if (!haveHeader_ && type != kIHDR) return PngBadFormat;
    // An animation's image data is joined over consecutive chunks of one kind;
    // any other chunk completes it.
    if ((pending_ == Pending::DefaultImage && type != kIDAT) ||
        (pending_ == Pending::Frame && type != kfdAT)) {
        if (PngResult rc = FlushPendingFrame(); rc != PngOk) return rc;
    }
    switch (type) {
        case kIHDR:
            if (haveHeader_ || length != 13) return PngBadFormat;
            header_.width = ReadBigEndian32(body);
            header_.height = ReadBigEndian32(body + 4);
            header_.bitDepth = body[8];
            header_.colorType = body[9];
            header_.compressionMethod = body[10];
            header_.filterMethod = body[11];
            header_.interlaceMethod = body[12];
            if (ValidatePngHeader(header_) != PngOk) return PngBadFormat;
            haveHeader_ = true;
            frameTemplate_ = header_;
            return PngOk;
        case kPLTE:
            havePalette_ = true;
            palette_ =
                PngPalette{body, std::size_t{length} / 3 > 256 ? 256 : std::size_t{length} / 3};
            return PngOk;
        case kacTL: {
            if (sawIdat_ || length < 8) return PngBadFormat;
            animated_ = true;
            PngAnimationControl control{ReadBigEndian32(body), ReadBigEndian32(body + 4)};
            return sink_(PngSinkAnimationControl, &control, context_) ? PngOk : PngFailed;
        }
        case kIDAT:
            if (header_.colorType == PngColorPalette && !havePalette_) return PngBadFormat;
            sawIdat_ = true;
            if (animated_) {
                if (pending_ != Pending::DefaultImage) {
                    if (defaultImageDone_) return PngBadFormat;
                    defaultImageDone_ = true;
                    pending_ = Pending::DefaultImage;
                }
            }
            pieces_.push_back({body, length});
            return PngOk;
        case kfcTL: {
            if (!animated_ || length < 26) return PngBadFormat;
            tagPNG_FRAME_CONTROL_INFO control;
            control.sequenceNumber = ReadBigEndian32(body);
            control.width = ReadBigEndian32(body + 4);
            control.height = ReadBigEndian32(body + 8);
            control.xOffset = ReadBigEndian32(body + 12);
            control.yOffset = ReadBigEndian32(body + 16);
            control.delayNumerator = ReadBigEndian16(body + 20);
            control.delayDenominator = ReadBigEndian16(body + 22);
            control.disposeOp = body[24];
            control.blendOp = body[25];
            frameTemplate_.width = control.width;
            frameTemplate_.height = control.height;
            return sink_(PngSinkFrameControl, &control, context_) ? PngOk : PngFailed;
        }
        case kfdAT:
            if (!animated_ || length < 4) return PngBadFormat;
            if (pending_ != Pending::Frame) {
                pending_ = Pending::Frame;
                pendingFrameIndex_ = static_cast<std::int32_t>(ReadBigEndian32(body));
            }
            pieces_.push_back({body + 4, length - 4u});
            return PngOk;
        case kIEND:
            if (!sawIdat_ || (header_.colorType == PngColorPalette && !havePalette_))
                return PngBadFormat;
            if (headerOut) *headerOut = header_;
            *done = true;
            if (!animated_) return DeliverImage(-1, header_, pieces_);
            return PngOk;
        default:
            return PngOk;  // ancillary and unknown chunks: CRC-checked, then skipped
    }
}

PngResult ChunkWalker::Walk(const std::uint8_t* data, std::size_t size, PngHeaderInfo* headerOut) {
    if (size < sizeof kPngSignature || std::memcmp(data, kPngSignature, sizeof kPngSignature) != 0)
        return PngNotPng;
    std::size_t offset = sizeof kPngSignature;
    if (size - offset < kPngChunkOverhead) return PngBadFormat;
    for (;;) {
        const std::uint8_t* chunk = data + offset;
        const std::uint32_t length = ReadBigEndian32(chunk);
        if (length > size - offset - kPngChunkOverhead) return PngBadFormat;
        const std::uint32_t type = ReadBigEndian32(chunk + 4);
        if (PngChunkCrc(chunk + 4, length) != ReadBigEndian32(chunk + 8 + length)) return PngBadCrc;
        bool done = false;
        if (PngResult rc = OnChunk(type, chunk + 8, length, headerOut, &done); rc != PngOk)
            return rc;
        if (done) return PngOk;
        offset += kPngChunkOverhead + length;
        if (size - offset < kPngChunkOverhead) return PngBadFormat;  // no IEND
    }
}

}  // namespace

PngResult DecodePng(const std::uint8_t* data, std::size_t size, PngSink sink, void* sinkContext,
                    PngHeaderInfo* headerOut) {
    if (!data || size == 0 || !sink) return PngInvalidArg;
    try {
        ChunkWalker walker(sink, sinkContext);
        return walker.Walk(data, size, headerOut);
    } catch (const std::bad_alloc&) {
        return PngOutOfMemory;  // the list of IDAT pieces could not grow
    }
}
