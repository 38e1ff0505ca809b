// Grayscale of an image by one of four gray-level methods, optionally leaving one
// colour untouched. Palette images change only their colour table; 16-, 24- and
// 32-bit images change their pixels (alpha is kept); masks are not involved.
#pragma once

#include <cstdint>
#include <optional>

#include "core/image_result.h"
#include "platform/block.h"
#include "platform/raster.h"

enum GrayscaleMethod : int {
    kGrayLightness = 0,  // (max + min) / 2
    kGrayAverage = 1,    // (R + G + B) / 3
    kGrayLumaTv = 2,     // 0.299, 0.587, 0.114
    kGrayLumaBt709 = 3,  // 0.2126, 0.7152, 0.0722
};
constexpr int kGrayscaleMethodCount = 4;

// The gray level 0-255 of a colour (channels 0-255) by a method of the list. The
// luma methods work in single precision, each channel times its coefficient,
// summed red, green, blue, truncated: (37, 37, 37) gives 36 by Luma (TV). A
// method outside the list gives 0.
int GrayLevel(int red, int green, int blue, int method);

// What the Grayscale dialog holds: the method (nullopt when none is selected:
// the picture stays as it is) and the colour to preserve, as 0x00BBGGRR.
struct GrayscaleChoice {
    std::optional<int> method = kGrayLumaBt709;
    bool preserve = false;
    ColorRef preserved = RgbColor(0, 0, 0);
};

// Makes the grayscale of an image: a copy of its header block (header and colour
// table) and of its pixel block, of the same sizes. A palette image gets every
// table entry (biClrUsed, or the depth's full count when 0) grayed and keeps its
// indices; a 24- or 32-bit pixel gets its red, green and blue set to the gray
// level, alpha untouched; a 16-bit 5-5-5 pixel is read as 8-bit channels with the
// low 3 bits 0 and stored as (level / 8) x 1057 (the top bit cleared). Entries and
// pixels whose red, green and blue equal the preserved colour (16-bit ones by that
// 8-bit reading) are left as they are when `preserve` is set.
//
// On ImageOk both out-slots receive new blocks; otherwise nothing is handed out.
// ImageInvalidArg: a missing argument, a method outside the list, not an image
// of a supported depth. ImageUnsupported: a compressed image. ImageOutOfMemory.
ImageResult GrayscaleImage(const DibHeader* source, const std::uint8_t* sourceBits,
                           const GrayscaleChoice& choice, HeaderBlock* outHeader, Block* outBits);

// The colour a click at picture point (x, y) picks as the preserved colour: the
// pixel as the grayscale reads it (palette entry, 16-bit channels with their low
// 3 bits 0), as 0x00BBGGRR; black outside the picture.
ColorRef GrayscalePickColor(const DibHeader* header, const std::uint8_t* bits, int x, int y);
