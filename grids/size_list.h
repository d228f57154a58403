// Widths of the columns or heights of the rows of one part of one axis: a
// default size, individual sizes where they differ, and the number of
// entries. A size of 0 hides its entry: it takes no space and IndexAt never
// returns it. Offset and IndexAt go through the list's per-page position
// index, which writes invalidate from the written page on.
#pragma once

#include "lists/int_slist.h"

namespace qv {

class TQvSizeList : public TIntSList {
    QV_CLASS(TQvSizeList)
public:
    TQvSizeList() = default;

    // Size of entry I: its individual size, else the default (also for I at
    // or beyond Count).
    int32_t Size(int32_t I) const { return Values(I); }
    // Width of the run of entries A .. B - 1.
    int32_t Span(int32_t A, int32_t B) const { return Offset(B) - Offset(A); }
};

}  // namespace qv
