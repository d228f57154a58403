#include "grids/row.h"

#include <algorithm>

#include "grids/cell.h"
#include "grids/section.h"
#include "platform/stream.h"

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

TObject* TQvRow::GetItem(int32_t Col) const {
    if (TObject* c = TObjectSList::GetItem(Col)) return c;
    if (FPacked.Empty()) return nullptr;
    const int i = FPacked.Find(Col);
    if (i < 0) return nullptr;
    UnpackEntries(static_cast<size_t>(i), static_cast<size_t>(i) + 1);
    return TObjectSList::GetItem(Col);
}

TQvCell* TQvRow::Cells(int32_t Col) const { return static_cast<TQvCell*>(GetItem(Col)); }

int32_t TQvRow::Last() const { return std::max(TObjectSList::Last(), FPacked.LastCol()); }

void TQvRow::Unpack(int32_t From, int32_t To) const {
    if (FPacked.Empty() || From > To) return;
    const size_t first = FPacked.LowerBound(From);
    const size_t last = To == INT32_MAX ? FPacked.Slots() : FPacked.LowerBound(To + 1);
    UnpackEntries(first, last);
}

void TQvRow::FreePacked(int32_t From, int32_t To) {
    if (FPacked.Empty() || From > To) return;
    FPacked.Erase(FPacked.LowerBound(From), To == INT32_MAX ? FPacked.Slots() : FPacked.LowerBound(To + 1));
}

void TQvRow::UnpackEntries(size_t First, size_t Last) const {
    auto* self = const_cast<TQvRow*>(this);
    // The record a plain cell of the form writes: its property set, then
    // the body. Read before the cell is placed, so that nothing it does
    // while reading reaches the sheet.
    TMemoryStream record;
    for (size_t i = First; i < Last && i < FPacked.Slots(); ++i) {
        if (!FPacked.Live(i)) continue;
        const TQvPackedCell& p = FPacked[i];
        auto* cell = static_cast<TQvCell*>(PackedForm(p.Form).Class->Create());
        try {
            record.Clear();
            WritePackedRecord(record, p);
            record.SetPosition(0);
            cell->ReadFromStream(record);
            cell->PlaceQuietly(self, p.Col);
        } catch (...) {
            delete cell;
            FPacked.Erase(First, i);  // the ones made so far
            throw;
        }
    }
    FPacked.Erase(First, Last);
}

void TQvRow::PutPacked(int32_t Col, uint8_t Form, uint16_t PropertyBits, std::string_view Body) {
    if (TObject* old = TObjectSList::GetItem(Col)) {
        SetItem(Col, nullptr);
        delete old;
    }
    FPacked.Put(Col, Form, (PropertyBits & PackedValueBit) != 0, Body);
}

bool TQvRow::CanInsertSpace(int32_t At, int32_t N) const {
    if (!TObjectSList::CanInsertSpace(At, N)) return false;
    const int32_t last = FPacked.LastCol();
    return N <= 0 || At > last || int64_t(last) + N <= int64_t(MaxIndex());
}

bool TQvRow::InsertSpace(int32_t At, int32_t N) {
    if (!CanInsertSpace(At, N)) return false;
    TObjectSList::InsertSpace(At, N);
    FPacked.InsertSpace(At, N);
    return true;
}

void TQvRow::DeleteRange(int32_t At, int32_t N) {
    TObjectSList::DeleteRange(At, N);
    FPacked.DeleteRange(At, N);
}

void TQvRow::Reindex(int32_t From, int32_t To) {
    if (From < 0) From = 0;
    if (To > TObjectSList::Last()) To = TObjectSList::Last();
    for (int32_t i = From; i <= To; ++i)
        if (auto* c = static_cast<TQvCell*>(TObjectSList::GetItem(i))) c->FCol = i;
}

void TQvRow::Clear() {
    // Departing cells see Index -1 and leave the row without touching it.
    FIndex = -1;
    FPacked.Clear();
    TObjectSList::Clear();
}

}  // namespace qv
