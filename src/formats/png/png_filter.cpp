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
        const __m128i x = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
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

// Byte-wise Average and Paeth of two rows at once (indexed, gray and low-depth
// images), the second row one byte behind the first, so that the two chains of
// dependent bytes overlap in the processor.
struct AverageByte {
    static std::uint8_t Predict(int left, int up, int) {
        return static_cast<std::uint8_t>((left + up) >> 1);
    }
};
struct PaethByte {
    static std::uint8_t Predict(int left, int up, int upLeft) {
        return PaethPredictor(left, up, upLeft);
    }
};

// Each row's left and upper-left bytes stay in registers: read back from
// memory, every byte would wait for the store of the byte before it.
template <class Filter>
void UnfilterBytePair(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* previous,
                      std::size_t length) {
    if (length == 0) return;
    int left1 = static_cast<std::uint8_t>(first[0] + Filter::Predict(0, previous[0], 0));
    int upLeft1 = previous[0];
    first[0] = static_cast<std::uint8_t>(left1);
    int left2 = 0, upLeft2 = 0;
    for (std::size_t i = 1; i < length; ++i) {
        const int up1 = previous[i];
        const int x1 = static_cast<std::uint8_t>(first[i] + Filter::Predict(left1, up1, upLeft1));
        first[i] = static_cast<std::uint8_t>(x1);
        const int up2 = left1;  // the upper row's byte i - 1
        const int x2 =
            static_cast<std::uint8_t>(second[i - 1] + Filter::Predict(left2, up2, upLeft2));
        second[i - 1] = static_cast<std::uint8_t>(x2);
        left1 = x1;
        upLeft1 = up1;
        left2 = x2;
        upLeft2 = up2;
    }
    second[length - 1] = static_cast<std::uint8_t>(second[length - 1] +
                                                   Filter::Predict(left2, left1, upLeft2));
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

// Walks one row pixel by pixel, its next filtered pixel read ahead.
template <class Step, unsigned Bpp>
class PixelWalker {
public:
    PixelWalker(std::uint8_t* row, std::size_t length)
        : row_(row), length_(length), raw_(LoadPixel<Bpp>(row, length >= 4)) {}

    // Unfilters the next pixel given the unfiltered pixel above it; returns it.
    __m128i Next(__m128i up) {
        const std::size_t ahead = at_ + Bpp;
        const bool last = ahead + Bpp > length_;
        const __m128i nextRaw =
            last ? _mm_setzero_si128() : LoadPixel<Bpp>(row_ + ahead, ahead + 4 <= length_);
        const __m128i x = step_.Next(raw_, up);
        StorePixel<Bpp>(row_ + at_, x, !last);
        raw_ = nextRaw;
        at_ = ahead;
        return x;
    }

private:
    std::uint8_t* row_;
    std::size_t length_;
    std::size_t at_ = 0;
    __m128i raw_;
    Step step_;
};

template <class Step, unsigned Bpp>
void UnfilterPixels(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    if (length < Bpp) return;
    PixelWalker<Step, Bpp> walker(row, length);
    for (std::size_t i = 0; i + Bpp <= length; i += Bpp)
        walker.Next(previous ? LoadPixel<Bpp>(previous + i, i + 4 <= length)
                             : _mm_setzero_si128());
}

// Two rows at once, the second one pixel behind the first, so that the two
// chains of dependent pixels overlap in the processor. The second row takes the
// pixels above it from the first row's results, not from memory.
template <class Step, unsigned Bpp>
void UnfilterPixelPair(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* previous,
                       std::size_t length) {
    if (length < Bpp) return;
    PixelWalker<Step, Bpp> upper(first, length), lower(second, length);
    __m128i above = upper.Next(LoadPixel<Bpp>(previous, length >= 4));
    for (std::size_t i = Bpp; i + Bpp <= length; i += Bpp) {
        const __m128i x = upper.Next(LoadPixel<Bpp>(previous + i, i + 4 <= length));
        lower.Next(above);
        above = x;
    }
    lower.Next(above);
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

template <unsigned Bpp>
bool UnfilterPixelPairFor(std::uint8_t type, std::uint8_t* first, std::uint8_t* second,
                          const std::uint8_t* previous, std::size_t length) {
    if (type == PngFilterAverage)
        UnfilterPixelPair<AverageStep, Bpp>(first, second, previous, length);
    else if (type == PngFilterPaeth)
        UnfilterPixelPair<PaethStep, Bpp>(first, second, previous, length);
    else
        return false;
    return true;
}
#endif

}  // namespace

bool UnfilterRowPair(std::uint8_t type, std::uint8_t* first, std::uint8_t* second,
                     const std::uint8_t* previous, std::size_t length, unsigned bpp) {
    if (!previous) return false;
    if (bpp == 1) {
        if (type == PngFilterAverage)
            UnfilterBytePair<AverageByte>(first, second, previous, length);
        else if (type == PngFilterPaeth)
            UnfilterBytePair<PaethByte>(first, second, previous, length);
        else
            return false;
        return true;
    }
#if defined(__SSE2__)
    if (bpp == 4) return UnfilterPixelPairFor<4>(type, first, second, previous, length);
    if (bpp == 3) return UnfilterPixelPairFor<3>(type, first, second, previous, length);
#else
    (void)first, (void)second, (void)length;
#endif
    return false;
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
