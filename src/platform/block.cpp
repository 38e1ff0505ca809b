#include "platform/block.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

void AdviseHugePages([[maybe_unused]] void* start, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size < kHugePageSize) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (begin + kHugePageSize - 1) & ~(kHugePageSize - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePageSize - 1);
    // Only advice: where the kernel declines, the block simply keeps small pages.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace

Block AllocateImageBlock(std::size_t size, bool zeroed) {
    // A large uninitialised block starts on a huge page and ends on one, so that
    // no part of it is left to small pages; at most one huge page is unused.
    if (!zeroed && size >= 4 * kHugePageSize && size <= SIZE_MAX - kHugePageSize) {
        const std::size_t rounded = (size + kHugePageSize - 1) & ~(kHugePageSize - 1);
        Block block(static_cast<std::uint8_t*>(std::aligned_alloc(kHugePageSize, rounded)));
        if (block) AdviseHugePages(block.get(), rounded);
        return block;
    }
    Block block = zeroed ? AllocateZeroedBlock(size) : AllocateBlock(size);
    if (block) AdviseHugePages(block.get(), size);
    return block;
}
