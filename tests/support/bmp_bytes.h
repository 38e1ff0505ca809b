// Hand-made BMP files for tests.
#pragma once

#include <cstdint>
#include <vector>

// A bottom-up 24-bit BMP of width x height pixels, every pixel (b, g, r).
std::vector<std::uint8_t> MakeBmp24(int width, int height, std::uint8_t b = 0, std::uint8_t g = 0,
                                    std::uint8_t r = 0);
