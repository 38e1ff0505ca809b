#include "formats/png/png_filter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The pixel distance is a template parameter so that every loop below is
// compiled for its width and its inner loop disappears.
template <unsigned Bpp>
void UnfilterSub(std::uint8_t* row, std::size_t length) {
    for (std::size_t i = Bpp; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - Bpp]);
}

void UnfilterUp(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
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
    if (length <= Bpp) return;
    // Pixel by pixel, keeping left and upper-left in registers; each channel is
    // independent, and the compiler unrolls the channel loop for a fixed Bpp.
    std::uint8_t* out = row + Bpp;
    const std::uint8_t* up = previous + Bpp;
    const std::uint8_t* upLeft = previous;
    const std::uint8_t* left = row;
    for (std::size_t n = length - Bpp; n >= Bpp; n -= Bpp) {
        for (unsigned k = 0; k < Bpp; ++k) {
            int a = left[k], b = up[k], c = upLeft[k];
            int pa = b - c, pb = a - c;
            int pc = pa + pb;
            pa = pa < 0 ? -pa : pa;
            pb = pb < 0 ? -pb : pb;
            pc = pc < 0 ? -pc : pc;
            int predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            out[k] = static_cast<std::uint8_t>(out[k] + predictor);
        }
        out += Bpp;
        up += Bpp;
        upLeft += Bpp;
        left += Bpp;
    }
}

#if defined(__SSE2__)
// Whole-pixel versions for 3 and 4 bytes per pixel (8-bit RGB and RGBA, the
// common photo formats). The predictions chain from pixel to pixel, so the
// channels of one pixel are computed side by side in 16-bit lanes instead of
// byte after byte. They give exactly the scalar results.

template <unsigned Bpp>
__m128i LoadPixel(const std::uint8_t* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, Bpp);
    return _mm_cvtsi32_si128(static_cast<int>(v));
}
template <unsigned Bpp>
void StorePixel(std::uint8_t* p, __m128i v) {
    const auto x = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    std::memcpy(p, &x, Bpp);
}

__m128i Abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}
__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <unsigned Bpp>
void UnfilterSubSimd(std::uint8_t* row, std::size_t length) {
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i + Bpp <= length; i += Bpp) {
        left = _mm_add_epi8(LoadPixel<Bpp>(row + i), left);
        StorePixel<Bpp>(row + i, left);
    }
}

template <unsigned Bpp>
void UnfilterAverageSimd(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    const __m128i one = _mm_set1_epi8(1);
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i + Bpp <= length; i += Bpp) {
        const __m128i up = previous ? LoadPixel<Bpp>(previous + i) : _mm_setzero_si128();
        // _mm_avg_epu8 rounds up; the filter rounds down.
        const __m128i average =
            _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
        left = _mm_add_epi8(LoadPixel<Bpp>(row + i), average);
        StorePixel<Bpp>(row + i, left);
    }
}

// One Paeth pixel: `a` (left) and `c` (upper left) are the running state in
// 16-bit lanes; returns nothing, stores the pixel and advances the state.
template <unsigned Bpp>
inline void PaethPixel(std::uint8_t* out, const std::uint8_t* up, __m128i& a, __m128i& c) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i b = _mm_unpacklo_epi8(LoadPixel<Bpp>(up), zero);
    __m128i pa = _mm_sub_epi16(b, c);  // |p - a| = |b - c|
    __m128i pb = _mm_sub_epi16(a, c);  // |p - b| = |a - c|
    __m128i pc = Abs16(_mm_add_epi16(pa, pb));
    pa = Abs16(pa);
    pb = Abs16(pb);
    const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    // Ties go to a, then b: exactly the standard's order of tests.
    const __m128i predictor =
        Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c));
    const __m128i x = _mm_add_epi8(LoadPixel<Bpp>(out), _mm_packus_epi16(predictor, predictor));
    StorePixel<Bpp>(out, x);
    a = _mm_unpacklo_epi8(x, zero);
    c = b;
}

template <unsigned Bpp>
void UnfilterPaethSimd(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    for (std::size_t i = 0; i + Bpp <= length; i += Bpp)
        PaethPixel<Bpp>(row + i, previous + i, a, c);
}

// Two Paeth rows at once, the second one pixel behind the first, so that the
// two chains of dependent pixels overlap in the processor.
template <unsigned Bpp>
void UnfilterPaethPairSimd(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* previous,
                           std::size_t length) {
    __m128i a1 = _mm_setzero_si128(), c1 = a1, a2 = a1, c2 = a1;
    if (length < Bpp) return;
    PaethPixel<Bpp>(first, previous, a1, c1);
    for (std::size_t i = Bpp; i + Bpp <= length; i += Bpp) {
        PaethPixel<Bpp>(first + i, previous + i, a1, c1);
        PaethPixel<Bpp>(second + i - Bpp, first + i - Bpp, a2, c2);
    }
    const std::size_t last = length - length % Bpp - Bpp;
    PaethPixel<Bpp>(second + last, first + last, a2, c2);
}
#endif

// Byte-wise Paeth (indexed and low-depth images) for two rows, the second one
// byte behind, so that the two dependency chains overlap.
inline std::uint8_t PaethByte(int a, int b, int c) {
    int pa = b - c, pb = a - c;
    int pc = pa + pb;
    pa = pa < 0 ? -pa : pa;
    pb = pb < 0 ? -pb : pb;
    pc = pc < 0 ? -pc : pc;
    return static_cast<std::uint8_t>((pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c));
}

void UnfilterPaethPairBytes(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* previous,
                            std::size_t length) {
    if (length == 0) return;
    first[0] = static_cast<std::uint8_t>(first[0] + previous[0]);
    for (std::size_t i = 1; i < length; ++i) {
        first[i] = static_cast<std::uint8_t>(first[i] +
                                             PaethByte(first[i - 1], previous[i], previous[i - 1]));
        const std::size_t j = i - 1;
        second[j] = static_cast<std::uint8_t>(
            second[j] + (j == 0 ? first[0] : PaethByte(second[j - 1], first[j], first[j - 1])));
    }
    const std::size_t j = length - 1;
    second[j] = static_cast<std::uint8_t>(
        second[j] + (j == 0 ? first[0] : PaethByte(second[j - 1], first[j], first[j - 1])));
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

}  // namespace

bool UnfilterPaethRowPair(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* previous,
                          std::size_t length, unsigned bpp) {
    if (!previous) return false;
    if (bpp == 1) {
        UnfilterPaethPairBytes(first, second, previous, length);
        return true;
    }
#if defined(__SSE2__)
    if (bpp == 4) {
        UnfilterPaethPairSimd<4>(first, second, previous, length);
        return true;
    }
    if (bpp == 3) {
        UnfilterPaethPairSimd<3>(first, second, previous, length);
        return true;
    }
#else
    (void)first, (void)second, (void)previous, (void)length, (void)bpp;
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
            UnfilterFor<3>(type, row, previous, length);
            break;
        case 4:
            UnfilterFor<4>(type, row, previous, length);
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
