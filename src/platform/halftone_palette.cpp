#include "platform/halftone_palette.h"

namespace {

constexpr RgbQuad Rgb(int r, int g, int b) {
    return RgbQuad{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                   static_cast<std::uint8_t>(r), 0};
}

constexpr std::array<RgbQuad, 16> kFixed16 = {
    Rgb(0, 0, 0),     Rgb(128, 0, 0),   Rgb(255, 0, 0),     Rgb(0, 128, 0),
    Rgb(128, 128, 0), Rgb(0, 255, 0),   Rgb(255, 255, 0),   Rgb(0, 0, 128),
    Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(128, 128, 128), Rgb(192, 192, 192),
    Rgb(0, 0, 255),   Rgb(255, 0, 255), Rgb(0, 255, 255),   Rgb(255, 255, 255),
};

constexpr std::array<RgbQuad, 256> MakeHalftone() {
    std::array<RgbQuad, 256> palette{};
    std::size_t n = 0;
    for (const RgbQuad& q : kFixed16) palette[n++] = q;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) palette[n++] = Rgb(r * 51, g * 51, b * 51);
    for (int i = 0; i < 23; ++i) palette[n++] = Rgb(8 + 10 * i, 8 + 10 * i, 8 + 10 * i);
    palette[n++] = Rgb(255, 255, 255);
    return palette;
}

constexpr std::array<RgbQuad, 256> kHalftone = MakeHalftone();

}  // namespace

const std::array<RgbQuad, 256>& HalftonePalette() {
    return kHalftone;
}
const std::array<RgbQuad, 16>& Fixed16Palette() {
    return kFixed16;
}
