// Text conversions for the names stored in Photoshop documents.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// UTF-16 big-endian code units (an even number of bytes) as UTF-8. Unpaired
// surrogates become U+FFFD; trailing NUL characters are dropped.
std::string Utf16BigEndianToUtf8(std::span<const std::uint8_t> text);
