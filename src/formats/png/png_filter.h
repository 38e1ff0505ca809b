// The five PNG row filters (None, Sub, Up, Average, Paeth) in both directions.
#pragma once

#include <cstddef>
#include <cstdint>

enum PngFilterType : std::uint8_t {
    PngFilterNone = 0,
    PngFilterSub = 1,
    PngFilterUp = 2,
    PngFilterAverage = 3,
    PngFilterPaeth = 4,
};

// The Paeth predictor of the PNG standard: of left, up and upper-left, the one
// closest to left + up - upper-left, ties going to left, then up. Written as
// selections rather than branches: on photographs the outcome is unpredictable.
constexpr std::uint8_t PaethPredictor(int a, int b, int c) {
    auto magnitude = [](int v) { return v < 0 ? -v : v; };
    const int pa = magnitude(b - c), pb = magnitude(a - c);  // |p - a|, |p - b|
    const int pc = magnitude(b - c + a - c);                 // |p - c|
    const int upOrUpperLeft = pb <= pc ? b : c;
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : upOrUpperLeft);
}

// Reverses a filter in place over `length` bytes of a row (without its type
// byte). `previous` is the unfiltered row above, or null for the first row of an
// image or pass (read as zeros). `bpp` is the filter's pixel distance, 1 to 8.
// A type above 4 is treated as None.
void UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, unsigned bpp);

// Reverses the filter of `count` consecutive rows of one type, `stride` bytes
// apart, each `length` bytes long; `previous` is the unfiltered row above the
// first, or null. Gives the results of UnfilterRow row after row, but overlaps
// the work of several rows where it can (Average and Paeth at 1, 3 and 4 bytes
// per pixel), each row depending on the one above.
void UnfilterRows(std::uint8_t type, std::uint8_t* first, std::size_t stride, std::size_t count,
                  const std::uint8_t* previous, std::size_t length, unsigned bpp);

// Applies a filter in place to `length` bytes of an unfiltered row, from its
// last byte to its first, so that every prediction reads unfiltered bytes.
// `previous` is the unfiltered row above, or null (zeros).
void FilterRowInPlace(std::uint8_t type, std::uint8_t* row, const std::uint8_t* previous,
                      std::size_t length, unsigned bpp);

// The "Best" choice of a row: for each type, the sum over the row's bytes of
// (byte - predictor) modulo 256, with the predictors estimated as if the row
// above were zeros (None 0, Sub left, Up 0, Average left / 2, Paeth left). The
// cheapest type wins, the lower on equal costs; so Up and Paeth, whose estimates
// equal None's and Sub's, are never chosen.
std::uint8_t ChooseFilterEstimate(const std::uint8_t* row, std::size_t length, unsigned bpp);
