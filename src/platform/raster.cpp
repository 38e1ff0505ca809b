#include "platform/raster.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

bool IsRasterDepth(unsigned bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

bool IsIndexed(unsigned bitCount) {
    return bitCount <= 8;
}

constexpr std::uint32_t Argb(int r, int g, int b, int a = 0) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}
constexpr int ArgbA(std::uint32_t c) {
    return static_cast<int>(c >> 24);
}
constexpr int ArgbR(std::uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int ArgbG(std::uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int ArgbB(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}

// 5 bits widened to 8 by repeating the top bits, so that 31 reads as 255.
constexpr int Widen5(unsigned v) {
    return static_cast<int>((v << 3) | (v >> 2));
}

// x / 255 rounded to the nearest integer for x >= 0 (x / 255 is never exactly
// halfway between integers, since 255 is odd).
constexpr int Div255(int x) {
    return (x + 127) / 255;
}

std::uint32_t ReadRaw(const RasterImage& image, const std::uint8_t* row, int x) {
    switch (image.bitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
        case 8:
            return row[x];
        case 16:
            return row[2 * x] | (static_cast<std::uint32_t>(row[2 * x + 1]) << 8);
        case 24: {
            const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) |
                   (static_cast<std::uint32_t>(p[2]) << 16);
        }
        default: {
            std::uint32_t v;
            std::memcpy(&v, row + 4 * static_cast<std::size_t>(x), 4);
            return v;
        }
    }
}

void WriteRaw(unsigned bitCount, std::uint8_t* row, int x, std::uint32_t v) {
    switch (bitCount) {
        case 1: {
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
            row[x >> 3] = (v & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
            break;
        }
        case 4: {
            std::uint8_t& byte = row[x >> 1];
            byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | (v & 0x0F))
                           : static_cast<std::uint8_t>((byte & 0x0F) | ((v & 0x0F) << 4));
            break;
        }
        case 8:
            row[x] = static_cast<std::uint8_t>(v);
            break;
        case 16:
            row[2 * x] = static_cast<std::uint8_t>(v);
            row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            break;
        case 24: {
            std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            p[0] = static_cast<std::uint8_t>(v);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v >> 16);
            break;
        }
        default:
            std::memcpy(row + 4 * static_cast<std::size_t>(x), &v, 4);
            break;
    }
}

// Turns stored values of one image into 0xAARRGGBB colours, with the colour table
// expanded once.
class ColorReader {
public:
    explicit ColorReader(const RasterImage& image) : image_(image) {
        if (IsIndexed(image.bitCount)) {
            table_.fill(0);
            for (int i = 0; i < image.paletteCount; ++i) {
                const RgbQuad& q = image.palette[i];
                table_[static_cast<std::size_t>(i)] = Argb(q.rgbRed, q.rgbGreen, q.rgbBlue);
            }
        }
    }

    std::uint32_t FromRaw(std::uint32_t v) const {
        switch (image_.bitCount) {
            case 1:
            case 4:
            case 8:
                return table_[v & 0xFF];
            case 16:
                return Argb(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
            case 24:
                return v & 0x00FFFFFF;
            default:
                return v;
        }
    }

    std::uint32_t At(const std::uint8_t* row, int x) const {
        return FromRaw(ReadRaw(image_, row, x));
    }

    // `count` colours of picture row y from column x on.
    void ReadRow(int y, int x, int count, std::uint32_t* out) const {
        const std::uint8_t* row = image_.Row(y);
        if (image_.bitCount == 24) {
            const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            for (int i = 0; i < count; ++i, p += 3) out[i] = Argb(p[2], p[1], p[0]);
        } else if (image_.bitCount == 32) {
            std::memcpy(out, row + 4 * static_cast<std::size_t>(x),
                        4 * static_cast<std::size_t>(count));
        } else {
            for (int i = 0; i < count; ++i) out[i] = At(row, x + i);
        }
    }

private:
    const RasterImage& image_;
    std::array<std::uint32_t, 256> table_{};
};

// A rectangle copy after clipping against both images: all fields in range.
struct ClippedCopy {
    int dx, dy, sx, sy, width, height;
};

// Clips a copy of a width x height rectangle from (sx, sy) of a source of
// sourceW x sourceH to (dx, dy) of a target of targetW x targetH. Nullopt when
// nothing remains. 64-bit arithmetic, so no offset can wrap.
std::optional<ClippedCopy> ClipCopy(std::int64_t dx, std::int64_t dy, std::int64_t width,
                                    std::int64_t height, std::int64_t sx, std::int64_t sy,
                                    int sourceW, int sourceH, int targetW, int targetH) {
    if (width <= 0 || height <= 0) return std::nullopt;
    // Shift the start into both images, then cut the end at both images.
    const std::int64_t skipX = std::max({std::int64_t{0}, -dx, -sx});
    const std::int64_t skipY = std::max({std::int64_t{0}, -dy, -sy});
    dx += skipX;
    sx += skipX;
    width -= skipX;
    dy += skipY;
    sy += skipY;
    height -= skipY;
    width = std::min({width, targetW - dx, sourceW - sx});
    height = std::min({height, targetH - dy, sourceH - sy});
    if (width <= 0 || height <= 0) return std::nullopt;
    return ClippedCopy{static_cast<int>(dx), static_cast<int>(dy),    static_cast<int>(sx),
                       static_cast<int>(sy), static_cast<int>(width), static_cast<int>(height)};
}

// The part of a rectangle inside a width x height image, or nullopt.
std::optional<RasterRect> ClipRect(const RasterRect& r, int width, int height) {
    RasterRect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
                 std::min(r.bottom, height)};
    if (c.left >= c.right || c.top >= c.bottom) return std::nullopt;
    return c;
}

// Writes colours into a surface row, mapping each one, with the last mapping
// remembered (neighbouring pixels are mostly alike).
class ColorWriter {
public:
    explicit ColorWriter(RasterSurface& target) : target_(target) {}

    void Write(std::uint8_t* row, int x, std::uint32_t argb) {
        if (argb != lastArgb_ || !haveLast_) {
            lastArgb_ = argb;
            lastValue_ = target_.MapArgb(argb);
            haveLast_ = true;
        }
        WriteRaw(target_.BitCount(), row, x, lastValue_);
    }

    void WriteRow(int y, int x, int count, const std::uint32_t* argb) {
        std::uint8_t* row = target_.Row(y);
        if (target_.BitCount() == 32) {
            std::memcpy(row + 4 * static_cast<std::size_t>(x), argb,
                        4 * static_cast<std::size_t>(count));
            return;
        }
        if (target_.BitCount() == 24) {
            std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            for (int i = 0; i < count; ++i, p += 3) {
                p[0] = static_cast<std::uint8_t>(ArgbB(argb[i]));
                p[1] = static_cast<std::uint8_t>(ArgbG(argb[i]));
                p[2] = static_cast<std::uint8_t>(ArgbR(argb[i]));
            }
            return;
        }
        for (int i = 0; i < count; ++i) Write(row, x + i, argb[i]);
    }

private:
    RasterSurface& target_;
    std::uint32_t lastArgb_ = 0;
    std::uint32_t lastValue_ = 0;
    bool haveLast_ = false;
};

// Copies a clipped rectangle. `mapColors` false copies stored values (equal depths
// only).
void CopyClipped(RasterSurface& target, const RasterImage& source, const ClippedCopy& c,
                 bool mapColors) {
    if (!mapColors) {
        const unsigned depth = source.bitCount;
        for (int row = 0; row < c.height; ++row) {
            const std::uint8_t* from = source.Row(c.sy + row);
            std::uint8_t* to = target.Row(c.dy + row);
            if (depth >= 8) {
                const std::size_t unit = depth / 8;
                std::memmove(to + unit * static_cast<std::size_t>(c.dx),
                             from + unit * static_cast<std::size_t>(c.sx),
                             unit * static_cast<std::size_t>(c.width));
            } else {
                for (int i = 0; i < c.width; ++i)
                    WriteRaw(depth, to, c.dx + i, ReadRaw(source, from, c.sx + i));
            }
        }
        return;
    }
    ColorReader reader(source);
    ColorWriter writer(target);
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(c.width));
    for (int row = 0; row < c.height; ++row) {
        reader.ReadRow(c.sy + row, c.sx, c.width, buffer.data());
        writer.WriteRow(c.dy + row, c.dx, c.width, buffer.data());
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// NearestColorMap

namespace {
constexpr int kCellShift = 3;  // cells of 8 x 8 x 8 colours
constexpr int kAxisBits = 8 - kCellShift;
constexpr int kCellsPerAxis = 1 << kAxisBits;
constexpr std::size_t kCellCount =
    static_cast<std::size_t>(kCellsPerAxis) * kCellsPerAxis * kCellsPerAxis;

int Distance2(const RgbQuad& q, int r, int g, int b) {
    const int dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
    return dr * dr + dg * dg + db * db;
}
}  // namespace

NearestColorMap::NearestColorMap(const RgbQuad* palette, int count)
    : palette_(palette, palette + std::clamp(count, 0, 256)),
      cellOffset_(kCellCount, 0),
      cellCount_(kCellCount, 0) {}

int NearestColorMap::FullSearch(const RgbQuad* palette, int count, int r, int g, int b) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < count; ++i) {
        const int d = Distance2(palette[i], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// The candidates of a cell are the entries that can be nearest to some colour in
// it. Let M be the least, over all entries, of the greatest distance from the
// entry to the cell. For every colour in the cell the winner lies within M of it,
// so its least distance to the cell is at most M; an entry whose least distance
// exceeds M can never win, nor tie with the winner. Keeping the candidates in
// index order makes the lowest-index rule come out as in the full search.
void NearestColorMap::BuildCell(std::size_t cell) {
    const int lo[3] = {static_cast<int>(cell >> (2 * kAxisBits)) << kCellShift,
                       static_cast<int>((cell >> kAxisBits) & (kCellsPerAxis - 1)) << kCellShift,
                       static_cast<int>(cell & (kCellsPerAxis - 1)) << kCellShift};
    constexpr int kSpan = (1 << kCellShift) - 1;
    auto axis = [&](int v, int axisLo, int* nearest, int* farthest) {
        const int hi = axisLo + kSpan;
        const int dn = v < axisLo ? axisLo - v : (v > hi ? v - hi : 0);
        const int df = std::max(v - axisLo, hi - v);
        *nearest = dn * dn;
        *farthest = df * df;
    };
    const int n = static_cast<int>(palette_.size());
    std::vector<int> least(static_cast<std::size_t>(n));
    int bound = std::numeric_limits<int>::max();
    for (int i = 0; i < n; ++i) {
        const RgbQuad& q = palette_[static_cast<std::size_t>(i)];
        int nr, fr, ng, fg, nb, fb;
        axis(q.rgbRed, lo[0], &nr, &fr);
        axis(q.rgbGreen, lo[1], &ng, &fg);
        axis(q.rgbBlue, lo[2], &nb, &fb);
        least[static_cast<std::size_t>(i)] = nr + ng + nb;
        bound = std::min(bound, fr + fg + fb);
    }
    cellOffset_[cell] = static_cast<std::uint32_t>(pool_.size());
    std::uint16_t count = 0;
    for (int i = 0; i < n; ++i) {
        if (least[static_cast<std::size_t>(i)] <= bound) {
            pool_.push_back(static_cast<std::uint8_t>(i));
            ++count;
        }
    }
    cellCount_[cell] = count;
}

int NearestColorMap::Nearest(int r, int g, int b) {
    if (palette_.empty()) return 0;
    const std::size_t cell = (static_cast<std::size_t>(r >> kCellShift) << (2 * kAxisBits)) |
                             (static_cast<std::size_t>(g >> kCellShift) << kAxisBits) |
                             static_cast<std::size_t>(b >> kCellShift);
    if (cellCount_[cell] == 0) BuildCell(cell);
    const std::uint8_t* candidates = pool_.data() + cellOffset_[cell];
    const int count = cellCount_[cell];
    int best = candidates[0];
    int bestDistance = Distance2(palette_[best], r, g, b);
    for (int i = 1; i < count; ++i) {
        const int d = Distance2(palette_[candidates[i]], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidates[i];
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// Images and surfaces

std::size_t RasterStride(std::int64_t width, unsigned bitCount) {
    if (width <= 0 || !IsRasterDepth(bitCount) || width > std::numeric_limits<std::int32_t>::max())
        return 0;
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * bitCount;
    return static_cast<std::size_t>(((bits + 31) / 32) * 4);
}

std::optional<RasterImage> RasterImage::Describe(const DibHeader* header, const std::uint8_t* bits,
                                                 std::size_t bitsSize) {
    if (!header || !bits || header->biSize < kBitmapInfoHeaderSize) return std::nullopt;
    if (header->biCompression != kBiRgb || !IsRasterDepth(header->biBitCount)) return std::nullopt;
    if (header->biWidth <= 0 || header->biHeight == 0 ||
        header->biHeight == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    RasterImage image;
    image.width = header->biWidth;
    image.height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    image.bitCount = header->biBitCount;
    image.topDown = header->biHeight < 0;
    image.stride = RasterStride(image.width, image.bitCount);
    std::size_t size;
    if (__builtin_mul_overflow(image.stride, static_cast<std::size_t>(image.height), &size) ||
        size > bitsSize)
        return std::nullopt;
    if (IsIndexed(image.bitCount)) {
        const std::uint32_t full = 1u << image.bitCount;
        const std::uint32_t used = header->biClrUsed ? header->biClrUsed : full;
        image.paletteCount = static_cast<int>(std::min(used, full));
        image.palette = reinterpret_cast<const RgbQuad*>(
            reinterpret_cast<const std::uint8_t*>(header) + header->biSize);
    }
    image.bits = bits;
    return image;
}

std::optional<RasterSurface> RasterSurface::Over(const DibHeader* header, std::uint8_t* bits,
                                                 std::size_t bitsSize) {
    auto image = RasterImage::Describe(header, bits, bitsSize);
    if (!image) return std::nullopt;
    RasterSurface surface;
    surface.image_ = *image;
    return surface;
}

std::uint32_t RasterSurface::MapArgb(std::uint32_t argb) {
    const int r = ArgbR(argb), g = ArgbG(argb), b = ArgbB(argb);
    switch (image_.bitCount) {
        case 1:
        case 4:
        case 8:
            if (!nearest_)
                nearest_ = std::make_shared<NearestColorMap>(image_.palette, image_.paletteCount);
            return static_cast<std::uint32_t>(nearest_->Nearest(r, g, b));
        case 16:
            return static_cast<std::uint32_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        case 24:
            return argb & 0x00FFFFFF;
        default:
            return argb;
    }
}

std::uint32_t RasterSurface::MapColor(ColorRef color) {
    return MapArgb(Argb(RedOf(color), GreenOf(color), BlueOf(color)));
}

std::uint32_t RasterSurface::RawPixel(int x, int y) const {
    return ReadRaw(image_, image_.Row(y), x);
}

void RasterSurface::SetRawPixel(int x, int y, std::uint32_t value) {
    WriteRaw(image_.bitCount, Row(y), x, value);
}

std::uint32_t RasterPixelArgb(const RasterImage& image, int x, int y) {
    return ColorReader(image).At(image.Row(y), x);
}

// ---------------------------------------------------------------------------
// Drawing

void RasterFillRect(RasterSurface& target, const RasterRect& rect, ColorRef color) {
    const auto clip = ClipRect(rect, target.Width(), target.Height());
    if (!clip) return;
    const std::uint32_t value = target.MapColor(color);
    const unsigned depth = target.BitCount();
    for (int y = clip->top; y < clip->bottom; ++y) {
        std::uint8_t* row = target.Row(y);
        if (depth == 8) {
            std::memset(row + clip->left, static_cast<int>(value),
                        static_cast<std::size_t>(clip->right - clip->left));
        } else {
            for (int x = clip->left; x < clip->right; ++x) WriteRaw(depth, row, x, value);
        }
    }
}

void RasterDrawImage(RasterSurface& target, int x, int y, const RasterImage& source) {
    const auto c = ClipCopy(x, y, source.width, source.height, 0, 0, source.width, source.height,
                            target.Width(), target.Height());
    if (!c) return;
    // Stored values are the colours themselves for 16, 24 and 32 bits, so those
    // copy as they are; indexed images map through their own tables.
    const bool same = source.bitCount == target.BitCount() && !IsIndexed(source.bitCount);
    CopyClipped(target, source, *c, !same);
}

void RasterCopyRect(RasterSurface& target, int dx, int dy, int width, int height,
                    const RasterImage& source, int sx, int sy) {
    const auto c = ClipCopy(dx, dy, width, height, sx, sy, source.width, source.height,
                            target.Width(), target.Height());
    if (!c) return;
    CopyClipped(target, source, *c, source.bitCount != target.BitCount());
}

namespace {

// The source coordinate under the centre of target pixel i when `sourceSize`
// pixels from `sourceStart` are spread over `targetSize`. Rectangles may span the
// whole int range, so the products take 128 bits.
std::int64_t SourceCoordinate(std::int64_t sourceStart, std::int64_t i, std::int64_t sourceSize,
                              std::int64_t targetSize) {
    const __int128 scaled = (static_cast<__int128>(2 * i + 1) * sourceSize) / (2 * targetSize);
    return sourceStart + static_cast<std::int64_t>(scaled);
}

}  // namespace

void RasterStretch(RasterSurface& target, const RasterRect& targetRect, const RasterImage& source,
                   const RasterRect& sourceRect) {
    const std::int64_t tw = std::int64_t{targetRect.right} - targetRect.left;
    const std::int64_t th = std::int64_t{targetRect.bottom} - targetRect.top;
    const std::int64_t sw = std::int64_t{sourceRect.right} - sourceRect.left;
    const std::int64_t sh = std::int64_t{sourceRect.bottom} - sourceRect.top;
    if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
    const auto clip = ClipRect(targetRect, target.Width(), target.Height());
    if (!clip) return;

    // The source column under the centre of every target column; -1 outside.
    std::vector<int> columns(static_cast<std::size_t>(clip->right - clip->left));
    for (int x = clip->left; x < clip->right; ++x) {
        const std::int64_t i = std::int64_t{x} - targetRect.left;
        const std::int64_t sx = SourceCoordinate(sourceRect.left, i, sw, tw);
        columns[static_cast<std::size_t>(x - clip->left)] =
            sx >= 0 && sx < source.width ? static_cast<int>(sx) : -1;
    }
    const bool raw = source.bitCount == target.BitCount();
    const std::size_t unit = source.bitCount / 8;
    ColorReader reader(source);
    ColorWriter writer(target);
    for (int y = clip->top; y < clip->bottom; ++y) {
        const std::int64_t i = std::int64_t{y} - targetRect.top;
        const std::int64_t sy = SourceCoordinate(sourceRect.top, i, sh, th);
        if (sy < 0 || sy >= source.height) continue;
        const std::uint8_t* from = source.Row(static_cast<int>(sy));
        std::uint8_t* to = target.Row(y);
        for (int x = clip->left; x < clip->right; ++x) {
            const int sx = columns[static_cast<std::size_t>(x - clip->left)];
            if (sx < 0) continue;
            if (raw && unit) {
                std::memcpy(to + unit * static_cast<std::size_t>(x),
                            from + unit * static_cast<std::size_t>(sx), unit);
            } else if (raw) {
                WriteRaw(source.bitCount, to, x, ReadRaw(source, from, sx));
            } else {
                writer.Write(to, x, reader.At(from, sx));
            }
        }
    }
}

void RasterCompositeOver(RasterSurface& target, int x, int y, const RasterImage& source) {
    if (source.bitCount != 32) return;
    const auto c = ClipCopy(x, y, source.width, source.height, 0, 0, source.width, source.height,
                            target.Width(), target.Height());
    if (!c) return;
    const bool target32 = target.BitCount() == 32;
    ColorReader targetReader(target.Image());
    ColorWriter writer(target);
    for (int row = 0; row < c->height; ++row) {
        const std::uint8_t* from = source.Row(c->sy + row);
        std::uint8_t* to = target.Row(c->dy + row);
        for (int i = 0; i < c->width; ++i) {
            std::uint32_t s;
            std::memcpy(&s, from + 4 * static_cast<std::size_t>(c->sx + i), 4);
            const int a = ArgbA(s);
            if (a == 0) continue;  // leaves even an ambiguous palette index alone
            const int tx = c->dx + i;
            if (a == 255) {
                writer.Write(to, tx, s);
                continue;
            }
            const std::uint32_t d = targetReader.At(to, tx);
            if (!target32) {
                auto mix = [&](int sc, int dc) { return Div255(sc * a + dc * (255 - a)); };
                writer.Write(to, tx,
                             Argb(mix(ArgbR(s), ArgbR(d)), mix(ArgbG(s), ArgbG(d)),
                                  mix(ArgbB(s), ArgbB(d))));
                continue;
            }
            // Straight alpha on both sides: weights a * 255 and da * (255 - a),
            // normalised by their sum.
            const int da = ArgbA(d);
            const int ws = a * 255, wd = da * (255 - a), sum = ws + wd;
            auto mix = [&](int sc, int dc) { return (sc * ws + dc * wd + sum / 2) / sum; };
            WriteRaw(32, to, tx,
                     Argb(mix(ArgbR(s), ArgbR(d)), mix(ArgbG(s), ArgbG(d)), mix(ArgbB(s), ArgbB(d)),
                          Div255(sum)));
        }
    }
}

void RasterDrawMasked(RasterSurface& target, int x, int y, const RasterImage& picture,
                      const std::uint8_t* mask) {
    if (!mask) return;
    const auto c = ClipCopy(x, y, picture.width, picture.height, 0, 0, picture.width,
                            picture.height, target.Width(), target.Height());
    if (!c) return;
    const std::size_t maskStride = RasterStride(picture.width, 1);
    const bool raw = picture.bitCount == target.BitCount();
    ColorReader reader(picture);
    ColorWriter writer(target);
    for (int row = 0; row < c->height; ++row) {
        const int py = c->sy + row;
        const std::uint8_t* maskRow =
            mask +
            maskStride * static_cast<std::size_t>(picture.topDown ? py : picture.height - 1 - py);
        const std::uint8_t* from = picture.Row(py);
        std::uint8_t* to = target.Row(c->dy + row);
        for (int i = 0; i < c->width; ++i) {
            const int px = c->sx + i;
            if ((maskRow[px >> 3] >> (7 - (px & 7))) & 1) continue;
            if (raw)
                WriteRaw(target.BitCount(), to, c->dx + i, ReadRaw(picture, from, px));
            else
                writer.Write(to, c->dx + i, reader.At(from, px));
        }
    }
}

void RasterAlphaBlend(RasterSurface& target, int x, int y, const RasterImage& source, int opacity) {
    if (source.bitCount != 32) return;
    opacity = std::clamp(opacity, 0, 255);
    if (opacity == 0) return;
    const auto c = ClipCopy(x, y, source.width, source.height, 0, 0, source.width, source.height,
                            target.Width(), target.Height());
    if (!c) return;
    ColorReader targetReader(target.Image());
    ColorWriter writer(target);
    for (int row = 0; row < c->height; ++row) {
        const std::uint8_t* from = source.Row(c->sy + row);
        std::uint8_t* to = target.Row(c->dy + row);
        for (int i = 0; i < c->width; ++i) {
            std::uint32_t s;
            std::memcpy(&s, from + 4 * static_cast<std::size_t>(c->sx + i), 4);
            const int a = Div255(ArgbA(s) * opacity);
            const int tx = c->dx + i;
            const std::uint32_t d = targetReader.At(to, tx);
            auto mix = [&](int sc, int dc) {
                return std::min(255, Div255(sc * opacity) + Div255(dc * (255 - a)));
            };
            const std::uint32_t out =
                Argb(mix(ArgbR(s), ArgbR(d)), mix(ArgbG(s), ArgbG(d)), mix(ArgbB(s), ArgbB(d)),
                     std::min(255, a + Div255(ArgbA(d) * (255 - a))));
            if (target.BitCount() == 32)
                WriteRaw(32, to, tx, out);
            else
                writer.Write(to, tx, out);
        }
    }
}

void RasterSetPixel(RasterSurface& target, int x, int y, ColorRef color) {
    if (x < 0 || y < 0 || x >= target.Width() || y >= target.Height()) return;
    target.SetRawPixel(x, y, target.MapColor(color));
}

ColorRef RasterGetPixel(const RasterImage& image, int x, int y) {
    if (!image.bits || x < 0 || y < 0 || x >= image.width || y >= image.height)
        return kInvalidColor;
    const std::uint32_t argb = RasterPixelArgb(image, x, y);
    return RgbColor(ArgbR(argb), ArgbG(argb), ArgbB(argb));
}

void RasterLineTo(RasterSurface& target, int x0, int y0, int x1, int y1, ColorRef color) {
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    // Bresenham along the major axis: the major coordinate moves one pixel per
    // step, the minor one whenever the error term runs out.
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const std::int64_t majorSize = xMajor ? target.Width() : target.Height();
    const std::int64_t minorSize = xMajor ? target.Height() : target.Width();

    // Only the steps whose major coordinate lies inside the surface can draw, so
    // the walk starts at the first of them (a line may be billions of pixels long).
    std::int64_t first = majorStep > 0 ? -majorStart : majorStart - majorSize + 1;
    std::int64_t last = majorStep > 0 ? majorSize - majorStart : majorStart + 1;  // exclusive
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, major);  // the end pixel is left out
    if (first >= last) return;

    // The state after `first` steps in closed form: the error starts at major / 2,
    // loses `minor` per step and gains `major` with every minor step, staying in
    // [0, major).
    const std::int64_t error0 = major / 2;
    const __int128 owed = static_cast<__int128>(first) * minor - error0;
    const std::int64_t minorSteps =
        owed > 0 ? static_cast<std::int64_t>((owed + major - 1) / major) : 0;
    std::int64_t error = static_cast<std::int64_t>(error0 - static_cast<__int128>(first) * minor +
                                                   static_cast<__int128>(minorSteps) * major);
    std::int64_t a = majorStart + majorStep * first;
    std::int64_t b = minorStart + minorStep * minorSteps;

    const std::uint32_t value = target.MapColor(color);
    for (std::int64_t n = first; n < last; ++n) {
        if (b >= 0 && b < minorSize)
            target.SetRawPixel(static_cast<int>(xMajor ? a : b), static_cast<int>(xMajor ? b : a),
                               value);
        a += majorStep;
        error -= minor;
        if (error < 0) {
            b += minorStep;
            error += major;
        }
    }
}

void RasterFloodFill(RasterSurface& target, int x, int y, ColorRef surfaceColor,
                     ColorRef fillColor) {
    const int w = target.Width(), h = target.Height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const std::uint32_t compareMask = target.BitCount() == 32 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    const std::uint32_t match = target.MapColor(surfaceColor) & compareMask;
    const std::uint32_t fill = target.MapColor(fillColor);
    auto matches = [&](int px, int py) { return (target.RawPixel(px, py) & compareMask) == match; };
    if (!matches(x, y)) return;
    // The fill may keep the matching value, so visited pixels are marked apart.
    std::vector<bool> visited(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    auto seen = [&](int px, int py) {
        return visited[static_cast<std::size_t>(py) * static_cast<std::size_t>(w) +
                       static_cast<std::size_t>(px)];
    };
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        if (seen(sx, sy) || !matches(sx, sy)) continue;
        int left = sx, right = sx;
        while (left > 0 && !seen(left - 1, sy) && matches(left - 1, sy)) --left;
        while (right + 1 < w && !seen(right + 1, sy) && matches(right + 1, sy)) ++right;
        for (int px = left; px <= right; ++px) {
            visited[static_cast<std::size_t>(sy) * static_cast<std::size_t>(w) +
                    static_cast<std::size_t>(px)] = true;
            target.SetRawPixel(px, sy, fill);
        }
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            // One seed per run of fillable pixels keeps the stack to the number of runs.
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool fillable = !seen(px, ny) && matches(px, ny);
                if (fillable && !inRun) stack.emplace_back(px, ny);
                inRun = fillable;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Views

void FillViewBackground(RasterSurface& target, const RasterRect& rect, int kind,
                        ColorRef customColor, ColorRef windowColor, int originX, int originY) {
    if (kind != 4) {
        ColorRef solid = RgbColor(255, 255, 255);
        if (kind == 0) solid = RgbColor(0, 0, 0);
        if (kind == 2) solid = RgbColor(128, 128, 128);
        if (kind == 3) solid = windowColor;
        if (kind == 5) solid = customColor;
        RasterFillRect(target, rect, solid);
        return;
    }
    const auto clip = ClipRect(rect, target.Width(), target.Height());
    if (!clip) return;
    const std::uint32_t light = target.MapColor(kCheckerLight);
    const std::uint32_t dark = target.MapColor(kCheckerDark);
    const unsigned depth = target.BitCount();
    // 0 or 1: which of the two 8-pixel squares of its tile a coordinate falls in.
    auto squareOf = [](int v, int origin) {
        return static_cast<int>(((std::int64_t{v} - origin) % 16 + 16) % 16) / 8;
    };
    const int width = clip->right - clip->left;
    // The two phases of a row, each made once and copied into every row of it.
    std::array<std::vector<std::uint32_t>, 2> phase;
    for (int p = 0; p < 2; ++p) {
        phase[static_cast<std::size_t>(p)].resize(static_cast<std::size_t>(width));
        for (int i = 0; i < width; ++i)
            phase[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] =
                squareOf(clip->left + i, originX) == p ? light : dark;
    }
    for (int y = clip->top; y < clip->bottom; ++y) {
        std::uint8_t* row = target.Row(y);
        const std::vector<std::uint32_t>& values =
            phase[static_cast<std::size_t>(squareOf(y, originY))];
        if (depth == 32) {
            std::memcpy(row + 4 * static_cast<std::size_t>(clip->left), values.data(),
                        4 * static_cast<std::size_t>(width));
        } else {
            for (int i = 0; i < width; ++i)
                WriteRaw(depth, row, clip->left + i, values[static_cast<std::size_t>(i)]);
        }
    }
}

void RasterStretchBlend(RasterSurface& target, const RasterRect& targetRect,
                        const RasterImage& source, const RasterRect& sourceRect, RasterBlend blend,
                        const std::uint8_t* mask) {
    if (blend == RasterBlend::Copy) {
        RasterStretch(target, targetRect, source, sourceRect);
        return;
    }
    if (blend == RasterBlend::Masked && !mask) return;
    if (blend != RasterBlend::Masked && source.bitCount != 32) return;
    const std::int64_t tw = std::int64_t{targetRect.right} - targetRect.left;
    const std::int64_t th = std::int64_t{targetRect.bottom} - targetRect.top;
    const std::int64_t sw = std::int64_t{sourceRect.right} - sourceRect.left;
    const std::int64_t sh = std::int64_t{sourceRect.bottom} - sourceRect.top;
    if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
    const auto clip = ClipRect(targetRect, target.Width(), target.Height());
    if (!clip) return;

    std::vector<int> columns(static_cast<std::size_t>(clip->right - clip->left));
    for (int x = clip->left; x < clip->right; ++x) {
        const std::int64_t sx =
            SourceCoordinate(sourceRect.left, std::int64_t{x} - targetRect.left, sw, tw);
        columns[static_cast<std::size_t>(x - clip->left)] =
            sx >= 0 && sx < source.width ? static_cast<int>(sx) : -1;
    }
    const std::size_t maskStride = RasterStride(source.width, 1);
    const bool raw = source.bitCount == target.BitCount();
    const bool target32 = target.BitCount() == 32;
    ColorReader reader(source);
    ColorReader targetReader(target.Image());
    ColorWriter writer(target);
    for (int y = clip->top; y < clip->bottom; ++y) {
        const std::int64_t sy =
            SourceCoordinate(sourceRect.top, std::int64_t{y} - targetRect.top, sh, th);
        if (sy < 0 || sy >= source.height) continue;
        const int py = static_cast<int>(sy);
        const std::uint8_t* from = source.Row(py);
        const std::uint8_t* maskRow =
            mask ? mask + maskStride *
                              static_cast<std::size_t>(source.topDown ? py : source.height - 1 - py)
                 : nullptr;
        std::uint8_t* to = target.Row(y);
        for (int x = clip->left; x < clip->right; ++x) {
            const int sx = columns[static_cast<std::size_t>(x - clip->left)];
            if (sx < 0) continue;
            if (blend == RasterBlend::Masked) {
                if ((maskRow[sx >> 3] >> (7 - (sx & 7))) & 1) continue;
                if (raw)
                    WriteRaw(target.BitCount(), to, x, ReadRaw(source, from, sx));
                else
                    writer.Write(to, x, reader.At(from, sx));
                continue;
            }
            std::uint32_t s;
            std::memcpy(&s, from + 4 * static_cast<std::size_t>(sx), 4);
            const int a = ArgbA(s);
            if (blend == RasterBlend::StraightAlpha && a == 0) continue;
            std::uint32_t out;
            if (blend == RasterBlend::StraightAlpha && a == 255) {
                out = s & 0x00FFFFFF;
            } else {
                const std::uint32_t d =
                    target32 ? ReadRaw(target.Image(), to, x) & 0x00FFFFFF : targetReader.At(to, x);
                auto mix = [&](int sc, int dc) {
                    return blend == RasterBlend::StraightAlpha
                               ? Div255(sc * a + dc * (255 - a))
                               : std::min(255, sc + Div255(dc * (255 - a)));
                };
                out =
                    Argb(mix(ArgbR(s), ArgbR(d)), mix(ArgbG(s), ArgbG(d)), mix(ArgbB(s), ArgbB(d)));
            }
            if (target32)
                WriteRaw(32, to, x, out);
            else
                writer.Write(to, x, out);
        }
    }
}
