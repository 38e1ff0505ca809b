// The bytes of a block, for comparisons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> BlockBytes(const void* block, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(block);
    return std::vector<std::uint8_t>(p, p + size);
}
