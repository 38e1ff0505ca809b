// Plain renderings of an item's picture and mask, for comparing our decoding
// with other decoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/item.h"

// The picture as top-down rows of R, G, B, A bytes without padding: indices
// resolved through the colour table, 16-bit channels shifted left by 3, alpha 255
// below 32 bits and as stored at 32.
std::vector<std::uint8_t> PictureRgba(const DibHeader* header, const std::uint8_t* bits);
// The mask as top-down rows of one byte per pixel: 1 transparent, 0 opaque.
std::vector<std::uint8_t> MaskBytes(const DibHeader* header, const std::uint8_t* mask);
// Lower-case hexadecimal SHA-256 of the bytes.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);
