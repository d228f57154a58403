// What a sheet asks of the grids that show it. The sheet keeps a list of
// attached views and calls into them; it never knows the widget behind one.
#pragma once

#include <cstdint>

#include "grids/types.h"
#include "platform/geometry.h"

namespace qv {

class TQvCell;
class TQvSheet;

// What a view repaints of a cell rectangle: the cells with a margin for the
// frames drawn around them, only a band along the rectangle's outline (its
// border lines, or a selection frame), or just the cells' inside.
enum TQvRepaintArea : uint8_t { raCells = 0, raOutline = 1, raInside = 2 };

class IQvSheetView {
public:
    virtual ~IQvSheetView() = default;

    // Every size of Axis may have changed (counts, defaults, maxima).
    virtual void UpdateSizes(TQvAxis Axis) = 0;
    // One size changed: entry Entry of part Part of Axis.
    virtual void ApplySize(TQvAxis Axis, TQvSizePart Part, int32_t Entry) = 0;
    // Repaint all four panes (an update block of the sheet ended).
    virtual void InvalidateAll() = 0;
    // Re-read sizes and layout after the sheet's data was read.
    virtual void ReadLayout() = 0;
    // The cell edited in place by this view, or null.
    virtual TQvCell* EditCell() const = 0;
    // End the in-place edit (the edited cell changes kind); what was typed
    // is written back.
    virtual void EndEdit() = 0;
    // The edited cell is being destroyed: end the edit without writing into
    // it (its typed part is already gone).
    virtual void EditCellDestroying() { EndEdit(); }
    // Repaint the client pane (the background picture changed).
    virtual void RepaintClient() = 0;
    // Re-apply the selection of the pane showing section Kind, so that it
    // grows to whole merged ranges again.
    virtual void MergeChanged(TQvSectionKind Kind) = 0;
    // Repaint the section-local cell rectangle R in the pane showing section
    // Kind: the cells (raCells) or only a band along R's outline (raOutline).
    virtual void InvalidateCells(TQvSectionKind Kind, const TRect& R, TQvRepaintArea Mode) = 0;
    // Repaint the pane showing section Kind completely.
    virtual void InvalidatePane(TQvSectionKind Kind) = 0;
    // Columns (Axis axCols) or rows were inserted or removed: sizes, cells and
    // merged ranges of the sections along Axis have moved. A repaint of all
    // panes follows.
    virtual void LinesShifted(TQvAxis Axis) { UpdateSizes(Axis); }
    // The sheet is going away: drop the reference (and detach from it).
    virtual void SheetDestroying(TQvSheet* Sheet) = 0;
};

}  // namespace qv
