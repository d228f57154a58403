#include "platform/huge_pages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace qv {

namespace {

size_t RoundUp(size_t Size) {
    if (Size > std::numeric_limits<size_t>::max() - HugePageSize) throw std::bad_alloc();
    return (Size + HugePageSize - 1) & ~(HugePageSize - 1);
}

}  // namespace

#if defined(__linux__)

void* AllocateHugeBlock(size_t Size, bool HugePages) {
    const size_t size = RoundUp(Size);
    // Mapping one huge page more than needed leaves room to align; the
    // unaligned ends are given back at once.
    const size_t span = size + HugePageSize;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + HugePageSize - 1) & ~(uintptr_t(HugePageSize) - 1);
    if (aligned > start) munmap(raw, aligned - start);
    if (const uintptr_t end = start + span, used = aligned + size; end > used)
        munmap(reinterpret_cast<void*>(used), end - used);
    // Only advice: a kernel without huge pages maps small ones.
    madvise(reinterpret_cast<void*>(aligned), size, HugePages ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeHugeBlock(void* Block, size_t Size) noexcept {
    if (Block) munmap(Block, RoundUp(Size));
}

#else

void* AllocateHugeBlock(size_t Size, bool) {
    const size_t size = RoundUp(Size);
    void* block = std::aligned_alloc(HugePageSize, size);
    if (!block) throw std::bad_alloc();
    std::memset(block, 0, size);
    return block;
}

void FreeHugeBlock(void* Block, size_t) noexcept { std::free(Block); }

#endif

}  // namespace qv
