// A blank picture of a chosen size and depth.
#pragma once

#include <cstdint>

#include "platform/block.h"
#include "core/image_result.h"

// Makes a bottom-up picture of width x height at `bitCount` with a 40-byte
// header and, for 1, 4 and 8 bits, the default colour table (black and white,
// the fixed 16 colours, the halftone palette), every pixel byte 0xFF: palette
// index 1, 15 or 255, 16-bit 0xFFFF, 24-bit white, 32-bit white with alpha 255.
// ImageInvalidArg for null outputs, a width or height below 1 or a depth other
// than 1, 4, 8, 16, 24 or 32; ImageOutOfMemory when the pixel block would exceed
// kMaxImageBytes (checked before anything is allocated) or a block cannot be
// made. Both outputs are null unless the result is ImageOk.
ImageResult MakeEmptyBitmap(std::int32_t width, std::int32_t height, unsigned bitCount,
                            HeaderBlock* outHeader, Block* outBits);
