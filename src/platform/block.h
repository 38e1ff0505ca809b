// Image blocks (header, pixel bits, mask) live on the malloc heap and pass their
// ownership with the call. Inside a function they are held in these types, so
// every early return frees what the function made.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/bitmap_types.h"

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

template <class T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;

using Block = MallocPtr<std::uint8_t>;     // pixel bits, mask bits, raw data
using HeaderBlock = MallocPtr<DibHeader>;  // header followed by its colour table

// A new uninitialised block, or null when the heap is exhausted. A size of 0
// still gives a distinct block.
inline Block AllocateBlock(std::size_t size) {
    return Block(static_cast<std::uint8_t*>(std::malloc(size ? size : 1)));
}
// A new block of zero bytes, or null.
inline Block AllocateZeroedBlock(std::size_t size) {
    return Block(static_cast<std::uint8_t*>(std::calloc(size ? size : 1, 1)));
}
// A new zero-filled header block of `size` bytes (at least a DibHeader), or null.
inline HeaderBlock AllocateHeaderBlock(std::size_t size) {
    if (size < sizeof(DibHeader)) size = sizeof(DibHeader);
    return HeaderBlock(static_cast<DibHeader*>(std::calloc(size, 1)));
}

// A new block for a large image that is about to be written in full, zeroed
// when asked, or null. Where the system offers transparent huge pages, the
// part of the block that covers whole huge pages is advised to use them: a
// 64 MiB image is then mapped by 32 page faults instead of 16384, which costs
// more than decoding the pixels on some machines. Freed with free() as usual.
Block AllocateImageBlock(std::size_t size, bool zeroed = false);
