// A sparse list of integers stored as offsets from a per-list Default, so an
// entry equal to the default is absent and costs nothing. Used for sizes
// along an axis, where Offset and IndexAt convert between entry indexes and
// pixel positions.
//
// Position index: beside the pages the list keeps a Fenwick tree over the
// pixel totals of its pages (PageSize * Default plus the page's stored
// values), so that Offset costs a logarithmic sum plus part of one page and
// IndexAt a logarithmic descent. The tree is built on the first query and
// kept up to date by the list's own writers; a write that bypasses them
// (through a base-class reference), a Clear or a page beyond the tree's
// capacity makes it stale, and the next query rebuilds it. IndexAt's descent
// assumes no entry is negative (sizes never are). The tree is not part of
// the stream record.
//
// Stream record: the list record of TSList followed by Default (4 bytes).
#pragma once

#include <vector>

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

    // Summed in 64 bits: a stored offset from a foreign stream may be
    // anything, and the sum must not overflow on the way.
    int32_t Values(int32_t Index) const { return static_cast<int32_t>(int64_t(GetItem(Index)) + FDefault); }
    void SetValue(int32_t Index, int32_t V) { SetItem(Index, V - FDefault); }

    // The list's writer, hiding the base one so that writes keep the
    // position index current instead of making it stale.
    void SetItem(int32_t Index, int32_t Value);

    // Sum of Values(i) for 0 <= i < N; 0 when N <= 0. Entries beyond the
    // stored pages count with the default. A sum beyond 32 bits is held at
    // INT32_MAX (or INT32_MIN), so positions never wrap.
    int32_t Offset(int32_t N) const;
    // The index whose half-open span [start, start + Values(i)) contains Pos;
    // Pos becomes that span's start. An entry of value 0 is never returned.
    // With Pos < 1 or Default < 1 the answer is 0 and Pos becomes 0. The
    // result may exceed Count: default-size entries continue indefinitely.
    int32_t IndexAt(int32_t& Pos) const;

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;

private:
    bool TreeCurrent() const { return !FTree.empty() && FTreeVersion == FVersion; }
    // Rebuilds the tree when stale, with room for at least every stored page.
    void EnsureTree() const;
    // Pixels of the pages before page P (P <= the tree's capacity).
    int64_t PagesBefore(uint32_t P) const;
    uint32_t TreeCapacity() const { return static_cast<uint32_t>(FTree.size() - 1); }

    int32_t FDefault = 0;
    // FTree[i] (1-based) sums the page totals of pages i - lowbit(i) .. i - 1.
    // Pages beyond PageCount count as PageSize default entries.
    mutable std::vector<int64_t> FTree;
    mutable uint32_t FTreeVersion = 0;
};

}  // namespace qv
