// A sparse list of integers stored as offsets from a per-list Default, so an
// entry equal to the default is absent and costs nothing. Used for sizes
// along an axis, where Offset and IndexAt convert between entry indexes and
// pixel positions.
//
// Stream record: the list record of TSList followed by Default (4 bytes).
#pragma once

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
    int32_t FDefault = 0;
};

}  // namespace qv
