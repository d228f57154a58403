#include "grids/cell_batch.h"

#include <algorithm>
#include <new>

#include "grids/row.h"
#include "grids/section.h"

namespace qv {

thread_local int64_t TQvCellBatch::FailAfter = -1;

TQvCellBatch::TQvCellBatch(TQvSection& Section) : FSection(Section) {}

TQvCellBatch::~TQvCellBatch() {
    if (FRow) FRow->TrimPacked();
    if (!FArea.IsEmpty()) FSection.Invalidate(FArea, false);
}

const TQvCellBatch::TModel* TQvCellBatch::ModelOf(TQvCellClass Cls) const {
    for (const TModel& m : FModels)
        if (m.Cls == Cls) return &m;
    return nullptr;
}

TQvRow* TQvCellBatch::RowAt(int32_t Y) {
    if (Y != FRowIndex) {
        // Imports go row by row: the row left behind keeps no spare room.
        if (FRow) FRow->TrimPacked();
        FRow = FSection.NeedRow(Y);
        FRowIndex = Y;
    }
    return FRow;
}

void TQvCellBatch::Include(TPoint P) {
    if (FArea.IsEmpty()) {
        FArea = {P.X, P.Y, P.X + 1, P.Y + 1};
        return;
    }
    FArea.Left = std::min(FArea.Left, P.X);
    FArea.Top = std::min(FArea.Top, P.Y);
    FArea.Right = std::max(FArea.Right, P.X + 1);
    FArea.Bottom = std::max(FArea.Bottom, P.Y + 1);
}

bool TQvCellBatch::AddPlain(TPoint P, TQvCellClass Cls, bool ValueSet, std::string_view Body) {
    return AddPacked(P, PackedFormOf(Cls), ValueSet, Body);
}

bool TQvCellBatch::AddPacked(TPoint P, int Form, bool ValueSet, std::string_view Body) {
    const int form = Form;
    if (form < 0 || P.Y < 0 || P.X < 0 || Body.size() > TQvPackedCells::MaxBody) return false;
    TQvRow* row = RowAt(P.Y);
    // In column order only, as a load appends them.
    if (!row || P.X > row->MaxIndex() || static_cast<const TObjectSList*>(row)->GetItem(P.X) ||
        P.X <= row->Packed().LastCol() ||
        (!FSection.Unions().empty() && FSection.FindUnionAt(P, true)))
        return false;
    if (FailAfter >= 0 && FailAfter-- == 0) throw std::bad_alloc();
    row->PutPacked(P.X, static_cast<uint8_t>(form), ValueSet ? PackedPropertyBits | PackedValueBit : PackedPropertyBits,
                   Body);
    Include(P);
    return true;
}

bool TQvCellBatch::Pack(TQvCell* Cell) {
    TQvRow* row = Cell ? Cell->Row() : nullptr;
    if (!row || row->Section() != &FSection || Cell->GetStyle() || Cell->HasState(psError)) return false;
    const int32_t x = Cell->Col();
    if (x <= row->Packed().LastCol() || (!FSection.Unions().empty() && FSection.FindUnionOfCell(Cell))) return false;
    FRecord.Clear();
    Cell->WriteToStream(FRecord);
    int form = -1;
    uint16_t bits = 0;
    std::string_view body;
    if (!ParsePackedRecord(Cell->ClassType(), FRecord.Bytes(), form, bits, body)) return false;
    row->SetItem(x, nullptr);
    delete Cell;
    row->PutPacked(x, static_cast<uint8_t>(form), bits, body);
    FPackedForm = form;
    return true;
}

TQvCell* TQvCellBatch::Add(TPoint P, TQvCellClass Cls) {
    if (FailAfter >= 0 && FailAfter-- == 0) throw std::bad_alloc();
    const TModel* model = ModelOf(Cls);
    TQvRow* row = model && P.Y >= 0 ? RowAt(P.Y) : nullptr;
    if (!row || P.X < 0 || P.X > row->MaxIndex() || row->Cells(P.X) ||
        (!FSection.Unions().empty() && FSection.FindUnionAt(P, true))) {
        // The ordinary way. A cell it makes anew (not one of the class it
        // hands back as it stood) carries only what placing gave it, and
        // becomes the model of its class.
        const TQvCell* before = FSection.FindCell(P);
        const bool makesOne = !before || before->ClassType() != Cls;
        TQvCell* c = FSection.NeedCellOfClass(P, Cls);
        if (c && makesOne && !model) FModels.push_back({Cls, c->PlacedProps()});
        return c;
    }
    // The class was checked when the model was made.
    auto* cell = static_cast<TQvCell*>(Cls->Create());
    cell->PlaceAs(row, P.X, model->Props);
    Include(P);
    return cell;
}

}  // namespace qv
