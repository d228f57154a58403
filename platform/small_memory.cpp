#include "platform/small_memory.h"

#include <atomic>
#include <mutex>
#include <new>
#include <thread>

#include "platform/huge_pages.h"

#if defined(__SANITIZE_ADDRESS__)
#define QV_SMALL_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_SMALL_POOL 0
#endif
#endif
#ifndef QV_SMALL_POOL
#define QV_SMALL_POOL 1
#endif

namespace qv {

namespace {

constexpr size_t Granule = 16;
constexpr size_t ClassCount = MaxSmallObjectSize / Granule;
constexpr size_t ChunkSize = HugePageSize;

// The head of every chunk; the slots follow it. A chunk is found from any
// of its slots by masking the address, as chunks are ChunkSize-aligned.
// Invariants: every slot is either live, on Free, or at or past Bump; a
// chunk with a free or unbumped slot is on its class's Available list.
struct TChunk {
    TChunk* Next;  // on the Available list
    TChunk* Prev;
    void* Free;  // freed slots, each holding the next
    char* Bump;  // the first slot never handed out
    char* End;
    uint32_t Live;
    uint32_t SizeClass;
    bool Available;
};
constexpr size_t HeadSize = (sizeof(TChunk) + Granule - 1) / Granule * Granule;

class TSpinLock {
public:
    void lock() noexcept {
        while (FFlag.exchange(true, std::memory_order_acquire))
            while (FFlag.load(std::memory_order_relaxed)) std::this_thread::yield();
    }
    void unlock() noexcept { FFlag.store(false, std::memory_order_release); }

private:
    std::atomic<bool> FFlag{false};
};

// Chunks of one size class with room, most recently useful first. One empty
// chunk is kept (Spare) so that a cell made and freed over and over does not
// map and unmap a chunk each time.
struct TClassPool {
    TSpinLock Lock;
    TChunk* Available = nullptr;
    TChunk* Spare = nullptr;
    int64_t Chunks = 0;
    int64_t LiveSlots = 0;
};

constinit TClassPool Pools[ClassCount];

void Link(TClassPool& Pool, TChunk* C) {
    C->Prev = nullptr;
    C->Next = Pool.Available;
    if (C->Next) C->Next->Prev = C;
    Pool.Available = C;
    C->Available = true;
}

void Unlink(TClassPool& Pool, TChunk* C) {
    if (C->Prev) C->Prev->Next = C->Next;
    else Pool.Available = C->Next;
    if (C->Next) C->Next->Prev = C->Prev;
    C->Next = C->Prev = nullptr;
    C->Available = false;
}

TChunk* NewChunk(TClassPool& Pool, uint32_t SizeClass) {
    auto* c = static_cast<TChunk*>(AllocateHugeBlock(ChunkSize, Pool.Chunks > 0));
    ++Pool.Chunks;
    char* base = reinterpret_cast<char*>(c);
    const size_t slot = (SizeClass + 1) * Granule;
    c->Next = c->Prev = nullptr;
    c->Free = nullptr;
    c->Bump = base + HeadSize;
    c->End = base + HeadSize + (ChunkSize - HeadSize) / slot * slot;
    c->Live = 0;
    c->SizeClass = SizeClass;
    c->Available = false;
    return c;
}


}  // namespace

void* AllocateSmallObject(size_t Size) {
    if (!QV_SMALL_POOL || Size == 0 || Size > MaxSmallObjectSize) return ::operator new(Size);
    const auto sizeClass = static_cast<uint32_t>((Size - 1) / Granule);
    TClassPool& pool = Pools[sizeClass];
    const size_t slot = (sizeClass + 1) * Granule;
    std::lock_guard<TSpinLock> hold(pool.Lock);
    TChunk* c = pool.Available;
    if (!c) {
        if (pool.Spare) {
            c = pool.Spare;
            pool.Spare = nullptr;
        } else {
            c = NewChunk(pool, sizeClass);
        }
        Link(pool, c);
    }
    void* p;
    if (c->Free) {
        p = c->Free;
        c->Free = *static_cast<void**>(p);
    } else {
        p = c->Bump;
        c->Bump += slot;
    }
    ++c->Live;
    ++pool.LiveSlots;
    if (!c->Free && c->Bump == c->End) Unlink(pool, c);
    return p;
}

void FreeSmallObject(void* P, size_t Size) noexcept {
    if (!P) return;
    if (!QV_SMALL_POOL || Size == 0 || Size > MaxSmallObjectSize) {
        ::operator delete(P);
        return;
    }
    auto* c = reinterpret_cast<TChunk*>(reinterpret_cast<uintptr_t>(P) & ~(uintptr_t(ChunkSize) - 1));
    TClassPool& pool = Pools[c->SizeClass];
    TChunk* release = nullptr;
    {
        std::lock_guard<TSpinLock> hold(pool.Lock);
        *static_cast<void**>(P) = c->Free;
        c->Free = P;
        --pool.LiveSlots;
        if (--c->Live == 0) {
            // An empty chunk starts afresh: its slots are all unbumped again.
            if (c->Available) Unlink(pool, c);
            c->Free = nullptr;
            c->Bump = reinterpret_cast<char*>(c) + HeadSize;
            if (pool.Spare) {
                release = c;
                --pool.Chunks;
            } else {
                pool.Spare = c;
            }
        } else if (!c->Available) {
            Link(pool, c);
        }
    }
    if (release) FreeHugeBlock(release, ChunkSize);
}

int64_t SmallObjectChunks() {
    int64_t chunks = 0;
    for (TClassPool& pool : Pools) {
        std::lock_guard<TSpinLock> hold(pool.Lock);
        chunks += pool.Chunks;
    }
    return chunks;
}

int64_t SmallObjectBytes() {
    int64_t bytes = 0;
    for (size_t k = 0; k < ClassCount; ++k) {
        std::lock_guard<TSpinLock> hold(Pools[k].Lock);
        bytes += Pools[k].LiveSlots * int64_t((k + 1) * Granule);
    }
    return bytes;
}

}  // namespace qv
