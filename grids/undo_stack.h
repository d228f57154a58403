// TQvUndoStack: the steps a person took on one sheet, to take back and do
// again.
//
// A step is what happens between BeginStep (or BeginAreaStep, or
// BeginCellStep) and its end: the grid and the designer wrap every user
// action (a typed value, a formatting command, a merge, a size change, a
// clear, a paste, an insert or remove) in one. A sheet step keeps a snapshot
// of the whole sheet before and after, so Undo gives back exactly the
// earlier sheet; consecutive sheet steps share their common snapshot. An
// area step keeps only the areas its command writes into, before and after,
// and so costs those areas (a step of one area keeps only what changed in
// it: TQvAreaChange); a cell step keeps one cell's record. Steps nest:
// only the outermost one counts, widened as needed (see BeginAreaStep), and
// a step that changed nothing is dropped.
//
// Changes made by program code outside a step are not recorded. Since
// taking back a step over them would lose them, Undo and Redo first check
// that what the step covers (the sheet, its areas or its cell) is as the
// stack left it; when it is not, the stack is cleared and nothing is undone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grids/area_change.h"
#include "grids/sheet_snapshot.h"
#include "grids/types.h"
#include "platform/geometry.h"
#include "platform/events.h"
#include "platform/object.h"

namespace qv {

class TQvCell;
class TQvSheet;

class TQvUndoStack : public TObject {
public:
    explicit TQvUndoStack(TQvSheet& Sheet);
    ~TQvUndoStack() override;

    // The most steps kept (oldest dropped first); at least 1. Default 100.
    int Limit() const { return FLimit; }
    void SetLimit(int Value);

    // Opens a step named Name ("Bold", "Typing", ...) that may change
    // anything; nested calls only count, except that inside an area step the
    // outer step becomes a sheet step (its sheet before is made from the
    // areas kept so far, on a copy of the sheet).
    void BeginStep(const std::string& Name);
    // Opens a step whose command writes nothing outside Rects of section
    // Kind (formatting or clearing a selection). Each rectangle is widened
    // to the merged ranges it meets, since a write into a range lands on the
    // cell heading it and fills and inner lines go with the whole range; the
    // grid lines on the outline belong to the area. Inside an area step the
    // rectangles join the outer step's areas; inside a sheet step it only
    // counts. A step whose command changed the counts or the merged ranges
    // of its areas after all is recorded as a sheet step instead. The
    // caller answers for the areas: a write outside them is not recorded.
    void BeginAreaStep(const std::string& Name, TQvSectionKind Kind, const std::vector<TRect>& Rects);
    // Closes a sheet or area step; the outermost call records it when the
    // sheet changed, dropping any steps that could be redone.
    void EndStep();
    bool InStep() const { return FDepth > 0; }

    int Count() const { return static_cast<int>(FSteps.size()); }
    // Steps 0..Index()-1 are done; Index()..Count()-1 can be redone.
    int Index() const { return FIndex; }
    bool CanUndo() const { return FIndex > 0; }
    bool CanRedo() const { return FIndex < Count(); }
    // The name of the step Undo or Redo would take; empty when none.
    std::string UndoText() const;
    std::string RedoText() const;
    // Each returns false (and changes nothing) when there is nothing to do,
    // and clears the stack when the sheet was changed outside the steps.
    bool Undo();
    bool Redo();
    void Clear();

    // The clean state is the index at the last save.
    void SetClean();
    bool IsClean() const { return FCleanIndex == FIndex; }

    // A step that changes one cell's own record and nothing else (a typed
    // value): only the cell's record before and after is kept, so the step
    // costs what the cell holds, not what the sheet holds. Inside another
    // step it adds nothing. Undo and redo check that the cell still holds
    // what the step left. Created: the cell was made for this change (by
    // an editor opening on an empty position), so undo removes it again.
    void BeginCellStep(const std::string& Name, TQvCell& Cell, bool Created = false);
    void EndCellStep();

    // The memory the recorded steps hold, shared snapshots counted once.
    size_t Bytes() const;
    // Whether step Index (0 .. Count()-1) keeps areas rather than the sheet.
    bool IsAreaStep(int Index) const { return !FSteps[Index].AreaAfter.empty() || FSteps[Index].Change; }

    // After every change of the steps, the index or the clean state.
    TNotifyEvent OnChange;

private:
    using TShared = std::shared_ptr<const TQvSheetSnapshot>;
    struct TStep {
        std::string Name;
        TShared Before;
        TShared After;
        // An area step instead: per area, in the order named, the record
        // before the area was named and after the step. Areas may overlap:
        // undo puts them back last first, so each position gets its
        // earliest record; then they are taken again, all at one moment,
        // for redo to check and the next undo to put back.
        std::vector<TQvAreaSnapshot> AreaBefore;
        std::vector<TQvAreaSnapshot> AreaAfter;
        // A step of one area keeps only what changed in it instead.
        std::shared_ptr<const TQvAreaChange> Change;
        // A cell step instead: where the cell is and its records.
        bool IsCell = false;
        TQvSectionKind Kind = skClient;
        TPoint Pos;
        std::string CellBefore;  // empty: no cell
        std::string CellAfter;
        // Whether the cell showed a refused entry before and after: the
        // mark is no part of the record, yet goes with the value it marks.
        bool ErrorBefore = false;
        bool ErrorAfter = false;
    };
    // Appends Step as the new last done step, dropping what could be redone.
    void Push(TStep Step);
    // Takes an area change back (or does it again, Redo) after checking
    // that its area holds the side it expects; clears the stack when not.
    bool ApplyChange(const TQvAreaChange& Change, bool Redo);
    // Puts Record into the cell of a cell step; false when the cell is not
    // there or does not hold Expected.
    bool ApplyCellStep(const TStep& Step, const std::string& Expected, const std::string& Record, bool Error);
    // The current sheet as a shared snapshot, reusing Known when equal.
    TShared Take(const TShared& Known) const;
    // Whether the sheet is still what the stack left next to the index.
    bool SheetAsLeft(bool ForRedo) const;
    // Whether every area holds what Records say.
    bool AreasAsLeft(const std::vector<TQvAreaSnapshot>& Records) const;
    // Adds the rectangles, widened to their ranges, that no area of the open
    // step holds yet; Made, a cell made for the step, counts as not there.
    void AddAreas(TQvSectionKind Kind, const std::vector<TRect>& Rects, const TQvCell* Made = nullptr);
    // The sheet as it was before the open area step: a copy of the sheet
    // with the areas put back, last first.
    TShared SheetBeforeAreas() const;
    void EndAreaStep();
    // After a step whose end could not be recorded: no steps, not clean.
    void LoseHistory() noexcept;
    void Changed();

    TQvSheet& FSheet;
    std::vector<TStep> FSteps;
    int FIndex = 0;
    int FCleanIndex = 0;  // -1: the clean state was dropped
    int FLimit = 100;
    int FDepth = 0;
    std::string FPendingName;
    TShared FPendingBefore;
    bool FPendingIsArea = false;
    std::vector<TQvAreaSnapshot> FPendingAreas;
    TQvCell* FPendingCell = nullptr;
    std::string FPendingCellBefore;
    bool FPendingCreated = false;
    bool FPendingCellError = false;
};

// A cell's class and record as the sheet's data stores them: two cells
// with the same bytes save the same.
std::string CellRecord(TQvCell& Cell);

// One user step for the lifetime of a scope, on the sheet's undo stack;
// nothing without a sheet.
class TQvUndoStep {
public:
    TQvUndoStep(TQvSheet* Sheet, const std::string& Name);
    // An area step (see BeginAreaStep).
    TQvUndoStep(TQvSheet* Sheet, const std::string& Name, TQvSectionKind Kind, const std::vector<TRect>& Rects);
    ~TQvUndoStep();
    TQvUndoStep(const TQvUndoStep&) = delete;
    TQvUndoStep& operator=(const TQvUndoStep&) = delete;

private:
    TQvSheet* FSheet;
};

// One cell step for the lifetime of a scope (see BeginCellStep); nothing
// without a cell or a sheet.
class TQvCellUndoStep {
public:
    TQvCellUndoStep(TQvCell* Cell, const std::string& Name, bool Created = false);
    ~TQvCellUndoStep();
    TQvCellUndoStep(const TQvCellUndoStep&) = delete;
    TQvCellUndoStep& operator=(const TQvCellUndoStep&) = delete;

private:
    TQvUndoStack* FStack = nullptr;
};

}  // namespace qv
