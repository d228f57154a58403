#include "lists/int_slist.h"

#include <climits>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TIntSList, TSList)

void TIntSList::SetDefault(int32_t D) {
    FDefault = D;
    Clear();
}

int64_t TIntSList::SumBefore(uint32_t P) const {
    if (FSums.size() < size_t(FPageCount) + 1) FSums.resize(size_t(FPageCount) + 1);
    for (; FIndexed < P; ++FIndexed) {
        int64_t pageSum = 0;
        if (const int32_t* page = FPages[FIndexed])
            for (uint32_t j = 0; j < FPageSize; ++j) pageSum += page[j];
        FSums[FIndexed + 1] = FSums[FIndexed] + pageSum;
    }
    return FSums[P];
}

int32_t TIntSList::Offset(int32_t N) const {
    if (N <= 0) return 0;
    int64_t sum = int64_t(FDefault) * N;
    const uint32_t p = static_cast<uint32_t>(N) >> FPageShift;
    if (p >= FPageCount) {
        sum += SumBefore(FPageCount);
    } else {
        sum += SumBefore(p);
        // The entries of page p below N.
        if (const int32_t* page = FPages[p])
            for (uint32_t j = 0, n = static_cast<uint32_t>(N) & FPageMask; j < n; ++j) sum += page[j];
    }
    return static_cast<int32_t>(sum);
}

int32_t TIntSList::IndexAt(int32_t& Pos) const {
    if (Pos < 1 || FDefault < 1) {
        Pos = 0;
        return 0;
    }
    // The last page that starts at or before Pos: extend the index only as
    // far as Pos reaches, then search the pages it covers.
    uint32_t hi = std::min<uint32_t>(FIndexed, FPageCount);
    while (hi < FPageCount && PageStart(hi) <= Pos) ++hi;
    SumBefore(hi);  // FSums[0 .. hi] are valid from here on
    const int64_t pageSpan = int64_t(FPageSize) * FDefault;
    uint32_t lo = 0;  // page 0 starts at 0 <= Pos
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo + 1) / 2;
        if (mid * pageSpan + FSums[mid] <= Pos) lo = mid;
        else hi = mid - 1;
    }
    const uint32_t p = lo;
    int64_t rest = Pos - PageStart(p);
    const int64_t base = int64_t(p) << FPageShift;
    if (p < FPageCount) {
        if (const int32_t* page = FPages[p]) {
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
    }
    // Inside an unallocated page or beyond the stored pages every entry has
    // the default size, so the answer is computed rather than walked.
    Pos = static_cast<int32_t>(Pos - rest % FDefault);
    return static_cast<int32_t>(std::min<int64_t>(INT32_MAX, base + rest / FDefault));
}

void TIntSList::LoadFromStream(TStream& Stream) {
    FIndexed = 0;
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
