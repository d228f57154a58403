// Large blocks of memory backed by transparent huge pages where the system
// offers them.
//
// Fresh memory costs one page fault per 4 KiB page on first touch; for the
// tens of megabytes a large sheet needs, those faults cost more than the work
// done in the memory. A block taken here is aligned to HugePageSize and asks
// the kernel for 2 MiB pages, so one fault maps 512 small pages' worth.
// Where huge pages are not available the blocks are ordinary aligned memory.
#pragma once

#include <cstddef>
#include <limits>
#include <new>

namespace qv {

constexpr size_t HugePageSize = size_t(2) << 20;

// Size is rounded up to a multiple of HugePageSize; the block is aligned to
// HugePageSize and reads as zeros. Without HugePages it is mapped in small
// pages, each only when first touched, which suits a block that may stay
// mostly unused. Raises std::bad_alloc when no memory is left.
void* AllocateHugeBlock(size_t Size, bool HugePages = true);
// Size must be the size given to AllocateHugeBlock.
void FreeHugeBlock(void* Block, size_t Size) noexcept;

// A standard allocator over huge blocks for arrays of HugePageSize or more;
// smaller arrays come from operator new as usual.
template <typename T>
struct THugePageAllocator {
    using value_type = T;
    THugePageAllocator() noexcept = default;
    template <typename U>
    THugePageAllocator(const THugePageAllocator<U>&) noexcept {}

    T* allocate(size_t N) {
        if (N > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        const size_t bytes = N * sizeof(T);
        if (bytes >= HugePageSize) return static_cast<T*>(AllocateHugeBlock(bytes));
        return static_cast<T*>(::operator new(bytes, std::align_val_t(alignof(T))));
    }
    void deallocate(T* P, size_t N) noexcept {
        const size_t bytes = N * sizeof(T);
        if (bytes >= HugePageSize) FreeHugeBlock(P, bytes);
        else ::operator delete(P, std::align_val_t(alignof(T)));
    }
    template <typename U>
    bool operator==(const THugePageAllocator<U>&) const noexcept { return true; }
};

}  // namespace qv
