// TQvRow: the cells of one row of a section, keyed by local column.
#pragma once

#include "lists/object_slist.h"

namespace qv {

class TQvCell;
class TQvSection;

class TQvRow : public TObjectSList {
    QV_CLASS(TQvRow)
public:
    TQvRow(TQvSection* Section, int32_t Index) : FIndex(Index), FSection(Section) {}
    ~TQvRow() override;

    // The local row number; -1 while the row is being cleared or destroyed,
    // so that departing cells do not take themselves out of it one by one.
    int32_t Index() const { return FIndex; }
    void SetIndex(int32_t I) { FIndex = I; }
    TQvSection* Section() const { return FSection; }
    TQvCell* Cells(int32_t Col) const;

    // Stamps each present cell in [From, To] with its index as its column.
    void Reindex(int32_t From, int32_t To) override;
    // Index := -1, then releases every cell.
    void Clear() override;

private:
    int32_t FIndex;
    TQvSection* FSection;
};

}  // namespace qv
