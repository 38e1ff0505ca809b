// Limits that keep a hostile file from making us allocate without bound.
#pragma once

#include <cstddef>

// The largest pixel block (or decoded image) any reader or operation makes.
constexpr std::size_t kMaxImageBytes = std::size_t{1} << 30;

// The largest file a reader loads into memory: the largest image together with a
// mask as large as itself (a 1-bit icon image) and room for headers and tables.
// A bigger file can only hold an image beyond kMaxImageBytes or bytes the reader
// never looks at, so it is refused with the reader's too-large code unread.
constexpr std::size_t kMaxImageFileBytes = 2 * kMaxImageBytes + (std::size_t{1} << 20);
