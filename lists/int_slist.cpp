#include "lists/int_slist.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TIntSList, TSList)

void TIntSList::SetDefault(int32_t D) {
    FDefault = D;
    Clear();
}

void TIntSList::SetItem(int32_t Index, int32_t Value) {
    const bool current = TreeCurrent();
    const int32_t old = current ? GetItem(Index) : 0;
    const uint8_t pageClass = FPageClass;
    TSList::SetItem(Index, Value);
    // A write that moved the list to class 1 changed the page geometry the
    // tree sums over: the tree stays stale and the next query rebuilds it.
    if (!current || Index < 0 || FPageClass != pageClass) return;
    const uint32_t p = static_cast<uint32_t>(Index) >> FPageShift;
    // A page beyond the tree leaves it stale (FVersion moved on); so does a
    // write the base refused, which cannot change a sum anyway.
    if (p >= TreeCapacity() || Index > MaxIndex()) return;
    const int64_t d = int64_t(Value) - old;
    const uint32_t n = TreeCapacity();
    for (uint32_t i = p + 1; i <= n; i += i & (0u - i)) FTree[i] += d;
    FTreeVersion = FVersion;
}

void TIntSList::EnsureTree() const {
    if (TreeCurrent()) return;
    // A power of two, at least twice the last capacity while the list
    // grows, so that appending pages rebuilds only logarithmically often.
    const uint32_t oldCapacity = FTree.empty() ? 0 : TreeCapacity();
    const uint32_t need = std::max<uint32_t>({1u, FPageCount, oldCapacity < FPageCount ? 2 * oldCapacity : 0});
    const uint32_t n = std::bit_ceil(need);
    const int64_t pageSpan = int64_t(FPageSize) * FDefault;
    FTree.assign(size_t(n) + 1, pageSpan);
    FTree[0] = 0;
    for (uint32_t p = 0; p < FPageCount; ++p)
        if (const int32_t* page = FPages[p])
            for (uint32_t j = 0; j < FPageSize; ++j) FTree[p + 1] += page[j];
    for (uint32_t i = 1; i <= n; ++i) {
        const uint32_t parent = i + (i & (0u - i));
        if (parent <= n) FTree[parent] += FTree[i];
    }
    FTreeVersion = FVersion;
}

int64_t TIntSList::PagesBefore(uint32_t P) const {
    int64_t sum = 0;
    for (uint32_t i = P; i > 0; i -= i & (0u - i)) sum += FTree[i];
    return sum;
}

int32_t TIntSList::Offset(int32_t N) const {
    if (N <= 0) return 0;
    EnsureTree();
    const uint32_t p = static_cast<uint32_t>(N) >> FPageShift;
    const uint32_t n = TreeCapacity();
    int64_t sum;
    if (p >= n) {
        // Every page from the tree's end on holds default entries only.
        sum = PagesBefore(n) + (int64_t(N) - (int64_t(n) << FPageShift)) * FDefault;
    } else {
        const uint32_t inPage = static_cast<uint32_t>(N) & FPageMask;
        sum = PagesBefore(p) + int64_t(inPage) * FDefault;
        if (const int32_t* page = Page(p))
            for (uint32_t j = 0; j < inPage; ++j) sum += page[j];
    }
    // Positions are 32-bit: an axis longer than that (16 M rows of 200
    // pixels) ends at the largest position instead of wrapping to negative.
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int32_t TIntSList::IndexAt(int32_t& Pos) const {
    if (Pos < 1 || FDefault < 1) {
        Pos = 0;
        return 0;
    }
    EnsureTree();
    // Descend the tree to the last page that starts at or before Pos; rest
    // is Pos's distance from that page's start.
    const uint32_t n = TreeCapacity();
    uint32_t p = 0;
    int64_t rest = Pos;
    for (uint32_t step = n; step > 0; step >>= 1)
        if (p + step <= n && FTree[p + step] <= rest) {
            p += step;
            rest -= FTree[p];
        }
    const int64_t base = int64_t(p) << FPageShift;
    if (const int32_t* page = p < n ? Page(p) : nullptr) {
        for (uint32_t j = 0; j < FPageSize; ++j) {
            const int64_t size = int64_t(page[j]) + FDefault;
            rest -= size;
            if (rest < 0) {
                Pos = static_cast<int32_t>(Pos - (rest + size));
                return static_cast<int32_t>(base + j);
            }
        }
        // Unreachable while no entry is negative: the next page starts
        // beyond Pos, so Pos lies inside this one.
        return static_cast<int32_t>(base + FPageSize - 1);
    }
    // Inside a page of default entries or beyond the tree every entry has the
    // default size, so the answer is computed rather than walked.
    Pos = static_cast<int32_t>(Pos - rest % FDefault);
    return static_cast<int32_t>(std::min<int64_t>(INT32_MAX, base + rest / FDefault));
}

void TIntSList::LoadFromStream(TStream& Stream) {
    const int32_t oldCount = FCount;
    ReadListRecord(Stream);
    try {
        FDefault = Stream.ReadInt32();
    } catch (const EReadError&) {
        Clear();  // nothing half-read stays: empty, with the old Count and Default
        FCount = oldCount;
        throw;
    }
}

void TIntSList::SaveToStream(TStream& Stream) const {
    WriteListRecord(Stream);
    Stream.WriteInt32(FDefault);
}

}  // namespace qv
