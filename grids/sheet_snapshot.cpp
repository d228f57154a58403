#include "grids/sheet_snapshot.h"

#include <limits>

#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/row.h"
#include "grids/sheet_stream.h"
#include "lists/int_slist.h"
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

// --- one area ----------------------------------------------------------------

namespace qv {

namespace {

// The lines and keys of table T that an area touches: the vertical grid
// lines from its left to its right edge, the horizontal ones from its top
// to its bottom edge, and one line per row for the other tables.
void TableSpan(int T, const TRect& A, int32_t& LineFrom, int32_t& LineTo, int32_t& KeyFrom, int32_t& KeyTo) {
    LineFrom = T == tbVertLines ? A.Left : A.Top;
    LineTo = T == tbVertLines ? A.Right : T == tbHorzLines ? A.Bottom : A.Bottom - 1;
    KeyFrom = T == tbVertLines ? A.Top : A.Left;
    KeyTo = T == tbVertLines ? A.Bottom - 1 : A.Right - 1;
}

TQvSizePart PartOf(TQvSectionKind Kind, TQvAxis Axis) {
    const TQvSectionKind same = Axis == axCols ? skColTitles : skRowTitles;
    return Kind == skClient || Kind == same ? spClient : spTitle;
}

}  // namespace

TQvAreaSnapshot::TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area)
    : FSheet(Sheet), FKind(Kind), FArea(Area), FModified(Sheet.Modified()) {
    for (TQvAxis a : {axCols, axRows})
        for (TQvSizePart p : {spTitle, spClient}) FCounts[a][p] = Sheet.Count(a, p);
    if (FArea.IsEmpty()) return;
    TQvSection& sec = *Sheet.Sections(Kind);

    const std::vector<TQvUnion*> unions = sec.UnionsMeeting(FArea);
    for (const TQvUnion* u : unions) FUnions.push_back(u->Rect());
    sec.ForEachIn(FArea.Top, FArea.Bottom - 1, [&](int32_t y, TObject* obj) {
        static_cast<TQvRow*>(obj)->ForEachIn(FArea.Left, FArea.Right - 1, [&](int32_t x, TObject*) {
            SaveCell({x, y});
            return false;
        });
        return false;
    });
    // A write inside a range lands on the cell heading it, which may lie
    // outside the area.
    for (const TRect& r : FUnions)
        if (!FArea.Contains(r.TopLeft()) && sec.FindCell(r.TopLeft())) SaveCell(r.TopLeft());

    for (int t = 0; t < TQvSection::TableCount; ++t) {
        int32_t lineFrom, lineTo, keyFrom, keyTo;
        TableSpan(t, FArea, lineFrom, lineTo, keyFrom, keyTo);
        sec.Tables(static_cast<TQvSectionTable>(t))->ForEachIn(lineFrom, lineTo, [&](int32_t line, TObject* obj) {
            const auto* list = static_cast<const TSList*>(obj);
            const int32_t def = t == tbFrames ? static_cast<const TIntSList*>(list)->Default() : 0;
            list->ForEachIn(keyFrom, keyTo, [&](int32_t k, int32_t raw) {
                const int32_t v = raw + def;
                if (!FRuns.empty() && FRuns.back().Table == t && FRuns.back().Line == line &&
                    FRuns.back().To == k - 1 && FRuns.back().Value == v)
                    ++FRuns.back().To;
                else
                    FRuns.push_back({t, line, k, k, v});
                return false;
            });
            return false;
        });
    }

    for (TQvAxis a : {axCols, axRows}) {
        const TQvSizeList* list = Sheet.Sizes(a, PartOf(Kind, a));
        const int32_t from = a == axCols ? FArea.Left : FArea.Top, to = a == axCols ? FArea.Right : FArea.Bottom;
        list->ForEachIn(from, to - 1, [&](int32_t i, int32_t raw) {
            FSizes[a].push_back({i, raw});
            return false;
        });
    }
}

void TQvAreaSnapshot::SaveCell(TPoint P) {
    TQvCell* cell = FSheet.Sections(FKind)->FindCell(P);
    if (!cell) return;
    TMemoryStream m;
    SaveRecord(*cell, m);
    FRecords += m.Bytes();
    FCells.push_back({P, cell->ClassType(), cell->GetStyle(), FRecords.size()});
}

void TQvAreaSnapshot::Restore() {
    FSheet.BeginUpdate();
    struct TEnd {
        TQvSheet& Sheet;
        ~TEnd() { Sheet.EndUpdate(); }
    } end{FSheet};
    TQvSection& sec = *FSheet.Sections(FKind);
    if (!FArea.IsEmpty()) {
        // What the operation made goes first: ranges, then cells (which
        // frees their memory), then the table entries.
        const std::vector<TQvUnion*> now = sec.UnionsMeeting(FArea);
        const bool unionsChanged = !now.empty() || !FUnions.empty();
        sec.DeleteUnions(now);
        sec.FreeCells(FArea);
        for (const TRect& r : FUnions) sec.FreeCells({r.Left, r.Top, r.Left + 1, r.Top + 1});
        for (int t = 0; t < TQvSection::TableCount; ++t) {
            int32_t lineFrom, lineTo, keyFrom, keyTo;
            TableSpan(t, FArea, lineFrom, lineTo, keyFrom, keyTo);
            sec.Tables(static_cast<TQvSectionTable>(t))->ForEachIn(lineFrom, lineTo, [&](int32_t, TObject* obj) {
                static_cast<TSList*>(obj)->ClearRange(keyFrom, keyTo);
                return false;
            });
        }
        for (const TRun& r : FRuns)
            sec.SetLine(static_cast<TQvSectionTable>(r.Table), r.Line, r.From, r.To, static_cast<TQvLine>(r.Value));

        TMemoryStream records(FRecords);
        size_t at = 0;
        for (const TCell& c : FCells) {
            TQvCell* cell = sec.NeedCellOfClass(c.At, c.Class);
            records.SetPosition(static_cast<int64_t>(at));
            if (cell) {
                LoadRecord(*cell, records);  // written by SaveRecord just before
                cell->SetStyle(c.Style);
            }
            at = c.End;
        }
        for (const TRect& r : FUnions) sec.AddUnion(r, nullptr);
        if (unionsChanged) FSheet.MergeChanged(FKind);
    }

    for (TQvAxis a : {axCols, axRows}) {
        FSheet.SetTitleCount(a, FCounts[a][spTitle]);
        FSheet.SetAxisCount(a, FCounts[a][spClient]);
    }
    if (!FArea.IsEmpty())
        for (TQvAxis a : {axCols, axRows}) {
            TQvSizeList* list = FSheet.Sizes(a, PartOf(FKind, a));
            const int32_t from = a == axCols ? FArea.Left : FArea.Top, to = a == axCols ? FArea.Right : FArea.Bottom;
            list->ClearRange(from, to - 1);
            for (const TSize& s : FSizes[a]) list->SetItem(s.Index, s.Raw);
            for (int i = FSheet.ViewCount() - 1; i >= 0; --i)
                if (i < FSheet.ViewCount()) FSheet.Views(i)->UpdateSizes(a);
        }
    FSheet.SetModified(FModified);
}

}  // namespace qv
