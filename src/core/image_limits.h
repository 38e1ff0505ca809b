// Limits that keep a hostile file from making us allocate without bound.
#pragma once

#include <cstddef>

// The largest pixel block (or decoded image) any reader or operation makes.
constexpr std::size_t kMaxImageBytes = std::size_t{1} << 30;
