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

// Two rows reversed together equal the two reversed one after the other.
TEST(PngFilter, RowPairMatchesSingleRows) {
    std::uint32_t state = 9;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (std::uint8_t type : {PngFilterAverage, PngFilterPaeth}) {
        for (unsigned bpp : {1u, 3u, 4u}) {
            for (std::size_t pixels : {std::size_t{1}, std::size_t{2}, std::size_t{61}}) {
                SCOPED_TRACE(::testing::Message() << "type " << int(type) << ", bpp " << bpp << ", "
                                                  << pixels << " pixels");
                const std::size_t length = pixels * bpp;
                std::vector<std::uint8_t> above(length), first(length), second(length);
                for (auto* v : {&above, &first, &second})
                    for (auto& b : *v) b = next();
                std::vector<std::uint8_t> one = first, two = second;
                UnfilterRow(type, one.data(), above.data(), length, bpp);
                UnfilterRow(type, two.data(), one.data(), length, bpp);
                if (!UnfilterRowPair(type, first.data(), second.data(), above.data(), length, bpp))
                    GTEST_SKIP() << "no paired path on this processor";
                EXPECT_EQ(first, one);
                EXPECT_EQ(second, two);
            }
        }
    }
    std::vector<std::uint8_t> row(8);
    EXPECT_FALSE(UnfilterRowPair(PngFilterPaeth, row.data(), row.data(), nullptr, 8, 4));
    EXPECT_FALSE(UnfilterRowPair(PngFilterPaeth, row.data(), row.data(), row.data(), 8, 2));
    EXPECT_FALSE(UnfilterRowPair(PngFilterSub, row.data(), row.data(), row.data(), 8, 4));
}

TEST(PngFilter, PaethPredictorTies) {
    EXPECT_EQ(PaethPredictor(10, 10, 10), 10);    // all equal: left
    EXPECT_EQ(PaethPredictor(5, 9, 7), 7);        // p = 7: upper-left is exact
    EXPECT_EQ(PaethPredictor(8, 4, 6), 6);        // p = 6: upper-left exact, left and up 2 away
    EXPECT_EQ(PaethPredictor(0, 200, 100), 100);  // p = 100
    EXPECT_EQ(PaethPredictor(3, 200, 0), 200);    // p = 203: up is nearest
}
