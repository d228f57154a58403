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

int32_t TIntSList::Offset(int32_t N) const {
    if (N <= 0) return 0;
    int64_t sum = int64_t(FDefault) * N;
    int64_t base = 0;
    for (uint32_t p = 0; p < FPageCount && base < N; ++p, base += FPageSize) {
        const int32_t* page = FPages[p];
        if (!page) continue;
        // Entries of this page below N: all of them, or the first N - base.
        const int64_t n = std::min<int64_t>(FPageSize, N - base);
        int64_t pageSum = 0;
        for (int64_t j = 0; j < n; ++j) pageSum += page[j];
        sum += pageSum;
    }
    return static_cast<int32_t>(sum);
}

int32_t TIntSList::IndexAt(int32_t& Pos) const {
    if (Pos < 1 || FDefault < 1) {
        Pos = 0;
        return 0;
    }
    int64_t rest = Pos;
    int64_t base = 0;
    const int64_t pageSpan = int64_t(FPageSize) * FDefault;
    for (uint32_t p = 0; p < FPageCount; ++p, base += FPageSize) {
        const int32_t* page = FPages[p];
        if (!page) {
            if (rest >= pageSpan) {
                rest -= pageSpan;
                continue;
            }
            break;  // inside this page of default-size entries
        }
        for (uint32_t j = 0; j < FPageSize; ++j) {
            const int64_t size = int64_t(page[j]) + FDefault;
            rest -= size;
            if (rest < 0) {
                Pos = static_cast<int32_t>(Pos - (rest + size));
                return static_cast<int32_t>(base + j);
            }
        }
    }
    // Beyond the stored pages (or inside an unallocated one) every entry has
    // the default size, so the answer is computed rather than walked.
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
