// A sparse list of integers stored as offsets from a per-list Default, so an
// entry equal to the default is absent and costs nothing. Used for sizes
// along an axis, where Offset and IndexAt convert between entry indexes and
// pixel positions.
//
// Position index: beside the pages the list keeps, for each page p, the sum
// of the stored values (offsets from Default) of the pages before it, so that
// Offset costs one lookup plus part of one page and IndexAt a binary search.
// The sums are built lazily; a write into page p invalidates only the sums
// after it. IndexAt's search assumes no entry is negative (sizes never are).
// The index is not part of the stream record.
//
// Stream record: the list record of TSList followed by Default (4 bytes).
#pragma once

#include <algorithm>

#include "lists/slist.h"

namespace qv {

class TIntSList : public TSList {
    QV_CLASS(TIntSList)
public:
    TIntSList() = default;

    int32_t Default() const { return FDefault; }
    // Sets Default and drops every individual value (even when D is the
    // current default); Count is kept.
    void SetDefault(int32_t D);

    int32_t Values(int32_t Index) const { return GetItem(Index) + FDefault; }
    void SetValue(int32_t Index, int32_t V) { SetItem(Index, V - FDefault); }

    // The list's writers, hiding the base ones so that every write reaches
    // the position index.
    void SetItem(int32_t Index, int32_t Value) {
        Touch(Index);
        TSList::SetItem(Index, Value);
    }
    void SetCount(int32_t N) {
        Touch(N);
        TSList::SetCount(N);
    }
    void Clear() override {
        FIndexed = 0;
        TSList::Clear();
    }

    // Sum of Values(i) for 0 <= i < N; 0 when N <= 0. Entries beyond the
    // stored pages count with the default.
    int32_t Offset(int32_t N) const;
    // The index whose half-open span [start, start + Values(i)) contains Pos;
    // Pos becomes that span's start. An entry of value 0 is never returned.
    // With Pos < 1 or Default < 1 the answer is 0 and Pos becomes 0. The
    // result may exceed Count: default-size entries continue indefinitely.
    int32_t IndexAt(int32_t& Pos) const;

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;

private:
    // Sums of the pages before page P, extending the valid prefix as needed.
    int64_t SumBefore(uint32_t P) const;
    int64_t PageStart(uint32_t P) const { return int64_t(P) * FPageSize * FDefault + SumBefore(P); }
    void Touch(int32_t Index) {
        if (Index >= 0) FIndexed = std::min(FIndexed, static_cast<uint32_t>(Index) >> FPageShift);
    }

    int32_t FDefault = 0;
    // FSums[p] = sum of the stored values of pages 0 .. p - 1, valid for
    // p <= FIndexed.
    mutable std::vector<int64_t> FSums{0};
    mutable uint32_t FIndexed = 0;
};

}  // namespace qv
