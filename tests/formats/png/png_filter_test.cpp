#include "formats/png/png_filter.h"

#include <gtest/gtest.h>

#include <vector>

// Filtering then unfiltering gives the row back, for every type and pixel
// distance, with and without a row above; the whole-pixel fast paths of the
// decoder are checked against the encoder's byte-wise filter this way.
TEST(PngFilter, UnfilterInvertsFilter) {
    std::uint32_t state = 1;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (unsigned bpp : {1u, 2u, 3u, 4u, 6u, 8u}) {
        for (std::size_t pixels : {std::size_t{1}, std::size_t{2}, std::size_t{37}}) {
            const std::size_t length = pixels * bpp;
            for (std::uint8_t type = 0; type <= 4; ++type) {
                for (bool withAbove : {false, true}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "bpp " << bpp << ", " << pixels << " pixels, type " << int(type)
                                 << (withAbove ? "" : ", first row"));
                    std::vector<std::uint8_t> above(length), row(length);
                    for (auto& b : above) b = next();
                    for (auto& b : row) b = next();
                    std::vector<std::uint8_t> work = row;
                    FilterRowInPlace(type, work.data(), withAbove ? above.data() : nullptr, length,
                                     bpp);
                    UnfilterRow(type, work.data(), withAbove ? above.data() : nullptr, length, bpp);
                    ASSERT_EQ(work, row);
                }
            }
        }
    }
    // A type above 4 changes nothing.
    std::vector<std::uint8_t> row = {1, 2, 3};
    UnfilterRow(9, row.data(), nullptr, row.size(), 1);
    EXPECT_EQ(row, (std::vector<std::uint8_t>{1, 2, 3}));
}

// Runs of rows reversed together equal the rows reversed one after the other,
// for the run lengths that take the grouped paths (4, 2, the rest singly).
TEST(PngFilter, RowRunsMatchSingleRows) {
    std::uint32_t state = 9;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (std::uint8_t type = 0; type <= 4; ++type) {
        for (unsigned bpp : {1u, 2u, 3u, 4u}) {
            for (std::size_t pixels : {std::size_t{1}, std::size_t{2}, std::size_t{61}}) {
                for (bool withAbove : {false, true}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "type " << int(type) << ", bpp " << bpp << ", " << pixels
                                 << " pixels" << (withAbove ? "" : ", first rows"));
                    const std::size_t length = pixels * bpp, stride = length + 1, count = 7;
                    std::vector<std::uint8_t> above(length), rows(count * stride);
                    for (auto& b : above) b = next();
                    for (auto& b : rows) b = next();
                    const std::uint8_t* top = withAbove ? above.data() : nullptr;
                    std::vector<std::uint8_t> expected = rows;
                    for (std::size_t r = 0; r < count; ++r)
                        UnfilterRow(type, &expected[r * stride],
                                    r ? &expected[(r - 1) * stride] : top, length, bpp);
                    UnfilterRows(type, rows.data(), stride, count, top, length, bpp);
                    ASSERT_EQ(rows, expected);
                }
            }
        }
    }
}

TEST(PngFilter, PaethPredictorTies) {
    EXPECT_EQ(PaethPredictor(10, 10, 10), 10);    // all equal: left
    EXPECT_EQ(PaethPredictor(5, 9, 7), 7);        // p = 7: upper-left is exact
    EXPECT_EQ(PaethPredictor(8, 4, 6), 6);        // p = 6: upper-left exact, left and up 2 away
    EXPECT_EQ(PaethPredictor(0, 200, 100), 100);  // p = 100
    EXPECT_EQ(PaethPredictor(3, 200, 0), 200);    // p = 203: up is nearest
}
