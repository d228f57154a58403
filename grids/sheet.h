// TQvSheet: the non-visual component that owns all data of one sheet — four
// sections of cells, the column and row size lists, two base styles, an
// optional styler, a background picture — and the list of views showing it.
//
// Sheet coordinates: client columns and rows count from 0; title columns
// have negative x (-TitleCols .. -1) and title rows negative y. The signs
// pick the section; a negative coordinate is shifted by the title count into
// the section's own index space:
//   x >= 0, y <  0  section 0 (column titles)  local (x, y + TitleRows)
//   x <  0, y >= 0  section 1 (row titles)     local (x + TitleCols, y)
//   x <  0, y <  0  section 2 (corner)         local (x + TitleCols, y + TitleRows)
//   x >= 0, y >= 0  section 3 (client)         local (x, y)
//
// Size indexes (GetSize, SetSize, OnSizing) address title entries as
// -1 - entry (-1 is title entry 0), while cell coordinates address them as
// entry - title count; with one title column and row the two agree.
#pragma once

#include <memory>
#include <vector>

#include "grids/section.h"
#include "grids/sheet_view.h"
#include "grids/size_list.h"
#include "grids/types.h"
#include "platform/component.h"
#include "platform/events.h"
#include "platform/qv_assert.h"
#include "platform/variant.h"

namespace qv {

class TFiler;
class TPicture;
class TStream;
class TQvBaseStyle;
class TQvStyler;
class TQvUndoStack;

class TQvSheet : public TComponent {
    QV_CLASS(TQvSheet)
public:
    explicit TQvSheet(TComponent* AOwner = nullptr);
    ~TQvSheet() override;

    // --- views -----------------------------------------------------------
    void AddView(IQvSheetView* View);
    void RemoveView(IQvSheetView* View);
    int ViewCount() const { return static_cast<int>(FViews.size()); }
    IQvSheetView* Views(int I) const {
        QV_ASSERT(I >= 0 && I < ViewCount());
        return FViews[I];
    }

    // --- structure -------------------------------------------------------
    TQvSection* Sections(TQvSectionKind Kind) const {
        QV_ASSERT(Kind <= skClient);
        return FSections[Kind].get();
    }
    TQvSizeList* Sizes(TQvAxis Axis, TQvSizePart Part) const {
        QV_ASSERT(Axis <= axRows && Part <= spClient);
        return FSizes[Axis][Part].get();
    }
    TQvBaseStyle* BaseClientStyle() const { return FBaseClientStyle.get(); }
    TQvBaseStyle* BaseTitleStyle() const { return FBaseTitleStyle.get(); }
    // Assign into the owned style.
    void SetBaseClientStyle(const TQvBaseStyle* S);
    void SetBaseTitleStyle(const TQvBaseStyle* S);
    TQvStyler* Styler() const { return FStyler; }
    // Moves the cells' style assignments to the styles of the same name in
    // S (none where S lacks the name), then fires OnStylerChanged.
    void SetStyler(TQvStyler* S);
    TPicture* Background() const { return FBackground.get(); }
    void SetBackground(const TPicture* P);

    // --- counts, defaults, maxima ----------------------------------------
    // The most columns (rows) of each part a sheet can hold: one more than
    // the highest index its lists store. A count past it raises
    // EQvGridError naming the count, and changes nothing.
    static int32_t MaxCount();
    int32_t ColCount() const { return Count(axCols, spClient); }
    int32_t RowCount() const { return Count(axRows, spClient); }
    int32_t TitleCols() const { return Count(axCols, spTitle); }
    int32_t TitleRows() const { return Count(axRows, spTitle); }
    int32_t ColDefWidth() const { return FSizes[axCols][spClient]->Default(); }
    int32_t RowDefHeight() const { return FSizes[axRows][spClient]->Default(); }
    int32_t ColMaxWidth() const { return FMaxSize[axCols]; }
    int32_t RowMaxHeight() const { return FMaxSize[axRows]; }
    void SetColCount(int32_t N) { SetAxisCount(axCols, N); }
    void SetRowCount(int32_t N) { SetAxisCount(axRows, N); }
    void SetTitleCols(int32_t N) { SetTitleCount(axCols, N); }
    void SetTitleRows(int32_t N) { SetTitleCount(axRows, N); }
    void SetColDefWidth(int32_t D) { SetDefSize(axCols, D); }
    void SetRowDefHeight(int32_t D) { SetDefSize(axRows, D); }
    void SetColMaxWidth(int32_t M) { SetMaxSize(axCols, M); }
    void SetRowMaxHeight(int32_t M) { SetMaxSize(axRows, M); }
    int32_t Count(TQvAxis Axis, TQvSizePart Part) const { return Sizes(Axis, Part)->Count(); }
    void SetAxisCount(TQvAxis Axis, int32_t N);
    void SetTitleCount(TQvAxis Axis, int32_t N);
    void SetDefSize(TQvAxis Axis, int32_t D);
    int32_t MaxSize(TQvAxis Axis) const {
        QV_ASSERT(Axis <= axRows);
        return FMaxSize[Axis];
    }
    void SetMaxSize(TQvAxis Axis, int32_t M);

    // --- sizes -----------------------------------------------------------
    // Index >= 0: client entry Index; Index < 0: title entry -1 - Index.
    int32_t GetSize(TQvAxis Axis, int32_t Index) const;
    // Fires OnSizing, applies the maximum, stores the size when the entry
    // exists and the size differs, and tells the views.
    void SetSize(int32_t Index, TQvAxis Axis, int32_t Size);
    // The same in GetSize's argument order.
    void SetSize(TQvAxis Axis, int32_t Index, int32_t Size) { SetSize(Index, Axis, Size); }
    // OnSizing, then the maximum; used by SetSize and interactive sizing.
    void DoSizing(TQvAxis Axis, TQvSizePart Part, int32_t& Size, int32_t Entry);
    void NotifySizeChanged(IQvSheetView* Except, TQvAxis Axis, int32_t Entry, TQvSizePart Part);

    // --- cells by sheet coordinate ---------------------------------------
    // The section kind of (X, Y); Local receives the section-local point.
    TQvSectionKind MapCoord(int32_t X, int32_t Y, TPoint& Local) const;
    TQvCell* NeedCell(int32_t X, int32_t Y);
    TQvCell* FindCell(int32_t X, int32_t Y) const;
    // The cell's value, or an unassigned variant when there is no cell.
    TVariant CellValue(int32_t X, int32_t Y) const;
    void SetCellValue(int32_t X, int32_t Y, const TVariant& V);

    // --- updates and notification ----------------------------------------
    void BeginUpdate() { ++FUpdateCount; }
    // At 0 every view repaints all its panes.
    void EndUpdate();
    int32_t UpdateCount() const { return FUpdateCount; }
    bool Modified() const { return FModified; }
    // Fires OnModified when the flag changes.
    void SetModified(bool V);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool V) { FReadOnly = V; }
    // Every view editing Cell ends the edit; Destroying tells them the cell
    // is going away and must not be written.
    void CellReleased(const TQvCell* Cell, bool Destroying = false);
    void RepaintGrids();
    void MergeChanged(TQvSectionKind Kind);

    // The steps a person took on this sheet through a grid or a designer.
    TQvUndoStack& UndoStack();

    // --- inserting and removing columns and rows -----------------------------
    // Count client rows (columns) are inserted before At (0 .. count; At =
    // count appends) or removed from At on. Cells, line, fill and frame
    // tables, sizes (individual and hidden) and merged ranges move with
    // their rows (columns) in the client section and in the title section
    // beside it; the count grows or shrinks. Inserted rows take nothing,
    // except where they cut through a merged range, which grows and gives
    // them its fill and outer edges; a line between two rows moves with the
    // row below it (a column's, with the column right of it). A merged
    // range cut by a removal shrinks (see TQvSection::DeleteLines). Title
    // rows and columns cannot be inserted or removed: a negative At raises
    // EQvGridError, as do Count < 1, a span beyond the count and a count or
    // stored position past the lists' highest index; nothing has changed
    // then. Views repaint and are told through LinesShifted.
    void InsertRows(int32_t At, int32_t Count);
    void RemoveRows(int32_t At, int32_t Count);
    void InsertCols(int32_t At, int32_t Count);
    void RemoveCols(int32_t At, int32_t Count);

    // --- persistence -------------------------------------------------------
    // The "QvData" payload: base styles, individual sizes and the sections.
    void WriteData(TStream& Stream);
    // Merges the payload into the sheet (nothing is cleared first), all or
    // nothing: a payload that raises leaves the sheet as it was.
    void ReadData(TStream& Stream);
    // The sheet alone as a component stream (".qvf" files). Loading merges
    // into the sheet inside an update block that always closes, all or
    // nothing: the stream is first read into a scratch sheet, and an error
    // reaches the caller with the sheet untouched (counts, titles, name and
    // background included). A load that succeeds leaves every section
    // consistent (TQvSection::CheckIntegrity).
    void SaveToStream(TStream& Stream);
    void LoadFromStream(TStream& Stream);
    void SaveToFile(const std::string& FileName);
    void LoadFromFile(const std::string& FileName);
    // Published properties first, then "QvData".
    void DefineProperties(TFiler& Filer) override;

    TQvSizingEvent OnSizing;
    TNotifyEvent OnStylerChanged;
    TNotifyEvent OnModified;
    // Names of the handlers bound to the events, as stored in streams.
    std::string OnSizingName;
    std::string OnStylerChangedName;
    std::string OnModifiedName;

private:
    friend class TQvStyler;

    std::unique_ptr<TQvSizeList> FSizes[2][2];
    std::vector<IQvSheetView*> FViews;
    std::unique_ptr<TPicture> FBackground;
    std::unique_ptr<TQvUndoStack> FUndoStack;
    std::unique_ptr<TQvSection> FSections[4];
    std::unique_ptr<TQvBaseStyle> FBaseClientStyle;
    std::unique_ptr<TQvBaseStyle> FBaseTitleStyle;
    TQvStyler* FStyler = nullptr;
    int32_t FMaxSize[2] = {0, 0};
    int32_t FUpdateCount = 0;
    bool FReadOnly = false;
    bool FModified = false;
};

}  // namespace qv
