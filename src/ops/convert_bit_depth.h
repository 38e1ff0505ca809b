// Conversion of an image to another bit depth.
#pragma once

#include <cstdint>

#include "platform/block.h"
#include "core/image_result.h"
#include "platform/raster.h"

// Makes a new image of `targetDepth` (1, 4, 8, 16, 24 or 32) bits per pixel from
// the source by drawing it onto a surface of the target format: a 40-byte header
// with the source's width and signed height (the row order is kept), the default
// colour table of the depth (black and white, the 16 fixed colours, the halftone
// palette - never derived from the image), every colour matched to the nearest
// table entry or cut to 5-5-5. A 32-bit source is first composited over
// `background` (0x00BBGGRR), so its transparency is flattened; a 32-bit result is
// fully opaque. The source is not changed.
//
// On ImageOk both out-slots receive new blocks the caller owns; otherwise nothing
// is handed out. ImageInvalidArg: a missing pointer, a target depth not in the
// list or equal to the source's, a source that is not an image of a supported
// depth. ImageUnsupported: a compressed source. ImageOutOfMemory: the result
// cannot be allocated or would exceed the image size limit.
ImageResult ConvertBitDepth(const DibHeader* source, const std::uint8_t* sourceBits,
                            int targetDepth, HeaderBlock* outHeader, Block* outBits,
                            ColorRef background);
