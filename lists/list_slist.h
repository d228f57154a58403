// A two-level table: a sparse list that owns sparse lists (TSList or a
// descendant such as TIntSList).
//
// Nested-table record: a 4-byte count C of non-empty sub-lists, then C times
// a 4-byte index followed by that sub-list's own record.
#pragma once

#include "lists/object_slist.h"

namespace qv {

class TListSList : public TObjectSList {
    QV_CLASS(TListSList)
public:
    TListSList() = default;

    TSList* List(int32_t Index) const { return static_cast<TSList*>(GetItem(Index)); }

    // Writes the non-empty sub-lists in index order; empty ones are skipped.
    void SaveItems(TStream& Stream) const;
    // Reads a nested-table record, creating sub-lists of ItemClass (TSList or
    // a descendant) and storing each at its index, releasing any sub-list
    // already there. The table is not cleared first. The whole record is read
    // before anything is stored, so a record outside the format raises
    // EReadError naming what was wrong and leaves the table as it was.
    void LoadItems(TStream& Stream, TClass ItemClass);
};

}  // namespace qv
