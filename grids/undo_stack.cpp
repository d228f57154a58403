#include "grids/undo_stack.h"

#include <algorithm>
#include <set>

#include "grids/sheet.h"

namespace qv {

TQvUndoStack::TQvUndoStack(TQvSheet& Sheet) : FSheet(Sheet) {}

TQvUndoStack::~TQvUndoStack() = default;

void TQvUndoStack::SetLimit(int Value) {
    FLimit = std::max(1, Value);
    if (Count() <= FLimit) return;
    const int drop = Count() - FLimit;
    // Steps that could be redone go first, then done steps from the oldest.
    const int redoable = std::min(drop, Count() - FIndex);
    FSteps.resize(FSteps.size() - redoable);
    if (FCleanIndex > Count()) FCleanIndex = -1;
    const int old = drop - redoable;
    FSteps.erase(FSteps.begin(), FSteps.begin() + old);
    FIndex -= old;
    if (FCleanIndex >= 0) FCleanIndex = FCleanIndex >= old ? FCleanIndex - old : -1;
    Changed();
}

TQvUndoStack::TShared TQvUndoStack::Take(const TShared& Known) const {
    TQvSheetSnapshot now = TakeSnapshot(FSheet);
    if (Known && *Known == now) return Known;
    return std::make_shared<const TQvSheetSnapshot>(std::move(now));
}

void TQvUndoStack::BeginStep(const std::string& Name) {
    if (FDepth++ > 0) return;
    FPendingName = Name;
    FPendingBefore = Take(FIndex > 0 ? FSteps[FIndex - 1].After : nullptr);
}

void TQvUndoStack::EndStep() {
    if (FDepth == 0 || --FDepth > 0) return;
    TShared before = std::move(FPendingBefore);
    TShared after = Take(before);
    if (after == before) return;  // nothing changed
    FSteps.resize(FIndex);
    if (FCleanIndex > FIndex) FCleanIndex = -1;
    FSteps.push_back({FPendingName, std::move(before), std::move(after)});
    ++FIndex;
    if (Count() > FLimit) {
        FSteps.erase(FSteps.begin());
        --FIndex;
        FCleanIndex = FCleanIndex > 0 ? FCleanIndex - 1 : -1;
    }
    Changed();
}

std::string TQvUndoStack::UndoText() const { return CanUndo() ? FSteps[FIndex - 1].Name : std::string(); }

std::string TQvUndoStack::RedoText() const { return CanRedo() ? FSteps[FIndex].Name : std::string(); }

bool TQvUndoStack::SheetAsLeft(bool ForRedo) const {
    // Undo takes back the step before the index, redo does the one at it.
    const TShared& expected = ForRedo ? FSteps[FIndex].Before : FSteps[FIndex - 1].After;
    return TakeSnapshot(FSheet) == *expected;
}

bool TQvUndoStack::Undo() {
    if (!CanUndo() || InStep()) return false;
    if (!SheetAsLeft(false)) {
        Clear();
        return false;
    }
    --FIndex;
    RestoreSnapshot(FSheet, *FSteps[FIndex].Before);
    Changed();
    return true;
}

bool TQvUndoStack::Redo() {
    if (!CanRedo() || InStep()) return false;
    if (!SheetAsLeft(true)) {
        Clear();
        return false;
    }
    RestoreSnapshot(FSheet, *FSteps[FIndex].After);
    ++FIndex;
    Changed();
    return true;
}

void TQvUndoStack::Clear() {
    if (FSteps.empty() && FIndex == 0) return;
    const bool clean = IsClean();
    FSteps.clear();
    FIndex = 0;
    FCleanIndex = clean ? 0 : -1;
    Changed();
}

void TQvUndoStack::SetClean() {
    if (FCleanIndex == FIndex) return;
    FCleanIndex = FIndex;
    Changed();
}

size_t TQvUndoStack::Bytes() const {
    std::set<const TQvSheetSnapshot*> seen;
    size_t total = 0;
    for (const TStep& s : FSteps)
        for (const TShared& p : {s.Before, s.After})
            if (seen.insert(p.get()).second) total += p->Bytes();
    return total;
}

TQvUndoStep::TQvUndoStep(TQvSheet* Sheet, const std::string& Name) : FSheet(Sheet) {
    if (FSheet) FSheet->UndoStack().BeginStep(Name);
}

TQvUndoStep::~TQvUndoStep() {
    if (FSheet) FSheet->UndoStack().EndStep();
}

void TQvUndoStack::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace qv
