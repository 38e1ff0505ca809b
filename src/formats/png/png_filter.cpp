#include "formats/png/png_filter.h"

#include <cstring>

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
