#include "grids/sheet_snapshot.h"

#include <limits>

#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "platform/stream.h"

namespace qv {

namespace {

// Every position a section can hold.
constexpr TRect Everything{0, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};

void EmptySection(TQvSection& S) {
    // Ranges first: a range refers to its top-left cell.
    S.RemoveUnionsIn(Everything);
    S.FreeCells(Everything);
    S.Clear();  // the emptied rows
    for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbBias1, tbBias2, tbFill, tbFrames}) S.Tables(t)->Clear();
}

}  // namespace

TQvSheetSnapshot TakeSnapshot(TQvSheet& Sheet) {
    TQvSheetSnapshot s;
    s.ColCount = Sheet.ColCount();
    s.RowCount = Sheet.RowCount();
    s.TitleCols = Sheet.TitleCols();
    s.TitleRows = Sheet.TitleRows();
    s.ColDefWidth = Sheet.ColDefWidth();
    s.RowDefHeight = Sheet.RowDefHeight();
    s.ColMaxWidth = Sheet.ColMaxWidth();
    s.RowMaxHeight = Sheet.RowMaxHeight();
    TMemoryStream m;
    WriteSheetPayload(Sheet, m);
    s.Data = m.Bytes();
    return s;
}

void RestoreSnapshot(TQvSheet& Sheet, const TQvSheetSnapshot& S) {
    Sheet.BeginUpdate();
    struct TEnd {
        TQvSheet& Sheet;
        ~TEnd() { Sheet.EndUpdate(); }
    } end{Sheet};
    for (int k = 0; k < 4; ++k) EmptySection(*Sheet.Sections(static_cast<TQvSectionKind>(k)));
    // Counts of 0 drop every individual size.
    Sheet.SetColCount(0);
    Sheet.SetRowCount(0);
    Sheet.SetTitleCols(0);
    Sheet.SetTitleRows(0);
    Sheet.SetColDefWidth(S.ColDefWidth);
    Sheet.SetRowDefHeight(S.RowDefHeight);
    Sheet.SetColMaxWidth(S.ColMaxWidth);
    Sheet.SetRowMaxHeight(S.RowMaxHeight);
    Sheet.SetColCount(S.ColCount);
    Sheet.SetRowCount(S.RowCount);
    Sheet.SetTitleCols(S.TitleCols);
    Sheet.SetTitleRows(S.TitleRows);
    TMemoryStream m(S.Data);
    // The sheet's own bytes: no trial read first.
    ReadSheetData(Sheet, m);
    Sheet.SetModified(true);
}

}  // namespace qv
