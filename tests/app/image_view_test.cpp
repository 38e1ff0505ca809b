#include "app/image_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(ImageZoom, StepsFloorCeilingAndFitStops) {
    const ZoomFrame small{10, 10, 400, 400};      // fits at every zoom up to 40
    const ZoomFrame large{1000, 1000, 400, 400};  // fit zoom 0.4
    const ZoomFrame wide{100, 50, 400, 400};      // fit zoom 4
    struct Case {
        const char* name;
        bool in;
        float from;
        ZoomFrame frame;
        std::optional<float> to;
    } cases[] = {
        {"in from 9.5", true, 9.5f, small, 10.0f},
        {"in at the ceiling", true, 10.0f, small, std::nullopt},
        {"in below 0.5", true, 0.12f, small, 0.5f},
        {"in from 0.3", true, 0.3f, small, 0.5f},
        {"in from 1", true, 1.0f, small, 1.5f},
        {"out from 0.5", false, 0.5f, small, 0.12f},
        {"out at the floor", false, 0.12f, small, std::nullopt},
        {"out from 3", false, 3.0f, small, 2.5f},
        {"out large from 1", false, 1.0f, large, 0.5f},
        {"out large stops at fit", false, 0.5f, large, 0.4f},
        {"out large from fit", false, 0.4f, large, 0.12f},
        {"in large crosses fit", true, 0.12f, large, 0.4f},
        {"in large from fit", true, 0.4f, large, 0.5f},
        {"in wide stops at fit", true, 3.5f, wide, 4.0f},
        {"in wide from fit", true, 4.0f, wide, 4.5f},
        // Larger across only: zooming out is not from "larger in both".
        {"out wide", false, 4.5f, wide, 4.0f},
        {"out wide 6", false, 6.0f, wide, 5.5f},
        {"in without image", true, 1.0f, ZoomFrame{}, 1.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto to = c.in ? ZoomInStep(c.from, c.frame) : ZoomOutStep(c.from, c.frame);
        ASSERT_EQ(to.has_value(), c.to.has_value());
        if (to) {
            EXPECT_FLOAT_EQ(*to, *c.to);
        }
    }
    EXPECT_FLOAT_EQ(*FitZoom(large), 0.4f);
    EXPECT_FALSE(FitZoom(ZoomFrame{0, 1, 1, 1}));
}

// A header block of `bitCount` bits with a colour table, and its pixel rows.
struct Picture {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> bits;
    Picture(int width, int height, unsigned bitCount, int colors) {
        header.assign(40 + 4 * static_cast<std::size_t>(colors), 0);
        DibHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<std::uint16_t>(bitCount);
        h.biClrUsed = static_cast<std::uint32_t>(colors);
        std::memcpy(header.data(), &h, 40);
        bits.assign(static_cast<std::size_t>(((width * static_cast<int>(bitCount) + 31) / 32) * 4 *
                                             (height < 0 ? -height : height)),
                    0);
    }
    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(header.data()); }
};

TEST(ImageViewTexts, PixelInformationByDepthAndTheSizeLabel) {
    Picture indexed(2, 1, 8, 3);
    indexed.header[40 + 4 * 2 + 0] = 30;  // entry 2: blue 30, green 20, red 10
    indexed.header[40 + 4 * 2 + 1] = 20;
    indexed.header[40 + 4 * 2 + 2] = 10;
    indexed.bits[1] = 2;
    EXPECT_EQ(PixelInfoText(indexed.Header(), indexed.bits.data(), 1, 0),
              "RGB: 10, 20, 30, Idx: 2");
    EXPECT_EQ(PixelInfoText(indexed.Header(), indexed.bits.data(), 0, 0), "RGB: 0, 0, 0, Idx: 0");
    EXPECT_EQ(PixelInfoText(indexed.Header(), indexed.bits.data(), 2, 0), "");

    Picture rgb(1, 1, 24, 0);
    rgb.bits = {3, 2, 1, 0};
    EXPECT_EQ(PixelInfoText(rgb.Header(), rgb.bits.data(), 0, 0), "RGB: 1, 2, 3");

    Picture rgba(1, -1, 32, 0);
    rgba.bits = {30, 20, 10, 200};
    EXPECT_EQ(PixelInfoText(rgba.Header(), rgba.bits.data(), 0, 0), "RGBA: 10, 20, 30, 200");
    EXPECT_EQ(ImageSizeLabel(rgba.Header()), "1x-1, 32-bit");
}

}  // namespace
