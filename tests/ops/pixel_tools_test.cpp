#include "ops/pixel_tools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A top-down image with a colour table, its rows drawn from strings of hex
// digits (one digit per pixel: the index, or for 24/32 bits a colour from
// `colors`).
struct Image {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> bits;
    Image(int width, int height, unsigned bitCount, std::vector<RgbQuad> palette = {}) {
        DibHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = -height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<std::uint16_t>(bitCount);
        h.biClrUsed = static_cast<std::uint32_t>(palette.size());
        header.resize(40 + 4 * palette.size());
        std::memcpy(header.data(), &h, 40);
        if (!palette.empty()) std::memcpy(header.data() + 40, palette.data(), 4 * palette.size());
        bits.assign(RasterStride(width, bitCount) * static_cast<std::size_t>(height), 0);
    }
    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(header.data()); }
    RasterSurface Surface() { return *RasterSurface::Over(Header(), bits.data(), bits.size()); }
    RasterImage View() const { return *RasterImage::Describe(Header(), bits.data(), bits.size()); }
    // The picture as rows of index digits (indexed depths).
    std::vector<std::string> Indices() {
        RasterSurface s = Surface();
        std::vector<std::string> rows;
        for (int y = 0; y < s.Height(); ++y) {
            std::string row;
            for (int x = 0; x < s.Width(); ++x) row += "0123456789ABCDEF"[s.RawPixel(x, y) & 15];
            rows.push_back(row);
        }
        return rows;
    }
    void SetIndices(const std::vector<std::string>& rows) {
        RasterSurface s = Surface();
        for (int y = 0; y < static_cast<int>(rows.size()); ++y)
            for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
                s.SetRawPixel(
                    x, y,
                    static_cast<std::uint32_t>(std::stoi(std::string(1, rows[y][x]), nullptr, 16)));
    }
};

RgbQuad Q(int r, int g, int b) {
    return {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(r), 0};
}

const std::vector<RgbQuad> kFour = {Q(0, 0, 0), Q(255, 0, 0), Q(0, 255, 0), Q(250, 250, 250)};

TEST(PencilStroke, LineIncludesItsEndAndRestartsAfterLeavingThePicture) {
    Image image(8, 4, 4, kFour);
    RasterSurface s = image.Surface();
    PencilStroke stroke;
    // Near-red (240, 10, 10) stores as entry 1.
    const ColorRef red = RgbColor(240, 10, 10);
    stroke.Begin(s, 0, 0, red);
    stroke.MoveTo(s, 3, 0, red);
    stroke.MoveTo(s, 3, 2, red);
    stroke.MoveTo(s, -1, 3, red);  // leaves the picture
    stroke.MoveTo(s, 7, 3, red);   // comes back: a new stroke, no line across
    stroke.MoveTo(s, 6, 3, red);
    EXPECT_EQ(image.Indices(), (std::vector<std::string>{"11110000",  //
                                                         "00010000",  //
                                                         "00010000",  //
                                                         "00000011"}));
}

TEST(PencilStroke, StoresColoursAsEachDepthHoldsThemOpaqueOnThirtyTwoBits) {
    struct Case {
        unsigned bits;
        std::uint32_t stored;
    } cases[] = {{16, (30u << 10) | (4u << 5) | 1u}, {24, 0xF72209u}, {32, 0xFFF72209u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Image image(2, 1, c.bits);
        RasterSurface s = image.Surface();
        PencilStroke stroke;
        stroke.Begin(s, 1, 0, RgbColor(0xF7, 0x22, 0x09));
        EXPECT_EQ(s.RawPixel(1, 0), c.stored);
        EXPECT_EQ(s.RawPixel(0, 0), 0u);
        FillArea(s, 0, 0, RgbColor(0xF7, 0x22, 0x09));
        EXPECT_EQ(s.RawPixel(0, 0), c.stored);
    }
}

TEST(FillArea, FillsTheConnectedAreaOfTheClickedColourOnly) {
    Image image(6, 4, 8, kFour);
    image.SetIndices({"002000",  //
                      "022000",  //
                      "200020",  //
                      "000200"});
    RasterSurface s = image.Surface();
    FillArea(s, 5, 0, RgbColor(255, 255, 255));  // nearest: entry 3
    // The top-left zeros are walled in by the 2s; the diagonal step at the
    // bottom right does not stop the fill, which goes round through (5, 2).
    EXPECT_EQ(image.Indices(), (std::vector<std::string>{"002333",  //
                                                         "022333",  //
                                                         "233323",  //
                                                         "333233"}));
    FillArea(s, -1, 0, RgbColor(0, 0, 0));  // outside: nothing
    EXPECT_EQ(image.Indices()[0], "002333");
}

TEST(PickColor, ReadsThroughTheColourTable) {
    Image image(2, 1, 8, kFour);
    image.SetIndices({"03"});
    EXPECT_EQ(PickColor(image.View(), 1, 0), RgbColor(250, 250, 250));
    EXPECT_FALSE(PickColor(image.View(), 2, 0));
}

TEST(InvertPixels, IndicesForIndexedImagesColourBytesForThirtyTwo) {
    Image four(3, 2, 4, kFour);
    four.SetIndices({"012", "300"});
    const std::vector<std::uint8_t> table(four.header.begin() + 40, four.header.end());
    ASSERT_TRUE(InvertPixels(four.Header(), four.bits.data(), four.bits.size()));
    EXPECT_EQ(four.Indices(), (std::vector<std::string>{"FED", "CFF"}));
    // Padding is inverted too: the rows are whole words.
    EXPECT_EQ(four.bits[3], 0xFF);
    EXPECT_EQ(std::vector<std::uint8_t>(four.header.begin() + 40, four.header.end()), table);

    Image eight(1, 1, 8, kFour);
    ASSERT_TRUE(InvertPixels(eight.Header(), eight.bits.data(), eight.bits.size()));
    EXPECT_EQ(eight.bits[0], 255);

    Image rgba(2, 1, 32);
    rgba.bits = {30, 20, 10, 200, 0, 0, 0, 0};
    ASSERT_TRUE(InvertPixels(rgba.Header(), rgba.bits.data(), rgba.bits.size()));
    EXPECT_EQ(rgba.bits, (std::vector<std::uint8_t>{225, 235, 245, 200, 255, 255, 255, 0}));

    Image rgb(1, 1, 24);
    rgb.bits = {1, 2, 3, 4};
    ASSERT_TRUE(InvertPixels(rgb.Header(), rgb.bits.data(), rgb.bits.size()));
    EXPECT_EQ(rgb.bits, (std::vector<std::uint8_t>{254, 253, 252, 251}));
    EXPECT_FALSE(InvertPixels(rgb.Header(), rgb.bits.data(), 3));  // short block
}

}  // namespace
