#include "grids/cell_batch.h"

#include <algorithm>
#include <new>

#include "grids/row.h"
#include "grids/section.h"

namespace qv {

thread_local int64_t TQvCellBatch::FailAfter = -1;

TQvCellBatch::TQvCellBatch(TQvSection& Section) : FSection(Section) {}

TQvCellBatch::~TQvCellBatch() {
    if (!FArea.IsEmpty()) FSection.Invalidate(FArea, false);
}

const TQvCellBatch::TModel* TQvCellBatch::ModelOf(TQvCellClass Cls) const {
    for (const TModel& m : FModels)
        if (m.Cls == Cls) return &m;
    return nullptr;
}

TQvRow* TQvCellBatch::RowAt(int32_t Y) {
    if (Y != FRowIndex) {
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
