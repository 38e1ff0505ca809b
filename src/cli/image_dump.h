// Plain renderings of an item's picture and mask, for comparing our decoding
// with other decoders. Rows are produced one at a time, so a large picture is
// never held twice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/item.h"

using RowSink = std::function<bool(const std::uint8_t* row, std::size_t size)>;

// The picture as top-down rows of R, G, B, A bytes without padding: indices
// resolved through the colour table, 16-bit channels shifted left by 3, alpha 255
// below 32 bits and as stored at 32. Stops when the sink returns false.
bool ForEachRgbaRow(const DibHeader* header, const std::uint8_t* bits, const RowSink& sink);
// The mask as top-down rows of one byte per pixel: 1 transparent, 0 opaque.
bool ForEachMaskRow(const DibHeader* header, const std::uint8_t* mask, const RowSink& sink);

// Lower-case hexadecimal SHA-256 of the rows a producer hands out.
std::string Sha256OfRows(const std::function<bool(const RowSink&)>& produce);
