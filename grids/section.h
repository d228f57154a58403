// TQvSection: the cells of one quadrant of a sheet, in section-local
// coordinates starting at (0, 0): a sparse list of rows keyed by local row,
// the merged ranges of the quadrant, and six attribute tables that store
// what belongs to positions rather than to cell objects.
//
// Attribute tables (first key -> second key -> 32-bit line value, 0 = unset):
//   0  vertical grid line x (left of column x) -> row y     Left, Right, VInternal
//   1  horizontal grid line y (above row y)    -> column x  Top, Bottom, HInternal
//   2  row y -> column x   first diagonal
//   3  row y -> column x   second diagonal
//   4  row y -> column x   fill colour
//   5  row y -> column x   frame style; TIntSList sub-lists whose Default is
//      the base style's frame when the sub-list is created
// A border line is stored once per grid-line segment and shared by the cells
// on both sides of it.
//
// Rectangles are half-open: Right and Bottom are one past the last column
// and row.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grids/cell.h"
#include "grids/row.h"
#include "grids/union.h"
#include "grids/union_index.h"
#include "lists/list_slist.h"
#include "platform/qv_assert.h"

namespace qv {

// The attribute tables, numbered as above (the numbers are stored in files).
enum TQvSectionTable : uint8_t {
    tbVertLines = 0,
    tbHorzLines = 1,
    tbBias1 = 2,
    tbBias2 = 3,
    tbFill = 4,
    tbFrames = 5,
};

class TQvBaseStyle;
class TQvSheet;
class TQvStyle;
class TStream;

// A run of equal, non-zero values along one line of an attribute table: the
// keys [From, To) all hold Value.
struct TQvRun {
    int32_t From = 0;
    int32_t To = 0;
    TQvLine Value = 0;
    friend bool operator==(const TQvRun&, const TQvRun&) = default;
};

class TQvSection : public TObjectSList {
    QV_CLASS(TQvSection)
public:
    static constexpr int TableCount = 6;

    TQvSection(TQvSheet* Sheet, TQvSectionKind Kind);
    // Releases the tables, then every row (and cell), then the ranges.
    ~TQvSection() override;

    TQvSheet* Sheet() const { return FSheet; }
    TQvSectionKind Kind() const { return FKind; }
    TQvBaseStyle* BaseStyle() const { return FBaseStyle; }
    void SetBaseStyle(TQvBaseStyle* S) { FBaseStyle = S; }

    // Stamps each present row in [From, To] with its index.
    void Reindex(int32_t From, int32_t To) override;

    // --- rows and cells --------------------------------------------------
    // Points outside the index space of the sparse lists (negative, or past
    // their highest index) hold nothing: lookups give null and the Need
    // operations create nothing and return null.
    TQvRow* Rows(int32_t Y) const;
    TQvRow* NeedRow(int32_t Y);
    // The top-left of the merged range that covers P without starting at P;
    // otherwise P.
    TPoint OwnerOf(TPoint P) const;
    TQvCell* FindCell(TPoint P) const;
    // The cell at OwnerOf(P), created of the base style's cell class if missing.
    TQvCell* NeedCell(TPoint P);
    // The cell at OwnerOf(P) if it is exactly of class Cls; otherwise the
    // old cell is released and one of Cls is created.
    TQvCell* NeedCellOfClass(TPoint P, TQvCellClass Cls);
    TQvCellClass CellClassAt(TPoint P) const;
    void SetCellClassAt(TPoint P, TQvCellClass Cls);
    // Releases every cell at every position of R (rows stay).
    void FreeCells(const TRect& R);

    // Walk R row by row (y outer, x inner), skipping positions covered by a
    // merged range other than its top-left. The callback may set Stop; the
    // walk ends after that call. Both return the number of callbacks made.
    using TPositionCallback = std::function<void(TPoint P, bool& Stop)>;
    using TCellCallback = std::function<void(TQvCell* Cell, bool& Stop)>;
    int ForEachPosition(const TRect& R, const TPositionCallback& Fn);
    // With Create, cells are made where missing (NeedCell); otherwise
    // positions without a cell are skipped.
    int ForEachCell(const TRect& R, bool Create, const TCellCallback& Fn);
    // Gives each packed cell of R the form Map returns for its form (one of
    // the same class; -1: the cell becomes an object instead, left to the
    // caller's walk over objects), asking Map once per form; marks the sheet
    // modified when a form changed. The caller repaints R.
    void ReformPacked(const TRect& R, const std::function<int(uint8_t Form)>& Map);
    // Every existing cell of the section in row, then column order (packed
    // cells become objects first).
    void ForAllCells(const std::function<void(TQvCell*)>& Fn) const;
    // The cells that are objects already, in the same order: for walks that
    // look for what only objects carry (a style, a mark).
    void ForAllCellObjects(const std::function<void(TQvCell*)>& Fn) const;

    // --- attribute tables ------------------------------------------------
    TListSList* Tables(TQvSectionTable T) const {
        QV_ASSERT(T < TableCount);
        return FTables[T].get();
    }
    // Frees the sub-lists of the line and fill tables that hold nothing any
    // more (lines cleared one by one leave them behind). Writers call it
    // first, so that a table holds exactly what a reader of its record
    // builds and saving again gives the same bytes.
    void DropEmptyLines();
    // Tables[Table][Line][k] := Value for k in [From, To]; a zero write into
    // a missing sub-list creates nothing.
    void SetLine(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To, TQvLine Value);
    // The value at From (0 when missing); Uniform tells whether every key in
    // [From, To] holds it (true when the sub-list is missing or To <= From).
    TQvLine GetLine(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To, bool& Uniform) const;
    // What a painter reads, in runs of equal value with the unset keys left
    // out: the fills of row Y over columns [From, To), the vertical grid line
    // X (left of column X) over rows [From, To), and the horizontal grid line
    // Y (above row Y) over columns [From, To). Decode the values with
    // LineColor and UnpackLine (grids/types.h).
    std::vector<TQvRun> FillRuns(int32_t Y, int32_t From, int32_t To) const;
    // The first (top-left to bottom-right) or second (bottom-left to
    // top-right) diagonal of the cells From..To−1 of row Y.
    std::vector<TQvRun> DiagonalRuns(bool Second, int32_t Y, int32_t From, int32_t To) const;
    std::vector<TQvRun> VertLineRuns(int32_t X, int32_t From, int32_t To) const;
    std::vector<TQvRun> HorzLineRuns(int32_t Y, int32_t From, int32_t To) const;
    // Frame style at (X, Y): the row's sub-list value, or the base style's frame.
    int32_t AreaValue(int32_t X, int32_t Y) const;
    void SetAreaValue(int32_t Y, int32_t FromX, int32_t ToX, uint8_t Value);

    // --- merged ranges ---------------------------------------------------
    // In creation order. Lookups by position scan newest first, lookups by
    // intersection oldest first.
    const std::vector<std::unique_ptr<TQvUnion>>& Unions() const { return FUnions; }
    TQvUnion* AddUnion(const TRect& R, TQvCell* Cell);
    // Removes U (its top-left cell stays; the other positions stay empty),
    // repaints its rectangle and sets U to null.
    void DeleteUnion(TQvUnion*& U);
    // Makes R one merged range (nothing for a single position).
    void Merge(const TRect& R);
    void RemoveUnionsIn(const TRect& R);
    // Removes every range of Doomed as DeleteUnion does, in one pass over
    // the ranges: many at once cost the ranges once, not once each.
    void DeleteUnions(const std::vector<TQvUnion*>& Doomed);
    // The ranges that meet R, in creation order; costs the ranges near R.
    std::vector<TQvUnion*> UnionsMeeting(const TRect& R) const;
    TQvUnion* FindUnionAt(TPoint P, bool IncludeTopLeft) const;
    TQvUnion* FindUnionOfCell(const TQvCell* Cell) const;
    TQvUnion* FindIntersecting(const TRect& R, const TQvUnion* Except) const;
    bool HasUnion(const TRect& R) const;
    // The smallest rectangle holding R and every range it touches.
    TRect ExpandToUnions(const TRect& R) const;
    // After an edit wrote into R: every range meeting R loses its inner
    // lines and takes its top-left fill again. Outer edges stay as written,
    // mixed or not (unlike a merge, which clears a mixed edge).
    void NormaliseUnionsIn(const TRect& R);
    void NormaliseUnion(TQvUnion* U);
    // The border segments (one line beside one position) that merges have
    // cleared since the section was made: inner lines, and outer edges whose
    // lines were mixed, of the new range and of neighbours it touched. It
    // only grows; a command reads it before and after to tell the user what
    // a merge took away.
    int64_t ClearedLineSegments() const { return FClearedSegments; }

    // --- loading ---------------------------------------------------------
    // While a reader holds a budget (in bytes; negative for none), giving a
    // range its top-left fill costs memory from it. A range whose fill would
    // cost more than is left gets no fill at all, which keeps the range
    // uniform, and Overspent names it; a new budget clears Overspent.
    void SetFillBudget(int64_t Bytes) {
        FFillBudget = Bytes;
        FOverspent.clear();
    }
    const std::string& Overspent() const { return FOverspent; }
    // After lines were stored under existing ranges: clears their inner lines
    // and spreads each range's top-left fill over it. Outer edges stay as
    // stored, mixed or not: they are grid lines shared with the neighbouring
    // cells. Costs the ranges, a binary search each, and the lines actually
    // stored.
    void TidyRanges();

    // --- edits ---------------------------------------------------------------
    // What one change may add to the tables, in bytes: far more than any
    // sheet filled by hand needs, far less than would exhaust memory.
    static constexpr int64_t EditCostLimit = int64_t(512) << 20;
    // Raises EQvGridError, naming the range or rectangle, when writing Value
    // into Table over every line of R (rows; columns for vertical lines)
    // would cost more than EditCostLimit. For the fill, each range whose
    // top-left R holds takes the value at every position and counts too.
    // Called before anything is written; costs the ranges near R and the
    // fill rows stored under them.
    void CheckAreaWrite(TQvSectionTable Table, const TRect& R, TQvLine Value) const;

    // --- repaint and styles ----------------------------------------------
    // Asks the pane showing this section in every attached grid to repaint R
    // (only a band along its outline with LinesOnly); nothing while the
    // sheet is inside BeginUpdate/EndUpdate.
    void Invalidate(const TRect& R, bool LinesOnly);
    void InvalidateAll();
    // Every cell using Style (every cell, for null) loses its style.
    void DetachStyle(const TQvStyle* Style);
    // Every cell using Style (every cell, for null) inherits Change again.
    void StyleChanged(const TQvStyle* Style, uint8_t Change);
    // Carry style assignments across a change of styler, by name.
    void SaveStyleNames(TStream& Stream);
    void LoadStyleNames(TStream& Stream);

    // --- inserting and removing columns and rows -----------------------------
    // Axis picks the key that moves: columns (axCols) or rows (axRows), both
    // local to the section. Everything stored at At or beyond moves by Count
    // along with its column or row: cells, rows, the entries of all six
    // tables (a grid line moves with the column right of it or the row
    // below it) and merged ranges. Inserted positions take nothing, except
    // inside a range they cut through, which grows and spreads its fill and
    // its outer edges over them. DeleteLines releases what lies in
    // At .. At + Count - 1; a range removed whole goes, a cut one shrinks
    // (keeping its cell, moved to its new top-left, and losing an outer
    // edge that is no longer one line), and a range left with one position
    // is no longer a range. Neither checks its arguments beyond
    // CanInsertLines: the sheet does that before anything changes.
    bool CanInsertLines(TQvAxis Axis, int32_t At, int32_t Count) const;
    void InsertLines(TQvAxis Axis, int32_t At, int32_t Count);
    void DeleteLines(TQvAxis Axis, int32_t At, int32_t Count);
    // Rows that moved are not renumbered at once: the section records each
    // move, and a row brings its number up to date when asked (TQvRow::
    // Index). After a few moves every row is renumbered and the record
    // starts again, so a row never replays more than that many moves.
    uint32_t RowEpoch() const { return FRowEpoch; }
    // Replays the moves after Epoch onto Index and sets Epoch to RowEpoch.
    void CatchUp(int32_t& Index, uint32_t& Epoch) const;

    // Consistency check for tests and debugging: an empty string when every
    // invariant holds, otherwise one line per violation.
    std::string CheckIntegrity() const;

private:
    friend class TQvUnion;  // files itself anew in the range index when it moves
    // Files every range anew, after their rectangles were shifted in place.
    void RebuildUnionIndex();
    // Calls Fn for the ranges whose rectangle may meet R: those the index
    // files near R (a range may come more than once), or all of them when R
    // is large.
    template <typename TFn>
    void ForEachUnionNear(const TRect& R, TFn&& Fn) const;
    // The same ranges once each, in the order they were made.
    std::vector<TQvUnion*> UnionsNear(const TRect& R) const;
    // The runs of table Table (up to tbFill) along Line over keys [From, To).
    std::vector<TQvRun> Runs(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To) const;
    // The cell stored exactly at P, ignoring merged ranges.
    TQvCell* CellAt(TPoint P) const;
    // NormaliseUnionsIn for one range: removes ranges overlapping U, clears
    // its inner lines and spreads its top-left fill.
    void TidyUnion(TQvUnion* U);
    // Clears inner and mixed outer lines of U and spreads its top-left fill,
    // then does the same for neighbours whose edges a clearing touched.
    void NormaliseLines(TQvUnion* U);
    // One range's part of that; returns the bands along the cleared edges.
    std::vector<TRect> NormaliseLinesOf(TQvUnion* U);
    // The entries Table[Line][From .. To] that hold a line.
    int64_t StoredSegments(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To) const;
    // Table[Line][From .. To] := 0 for every stored line FromLine .. ToLine.
    void ClearLinesIn(TQvSectionTable Table, int32_t FromLine, int32_t ToLine, int32_t From, int32_t To);
    // Gives every position of R the fill at its top-left, within the fill
    // budget. StoredRows, when given, lists the fill rows present before
    // (ascending); otherwise the table is asked.
    void SpreadFill(const TRect& R, const std::vector<int32_t>* StoredRows);
    // What giving every position of R the fill Fill would add to the fill
    // table; Rows, when given, receives how many rows would be written.
    int64_t FillCost(const TRect& R, int32_t Fill, const std::vector<int32_t>* StoredRows, int64_t* Rows) const;
    // The fill rows of R stored, from StoredRows when given, else the table.
    void ForStoredFillRows(const TRect& R, const std::vector<int32_t>* StoredRows,
                           const std::function<void(int32_t, TSList*)>& Fn) const;

    // Rows at From or beyond moved by Delta.
    struct TRowMove {
        int32_t From;
        int32_t Delta;
    };
    // The rows moved: the row list has shifted (Reindex deferred); records
    // the move, or renumbers every row once the record is long.
    void RowsMoved(int32_t From, int32_t Delta);
    std::vector<TRowMove> FRowMoves;  // the moves of epochs FRowEpoch - size .. FRowEpoch - 1
    uint32_t FRowEpoch = 0;
    bool FDeferReindex = false;

    TQvSheet* FSheet;
    TQvBaseStyle* FBaseStyle = nullptr;
    std::unique_ptr<TListSList> FTables[TableCount];
    std::vector<std::unique_ptr<TQvUnion>> FUnions;  // in the order they were made
    TQvUnionIndex FUnionIndex;
    uint64_t FUnionCount = 0;  // ranges ever made: the next one's FOrder
    int64_t FFillBudget = -1;
    int64_t FClearedSegments = 0;
    bool FCountClears = false;  // inside Merge
    std::string FOverspent;
    TQvSectionKind FKind;
};

}  // namespace qv
