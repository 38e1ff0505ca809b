#include "formats/png/png_filter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Portable versions. The pixel distance is a template parameter so that every
// loop below is compiled for its width and its inner loop disappears.
template <unsigned Bpp>
void UnfilterSub(std::uint8_t* row, std::size_t length) {
    for (std::size_t i = Bpp; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Bpp]);
}

void UnfilterUp(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= length; i += 16) {
        const __m128i x =
            _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), x);
    }
#endif
    for (; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
}

template <unsigned Bpp>
void UnfilterAverage(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    const std::size_t head = length < Bpp ? length : Bpp;
    if (previous) {
        for (std::size_t i = 0; i < head; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (previous[i] >> 1));
        for (std::size_t i = Bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - Bpp] + previous[i]) >> 1));
    } else {
        for (std::size_t i = Bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (row[i - Bpp] >> 1));
    }
}

template <unsigned Bpp>
void UnfilterPaeth(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    const std::size_t head = length < Bpp ? length : Bpp;
    for (std::size_t i = 0; i < head; ++i) row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
    for (std::size_t i = Bpp; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(
            row[i] + PaethPredictor(row[i - Bpp], previous[i], previous[i - Bpp]));
}

template <unsigned Bpp>
void UnfilterFor(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length) {
    switch (type) {
        case PngFilterSub:
            UnfilterSub<Bpp>(row, length);
            break;
        case PngFilterUp:
            if (previous) UnfilterUp(row, previous, length);
            break;
        case PngFilterAverage:
            UnfilterAverage<Bpp>(row, previous, length);
            break;
        case PngFilterPaeth:
            // Without a row above, Paeth always predicts the left byte: Sub.
            if (previous)
                UnfilterPaeth<Bpp>(row, previous, length);
            else
                UnfilterSub<Bpp>(row, length);
            break;
        default:
            break;
    }
}

// Several rows unfiltered at once, row k one pixel behind row k - 1, so that
// their chains of dependent pixels overlap in the processor. Row k takes the
// pixels above it from row k - 1's results, not from memory; the first row's
// come from `loadAbove(column)`. A walker unfilters its row's pixels in turn.
template <int N, class Walker, class LoadAbove>
void UnfilterStaggered(Walker* rows, std::size_t pixels, LoadAbove loadAbove) {
    using Pixel = decltype(rows[0].Next(loadAbove(0)));
    Pixel above[N]{};  // above[k]: the pixel above row k's next one
    for (std::size_t t = 0; t < pixels + N - 1; ++t) {
        // From the bottom row up, so that each row reads above[k] before the
        // row over it replaces it.
#pragma GCC unroll 4
        for (int k = N - 1; k >= 0; --k) {
            if (t < std::size_t(k) || t - k >= pixels) continue;
            const Pixel x = rows[k].Next(k == 0 ? loadAbove(t) : above[k]);
            if (k + 1 < N) above[k + 1] = x;
        }
    }
}

// Byte-wise Average and Paeth (indexed, gray and low-depth images). Left and
// upper left stay in registers: read back from memory, every byte would wait
// for the store of the byte before it.
struct AverageByte {
    static int Predict(int left, int up, int) { return (left + up) >> 1; }
};
struct PaethByte {
    static int Predict(int left, int up, int upLeft) { return PaethPredictor(left, up, upLeft); }
};

template <class Filter>
class ByteWalker {
public:
    ByteWalker() = default;
    explicit ByteWalker(std::uint8_t* row) : row_(row) {}
    int Next(int up) {
        const int x = static_cast<std::uint8_t>(*row_ + Filter::Predict(left_, up, upLeft_));
        *row_++ = static_cast<std::uint8_t>(x);
        left_ = x;
        upLeft_ = up;
        return x;
    }

private:
    std::uint8_t* row_ = nullptr;
    int left_ = 0, upLeft_ = 0;
};

template <class Filter, int N>
void UnfilterByteRows(std::uint8_t* first, std::size_t stride, const std::uint8_t* previous,
                      std::size_t length) {
    ByteWalker<Filter> rows[N];
    for (int k = 0; k < N; ++k) rows[k] = ByteWalker<Filter>(first + k * stride);
    UnfilterStaggered<N>(rows, length, [previous](std::size_t i) { return int{previous[i]}; });
}

#if defined(__SSE2__)
// Whole-pixel versions for 3 and 4 bytes per pixel (8-bit RGB and RGBA, the
// common photo formats). Predictions chain from pixel to pixel, so the channels
// of one pixel are computed side by side in the lanes of one register instead
// of byte after byte. Each step object keeps the running state of one row and
// turns one filtered pixel into the unfiltered one; they give exactly the
// portable results.

struct SubStep {
    __m128i left = _mm_setzero_si128();
    __m128i Next(__m128i raw, __m128i) {
        left = _mm_add_epi8(raw, left);
        return left;
    }
};

// x = r + floor((a + b) / 2). With complements (~v = 255 - v), floor((a + b) / 2)
// is ~avg(~a, ~b), avg rounding up as the processor's does, and then
// ~x = avg(~a, ~b) - r: keeping ~a as the state leaves two operations between
// one pixel and the next.
struct AverageStep {
    __m128i notLeft = _mm_set1_epi8(-1);
    __m128i Next(__m128i raw, __m128i up) {
        const __m128i ones = _mm_set1_epi8(-1);
        notLeft = _mm_sub_epi8(_mm_avg_epu8(notLeft, _mm_xor_si128(up, ones)), raw);
        return _mm_xor_si128(notLeft, ones);
    }
};

__m128i Abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}
__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Left (a) and upper left (c) are kept widened to 16-bit lanes.
struct PaethStep {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    __m128i Next(__m128i raw, __m128i up) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i b = _mm_unpacklo_epi8(up, zero);
        __m128i pa = _mm_sub_epi16(b, c);  // |p - a| = |b - c|
        __m128i pb = _mm_sub_epi16(a, c);  // |p - b| = |a - c|
        __m128i pc = Abs16(_mm_add_epi16(pa, pb));
        pa = Abs16(pa);
        pb = Abs16(pb);
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // Ties go to a, then b: exactly the standard's order of tests.
        const __m128i predictor =
            Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c));
        const __m128i x = _mm_add_epi8(raw, _mm_packus_epi16(predictor, predictor));
        a = _mm_unpacklo_epi8(x, zero);
        c = b;
        return x;
    }
    // Puts the 16-bit lanes set in `lanes` back to the state before a row's first pixel.
    void Restart(__m128i lanes) {
        a = _mm_andnot_si128(lanes, a);
        c = _mm_andnot_si128(lanes, c);
    }
};

// Pixels move between memory and the low lanes as one 32-bit word. A 3-byte
// pixel is read with the byte after it, where the row has one, and written with
// a meaningless fourth byte that the next pixel's store overwrites; only a
// row's last pixel is written byte-exactly. Each pixel's filtered bytes are read
// before the pixel ahead of it is stored: a read overlapping a store still in
// flight would wait for the store to complete.
template <unsigned Bpp>
__m128i LoadPixel(const std::uint8_t* p, bool fourReadable) {
    std::uint32_t v;
    if (Bpp == 4 || fourReadable) {
        std::memcpy(&v, p, 4);
    } else {
        std::uint16_t low;
        std::memcpy(&low, p, 2);
        v = low | std::uint32_t{p[2]} << 16;
    }
    return _mm_cvtsi32_si128(static_cast<int>(v));
}

template <unsigned Bpp>
void StorePixel(std::uint8_t* p, __m128i x, bool fourWritable) {
    const auto v = static_cast<std::uint32_t>(_mm_cvtsi128_si32(x));
    if (Bpp == 4 || fourWritable) {
        std::memcpy(p, &v, 4);
    } else {
        const auto low = static_cast<std::uint16_t>(v);
        std::memcpy(p, &low, 2);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
}

// Moves along one row: holds its next filtered pixel, read ahead (zero past the
// end), and stores its unfiltered pixels in turn.
template <unsigned Bpp>
class RowCursor {
public:
    RowCursor() = default;
    RowCursor(std::uint8_t* row, std::size_t length)
        : row_(row), length_(length), raw_(LoadPixel<Bpp>(row, length >= 4)) {}

    __m128i Raw() const { return raw_; }

    // Stores the unfiltered pixel (low lanes of x) and moves to the next one.
    void Store(__m128i x) {
        const std::size_t ahead = at_ + Bpp;
        const bool last = ahead + Bpp > length_;
        raw_ = last ? _mm_setzero_si128() : LoadPixel<Bpp>(row_ + ahead, ahead + 4 <= length_);
        StorePixel<Bpp>(row_ + at_, x, !last);
        at_ = ahead;
    }

private:
    std::uint8_t* row_ = nullptr;
    std::size_t length_ = 0;
    std::size_t at_ = 0;
    __m128i raw_ = _mm_setzero_si128();
};

// Walks one row pixel by pixel with a step of its own.
template <class Step, unsigned Bpp>
class PixelWalker {
public:
    PixelWalker() = default;
    PixelWalker(std::uint8_t* row, std::size_t length) : cursor_(row, length) {}

    // Unfilters the next pixel given the unfiltered pixel above it; returns it.
    __m128i Next(__m128i up) {
        const __m128i x = step_.Next(cursor_.Raw(), up);
        cursor_.Store(x);
        return x;
    }

private:
    RowCursor<Bpp> cursor_;
    Step step_;
};

template <class Step, unsigned Bpp>
void UnfilterPixels(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    if (length < Bpp) return;
    PixelWalker<Step, Bpp> walker(row, length);
    for (std::size_t i = 0; i + Bpp <= length; i += Bpp)
        walker.Next(previous ? LoadPixel<Bpp>(previous + i, i + 4 <= length) : _mm_setzero_si128());
}

template <class Step, unsigned Bpp, int N>
void UnfilterPixelRows(std::uint8_t* first, std::size_t stride, const std::uint8_t* previous,
                       std::size_t length) {
    if (length < Bpp) return;
    PixelWalker<Step, Bpp> rows[N];
    for (int k = 0; k < N; ++k) rows[k] = PixelWalker<Step, Bpp>(first + k * stride, length);
    UnfilterStaggered<N>(rows, length / Bpp, [previous, length](std::size_t column) {
        const std::size_t i = column * Bpp;
        return LoadPixel<Bpp>(previous + i, i + 4 <= length);
    });
}

// Four Paeth rows in the lanes of two registers, row k one pixel behind row
// k - 1: Paeth works on 16-bit lanes, and a pixel fills only half a register,
// so rows 0-1 share one register and rows 2-3 the other, and one step of the
// arithmetic serves two rows. The pixel above a row's next pixel is the
// previous result of the row above, already in a register. Rows not yet
// started have their lanes put back to the initial state after each step; rows
// already finished are not stored. (Average's arithmetic is short, and packing
// its rows would lengthen the chain from one pixel to the next: its rows keep a
// register each.)
template <unsigned Bpp>
__m128i AboveFirstRow(const std::uint8_t* previous, std::size_t length, std::size_t column,
                      std::size_t pixels) {
    const std::size_t i = column * Bpp;
    return column < pixels ? LoadPixel<Bpp>(previous + i, i + 4 <= length) : _mm_setzero_si128();
}

template <unsigned Bpp>
void StoreActive(RowCursor<Bpp>* rows, std::size_t t, std::size_t pixels, __m128i x01,
                 __m128i x23) {
    if (t < pixels) rows[0].Store(x01);
    if (t >= 1 && t < pixels + 1) rows[1].Store(_mm_srli_si128(x01, 4));
    if (t >= 2 && t < pixels + 2) rows[2].Store(x23);
    if (t >= 3) rows[3].Store(_mm_srli_si128(x23, 4));
}

template <unsigned Bpp>
void UnfilterPaethRows4(std::uint8_t* first, std::size_t stride, const std::uint8_t* previous,
                        std::size_t length) {
    const std::size_t pixels = length / Bpp;
    RowCursor<Bpp> rows[4];
    for (int k = 0; k < 4; ++k) rows[k] = RowCursor<Bpp>(first + k * stride, length);
    const __m128i all = _mm_set1_epi32(-1), upper = _mm_setr_epi32(0, 0, -1, -1);
    PaethStep top, bottom;  // rows 0-1, rows 2-3; 16-bit lanes 0-3 and 4-7
    __m128i xTop = _mm_setzero_si128(), xBottom = _mm_setzero_si128();
    for (std::size_t t = 0; t < pixels + 3; ++t) {
        const __m128i rawTop = _mm_unpacklo_epi32(rows[0].Raw(), rows[1].Raw());
        const __m128i rawBottom = _mm_unpacklo_epi32(rows[2].Raw(), rows[3].Raw());
        const __m128i upTop =
            _mm_unpacklo_epi32(AboveFirstRow<Bpp>(previous, length, t, pixels), xTop);
        const __m128i upBottom = _mm_unpacklo_epi32(_mm_srli_si128(xTop, 4), xBottom);
        xTop = top.Next(rawTop, upTop);
        xBottom = bottom.Next(rawBottom, upBottom);
        if (t == 0) top.Restart(upper);
        if (t < 2) bottom.Restart(all);
        if (t == 2) bottom.Restart(upper);
        StoreActive<Bpp>(rows, t, pixels, xTop, xBottom);
    }
}

// N rows of Average (paeth false) or Paeth together.
template <unsigned Bpp, int N>
void UnfilterPixelGroup(bool paeth, std::uint8_t* first, std::size_t stride,
                        const std::uint8_t* previous, std::size_t length) {
    if (!paeth)
        UnfilterPixelRows<AverageStep, Bpp, N>(first, stride, previous, length);
    else if (N == 4 && length >= Bpp)
        UnfilterPaethRows4<Bpp>(first, stride, previous, length);
    else
        UnfilterPixelRows<PaethStep, Bpp, N>(first, stride, previous, length);
}

template <unsigned Bpp>
void UnfilterRowSimd(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                     std::size_t length) {
    if (type == PngFilterSub || (type == PngFilterPaeth && !previous))
        UnfilterPixels<SubStep, Bpp>(row, nullptr, length);
    else if (type == PngFilterAverage && previous)
        UnfilterPixels<AverageStep, Bpp>(row, previous, length);
    else if (type == PngFilterPaeth)
        UnfilterPixels<PaethStep, Bpp>(row, previous, length);
    else
        UnfilterFor<Bpp>(type, row, previous, length);
}

#endif

// Unfilters N rows (2 to 4) of one type together where a fast path exists
// for the type and pixel distance; false, with nothing done, otherwise.
template <int N>
bool UnfilterRowGroup(std::uint8_t type, std::uint8_t* first, std::size_t stride,
                      const std::uint8_t* previous, std::size_t length, unsigned bpp) {
    const bool average = type == PngFilterAverage, paeth = type == PngFilterPaeth;
    if (!average && !paeth) return false;
    if (bpp == 1) {
        if (average)
            UnfilterByteRows<AverageByte, N>(first, stride, previous, length);
        else
            UnfilterByteRows<PaethByte, N>(first, stride, previous, length);
        return true;
    }
#if defined(__SSE2__)
    if (bpp == 3 || bpp == 4) {
        (bpp == 3 ? UnfilterPixelGroup<3, N> : UnfilterPixelGroup<4, N>)(paeth, first, stride,
                                                                         previous, length);
        return true;
    }
#endif
    return false;
}

}  // namespace

void UnfilterRows(std::uint8_t type, std::uint8_t* first, std::size_t stride, std::size_t count,
                  const std::uint8_t* previous, std::size_t length, unsigned bpp) {
    std::uint8_t* row = first;
    while (count > 0) {
        std::size_t done = 1;
        if (previous && count >= 4 && UnfilterRowGroup<4>(type, row, stride, previous, length, bpp))
            done = 4;
        else if (previous && count == 3 &&
                 UnfilterRowGroup<3>(type, row, stride, previous, length, bpp))
            done = 3;
        else if (previous && count == 2 &&
                 UnfilterRowGroup<2>(type, row, stride, previous, length, bpp))
            done = 2;
        else
            UnfilterRow(type, row, previous, length, bpp);
        row += done * stride;
        previous = row - stride;
        count -= done;
    }
}

void UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, unsigned bpp) {
    switch (bpp) {
        case 1:
            UnfilterFor<1>(type, row, previous, length);
            break;
        case 2:
            UnfilterFor<2>(type, row, previous, length);
            break;
        case 3:
#if defined(__SSE2__)
            UnfilterRowSimd<3>(type, row, previous, length);
#else
            UnfilterFor<3>(type, row, previous, length);
#endif
            break;
        case 4:
#if defined(__SSE2__)
            UnfilterRowSimd<4>(type, row, previous, length);
#else
            UnfilterFor<4>(type, row, previous, length);
#endif
            break;
        case 6:
            UnfilterFor<6>(type, row, previous, length);
            break;
        case 8:
            UnfilterFor<8>(type, row, previous, length);
            break;
        default:
            break;
    }
}

void FilterRowInPlace(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                      std::size_t length, unsigned bpp) {
    if (type == PngFilterNone || length == 0) return;
    // From the last byte to the first: row[i - bpp] is still unfiltered.
    for (std::size_t i = length; i-- > 0;) {
        const int left = i >= bpp ? row[i - bpp] : 0;
        const int up = previous ? previous[i] : 0;
        int predictor = 0;
        switch (type) {
            case PngFilterSub:
                predictor = left;
                break;
            case PngFilterUp:
                predictor = up;
                break;
            case PngFilterAverage:
                predictor = (left + up) >> 1;
                break;
            default:
                predictor = PaethPredictor(left, up, previous && i >= bpp ? previous[i - bpp] : 0);
        }
        row[i] = static_cast<std::uint8_t>(row[i] - predictor);
    }
}

std::uint8_t ChooseFilterEstimate(const std::uint8_t* row, std::size_t length, unsigned bpp) {
    std::uint64_t none = 0, sub = 0, average = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned left = i >= bpp ? row[i - bpp] : 0;
        none += row[i];
        sub += static_cast<std::uint8_t>(row[i] - left);
        average += static_cast<std::uint8_t>(row[i] - (left >> 1));
    }
    std::uint8_t best = PngFilterNone;
    std::uint64_t bestCost = none;
    if (sub < bestCost) {
        best = PngFilterSub;
        bestCost = sub;
    }
    if (average < bestCost) best = PngFilterAverage;
    return best;
}
