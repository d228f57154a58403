#include "grids/row.h"

#include "grids/cell.h"
#include "grids/section.h"

namespace qv {

const TClassInfo* TQvRow::StaticClass() {
    // A row needs its section and index, so its descriptor has no factory.
    static const TClassInfo info{"TQvRow", TObjectSList::StaticClass(), nullptr};
    return &info;
}

TQvRow::TQvRow(TQvSection* Section, int32_t Index)
    : FIndex(Index), FEpoch(Section ? Section->RowEpoch() : 0), FSection(Section) {}

int32_t TQvRow::Index() const {
    if (FSection && FEpoch != FSection->RowEpoch()) {
        if (FIndex >= 0) FSection->CatchUp(FIndex, FEpoch);
        FEpoch = FSection->RowEpoch();
    }
    return FIndex;
}

void TQvRow::SetIndex(int32_t I) {
    FIndex = I;
    FEpoch = FSection ? FSection->RowEpoch() : 0;
}

// The base destructor cannot reach this class's Clear, so the cells are
// released here, with Index already -1.
TQvRow::~TQvRow() { TQvRow::Clear(); }

TQvCell* TQvRow::Cells(int32_t Col) const { return ItemAs<TQvCell>(Col); }

void TQvRow::Reindex(int32_t From, int32_t To) {
    if (From < 0) From = 0;
    if (To > Last()) To = Last();
    for (int32_t i = From; i <= To; ++i)
        if (TQvCell* c = Cells(i)) c->FCol = i;
}

void TQvRow::Clear() {
    // Departing cells see Index -1 and leave the row without touching it.
    FIndex = -1;
    TObjectSList::Clear();
}

}  // namespace qv
