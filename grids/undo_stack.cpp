#include "grids/undo_stack.h"

#include <algorithm>
#include <set>
#include <utility>

#include "grids/cell.h"
#include "grids/manager.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "grids/union.h"
#include "platform/stream.h"

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
    if (FDepth > 0) {
        if (FPendingIsArea) {
            // The inner step may write anywhere: the outer one keeps the sheet.
            FPendingBefore = SheetBeforeAreas();
            FPendingIsArea = false;
            FPendingAreas.clear();
        }
        ++FDepth;
        return;
    }
    // Nothing is open until the snapshot is taken: a step that fails to
    // begin (out of memory) leaves the stack as it was.
    FPendingName = Name;
    FPendingBefore = Take(FIndex > 0 ? FSteps[FIndex - 1].After : nullptr);
    FDepth = 1;
}

void TQvUndoStack::BeginAreaStep(const std::string& Name, TQvSectionKind Kind, const std::vector<TRect>& Rects) {
    if (FDepth > 0) {
        if (FPendingIsArea) AddAreas(Kind, Rects);
        ++FDepth;
        return;
    }
    FPendingName = Name;
    FPendingAreas.clear();
    try {
        AddAreas(Kind, Rects);
    } catch (...) {
        FPendingAreas.clear();
        throw;
    }
    FPendingIsArea = true;
    FDepth = 1;
}

namespace {

// R and every merged range it meets, until no more ranges meet it.
TRect WidenToRanges(const TQvSection& Section, TRect R) {
    for (;;) {
        TRect wide = R;
        for (const TQvUnion* u : Section.UnionsMeeting(R)) {
            const TRect& ur = u->Rect();
            wide = {std::min(wide.Left, ur.Left), std::min(wide.Top, ur.Top), std::max(wide.Right, ur.Right),
                    std::max(wide.Bottom, ur.Bottom)};
        }
        if (wide == R) return R;
        R = wide;
    }
}

}  // namespace

void TQvUndoStack::AddAreas(TQvSectionKind Kind, const std::vector<TRect>& Rects, const TQvCell* Made) {
    const TQvSection& section = *FSheet.Sections(Kind);
    for (const TRect& r : Rects) {
        if (r.IsEmpty()) continue;
        const TRect area = WidenToRanges(section, r);
        const bool held = std::any_of(FPendingAreas.begin(), FPendingAreas.end(), [&](const TQvAreaSnapshot& A) {
            return A.Kind() == Kind && A.Area().Contains(area);
        });
        if (!held) FPendingAreas.emplace_back(FSheet, Kind, area, Made);
    }
}

TQvUndoStack::TShared TQvUndoStack::SheetBeforeAreas() const {
    // The copy uses the sheet's styler, so that its cells find their styles.
    TQvSheet copy;
    struct TLeave {
        TQvSheet& Copy;
        ~TLeave() { Copy.SetStyler(nullptr); }
    } leave{copy};
    copy.SetStyler(FSheet.Styler());
    RestoreSnapshot(copy, TakeSnapshot(FSheet));
    for (auto it = FPendingAreas.rbegin(); it != FPendingAreas.rend(); ++it) it->RestoreTo(copy);
    return std::make_shared<const TQvSheetSnapshot>(TakeSnapshot(copy));
}

void TQvUndoStack::EndAreaStep() {
    std::vector<TQvAreaSnapshot> before = std::move(FPendingAreas);
    FPendingAreas.clear();
    FPendingIsArea = false;
    TStep step;
    try {
        bool changed = false, sameFrames = true;
        for (const TQvAreaSnapshot& b : before) {
            step.AreaAfter.emplace_back(FSheet, b.Kind(), b.Area());
            changed = changed || !(step.AreaAfter.back() == b);
            sameFrames = sameFrames && step.AreaAfter.back().SameFrame(b);
        }
        if (!changed) return;
        if (!sameFrames) {
            // Counts or ranges changed: only the whole sheet puts that back
            // exactly (ranges keep their order of creation).
            FPendingAreas = std::move(before);
            step.Before = SheetBeforeAreas();
            FPendingAreas.clear();
            step.After = Take(step.Before);
            step.AreaAfter.clear();
        } else if (before.size() == 1) {
            step.Change = std::make_shared<const TQvAreaChange>(before.front(), step.AreaAfter.front());
            step.AreaAfter.clear();
        } else {
            step.AreaBefore = std::move(before);
            for (auto* records : {&step.AreaBefore, &step.AreaAfter})
                for (TQvAreaSnapshot& r : *records) r.Compact();
        }
    } catch (...) {
        FPendingAreas.clear();
        LoseHistory();
        throw;
    }
    step.Name = FPendingName;
    Push(std::move(step));
}

void TQvUndoStack::EndStep() {
    if (FDepth == 0 || --FDepth > 0) return;
    if (FPendingIsArea) {
        EndAreaStep();
        return;
    }
    TShared before = std::move(FPendingBefore);
    TShared after;
    try {
        after = Take(before);
    } catch (...) {
        LoseHistory();
        throw;
    }
    if (after == before) return;  // nothing changed
    TStep step;
    step.Name = FPendingName;
    step.Before = std::move(before);
    step.After = std::move(after);
    Push(std::move(step));
}

std::string CellRecord(TQvCell& Cell) {
    TMemoryStream m;
    m.WriteInt32(TQvManager::ClassId(Cell.ClassType()));
    SaveRecord(Cell, m);
    return m.Bytes();
}

void TQvUndoStack::BeginCellStep(const std::string& Name, TQvCell& Cell, bool Created) {
    if (FDepth > 0) {
        // Inside an area step the cell joins its areas.
        if (FPendingIsArea)
            if (const TQvSection* section = Cell.Section(); section && Cell.Row())
                AddAreas(section->Kind(), {Cell.GetRect()}, Created ? &Cell : nullptr);
        ++FDepth;
        return;
    }
    FPendingName = Name;
    FPendingCellBefore = CellRecord(Cell);
    FPendingCellError = Cell.HasState(psError);
    FPendingCell = &Cell;
    FPendingCreated = Created;
    FDepth = 1;
}

void TQvUndoStack::EndCellStep() {
    if (FDepth == 0 || --FDepth > 0) return;
    TQvCell* cell = std::exchange(FPendingCell, nullptr);
    TQvSection* section = cell ? cell->Section() : nullptr;
    if (!section || !cell->Row()) return;
    TStep step;
    try {
        step.CellAfter = CellRecord(*cell);
    } catch (...) {
        LoseHistory();
        throw;
    }
    if (step.CellAfter == FPendingCellBefore) return;  // nothing typed
    if (FPendingCreated) FPendingCellBefore.clear();
    step.Name = FPendingName;
    step.IsCell = true;
    step.Kind = section->Kind();
    step.Pos = {cell->Col(), cell->Row()->Index()};
    step.CellBefore = std::move(FPendingCellBefore);
    step.ErrorBefore = FPendingCellError;
    step.ErrorAfter = cell->HasState(psError);
    Push(std::move(step));
}

bool TQvUndoStack::ApplyCellStep(const TStep& Step, const std::string& Expected, const std::string& Record,
                                 bool Error) {
    TQvSection* section = FSheet.Sections(Step.Kind);
    if (!section) return false;
    TQvCell* cell = section->FindCell(Step.Pos);
    if (Expected.empty() ? cell != nullptr : !cell || CellRecord(*cell) != Expected) return false;
    const TRect at{Step.Pos.X, Step.Pos.Y, Step.Pos.X + 1, Step.Pos.Y + 1};
    if (Record.empty()) {
        // The cell was made for the step: it goes again.
        section->FreeCells(at);
    } else {
        TMemoryStream m(Record);
        const TClass cls = QvManager().ClassById(m.ReadInt32());
        if (!cell) cell = section->NeedCellOfClass(Step.Pos, cls);
        if (!cell) return false;
        LoadRecord(*cell, m);
        if (Error) cell->IncludeState(psError);
        else cell->ExcludeState(psError);
    }
    section->Invalidate(at, false);
    FSheet.SetModified(true);
    return true;
}

void TQvUndoStack::Push(TStep Step) {
    FSteps.resize(FIndex);
    if (FCleanIndex > FIndex) FCleanIndex = -1;
    FSteps.push_back(std::move(Step));
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

bool TQvUndoStack::AreasAsLeft(const std::vector<TQvAreaSnapshot>& Records) const {
    for (const TQvAreaSnapshot& r : Records)
        if (!(TQvAreaSnapshot(FSheet, r.Kind(), r.Area()) == r)) return false;
    return true;
}

bool TQvUndoStack::ApplyChange(const TQvAreaChange& Change, bool Redo) {
    if (!Change.Holds(FSheet, !Redo)) {
        Clear();
        return false;
    }
    try {
        Change.Apply(FSheet, Redo);
        FSheet.SetModified(true);
    } catch (...) {
        LoseHistory();
        throw;
    }
    FIndex += Redo ? 1 : -1;
    Changed();
    return true;
}

bool TQvUndoStack::Undo() {
    if (!CanUndo() || InStep()) return false;
    TStep& step = FSteps[FIndex - 1];
    if (step.Change) return ApplyChange(*step.Change, false);
    if (!step.AreaAfter.empty()) {
        if (!AreasAsLeft(step.AreaAfter)) {
            Clear();
            return false;
        }
        try {
            for (auto it = step.AreaBefore.rbegin(); it != step.AreaBefore.rend(); ++it) it->RestoreTo(FSheet);
            FSheet.SetModified(true);
            if (step.AreaBefore.size() > 1)
                for (TQvAreaSnapshot& r : step.AreaBefore) {
                    r = TQvAreaSnapshot(FSheet, r.Kind(), r.Area());
                    r.Compact();
                }
        } catch (...) {
            LoseHistory();
            throw;
        }
        --FIndex;
        Changed();
        return true;
    }
    if (step.IsCell ? !ApplyCellStep(step, step.CellAfter, step.CellBefore, step.ErrorBefore) : !SheetAsLeft(false)) {
        Clear();
        return false;
    }
    --FIndex;
    if (!step.IsCell) RestoreSnapshot(FSheet, *step.Before);
    Changed();
    return true;
}

bool TQvUndoStack::Redo() {
    if (!CanRedo() || InStep()) return false;
    const TStep& step = FSteps[FIndex];
    if (step.Change) return ApplyChange(*step.Change, true);
    if (!step.AreaAfter.empty()) {
        if (!AreasAsLeft(step.AreaBefore)) {
            Clear();
            return false;
        }
        try {
            for (const TQvAreaSnapshot& r : step.AreaAfter) r.RestoreTo(FSheet);
            FSheet.SetModified(true);
        } catch (...) {
            LoseHistory();
            throw;
        }
        ++FIndex;
        Changed();
        return true;
    }
    if (step.IsCell ? !ApplyCellStep(step, step.CellBefore, step.CellAfter, step.ErrorAfter) : !SheetAsLeft(true)) {
        Clear();
        return false;
    }
    if (!step.IsCell) RestoreSnapshot(FSheet, *step.After);
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

void TQvUndoStack::LoseHistory() noexcept {
    // The step's change happened but cannot be recorded, so no step may
    // be taken back over it, and the sheet no longer matches its last save.
    FSteps.clear();
    FIndex = 0;
    FCleanIndex = -1;
    FPendingBefore.reset();
    FPendingAreas.clear();
    FPendingIsArea = false;
    FPendingCellBefore.clear();
    try {
        Changed();
    } catch (...) {
        // A listener that cannot hear of it finds the stack empty next time.
    }
}

void TQvUndoStack::SetClean() {
    if (FCleanIndex == FIndex) return;
    FCleanIndex = FIndex;
    Changed();
}

size_t TQvUndoStack::Bytes() const {
    std::set<const TQvSheetSnapshot*> seen;
    size_t total = 0;
    for (const TStep& s : FSteps) {
        total += sizeof(TStep) + s.Name.capacity() + s.CellBefore.capacity() + s.CellAfter.capacity();
        if (s.Change) total += s.Change->Bytes();
        for (const auto* records : {&s.AreaBefore, &s.AreaAfter}) {
            total += (records->capacity() - records->size()) * sizeof(TQvAreaSnapshot);
            for (const TQvAreaSnapshot& r : *records) total += r.Bytes();
        }
        for (const TShared& p : {s.Before, s.After})
            if (p && seen.insert(p.get()).second) total += p->Bytes();
    }
    return total;
}

TQvUndoStep::TQvUndoStep(TQvSheet* Sheet, const std::string& Name) : FSheet(Sheet) {
    if (FSheet) FSheet->UndoStack().BeginStep(Name);
}

TQvUndoStep::TQvUndoStep(TQvSheet* Sheet, const std::string& Name, TQvSectionKind Kind, const std::vector<TRect>& Rects)
    : FSheet(Sheet) {
    if (FSheet) FSheet->UndoStack().BeginAreaStep(Name, Kind, Rects);
}

// A step that cannot be recorded (out of memory) drops the history
// instead of leaving a destructor by an exception.
TQvUndoStep::~TQvUndoStep() {
    if (!FSheet) return;
    try {
        FSheet->UndoStack().EndStep();
    } catch (...) {
    }
}

TQvCellUndoStep::TQvCellUndoStep(TQvCell* Cell, const std::string& Name, bool Created) {
    TQvSection* section = Cell ? Cell->Section() : nullptr;
    TQvSheet* sheet = section ? section->Sheet() : nullptr;
    if (!sheet) return;
    FStack = &sheet->UndoStack();
    FStack->BeginCellStep(Name, *Cell, Created);
}

TQvCellUndoStep::~TQvCellUndoStep() {
    if (!FStack) return;
    try {
        FStack->EndCellStep();
    } catch (...) {
    }
}

void TQvUndoStack::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace qv
