// Inserting and removing columns and rows: the sheet checks the request and
// moves the sizes; each section touched moves its rows, cells, tables and
// merged ranges.
#include <algorithm>
#include <string>
#include <vector>

#include "grids/sheet.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

// Whether table T keys Axis with its own index (and not with its sub-lists'):
// the vertical-line table is keyed by column first, the others by row.
bool KeysFirst(int T, TQvAxis Axis) { return (T == tbVertLines) == (Axis == axCols); }

int32_t& Lo(TRect& R, TQvAxis Axis) { return Axis == axRows ? R.Top : R.Left; }
int32_t& Hi(TRect& R, TQvAxis Axis) { return Axis == axRows ? R.Bottom : R.Right; }

}  // namespace

// --- section -------------------------------------------------------------

void TQvSection::CatchUp(int32_t& Index, uint32_t& Epoch) const {
    const uint32_t first = FRowEpoch - static_cast<uint32_t>(FRowMoves.size());
    for (uint32_t e = std::max(Epoch, first); e < FRowEpoch; ++e) {
        const TRowMove& m = FRowMoves[e - first];
        if (Index >= m.From) Index += m.Delta;
    }
    Epoch = FRowEpoch;
}

void TQvSection::RowsMoved(int32_t From, int32_t Delta) {
    FRowMoves.push_back({From, Delta});
    ++FRowEpoch;
    if (FRowMoves.size() < 32) return;
    Reindex(0, Last());
    FRowMoves.clear();
}

bool TQvSection::CanInsertLines(TQvAxis Axis, int32_t At, int32_t Count) const {
    if (Axis == axRows) {
        if (!CanInsertSpace(At, Count)) return false;
    } else if (ForEach([&](int32_t, TObject* R) { return !static_cast<TQvRow*>(R)->CanInsertSpace(At, Count); })) {
        return false;
    }
    for (int t = 0; t < TableCount; ++t) {
        const TListSList& table = *FTables[t];
        if (KeysFirst(t, Axis)) {
            if (!table.CanInsertSpace(At, Count)) return false;
        } else if (table.ForEach(
                       [&](int32_t, TObject* L) { return !static_cast<TSList*>(L)->CanInsertSpace(At, Count); })) {
            return false;
        }
    }
    const int64_t end = int64_t(TSList().MaxIndex()) + 1;
    for (const auto& u : FUnions) {
        TRect r = u->FRect;
        if (Hi(r, Axis) > At && int64_t(Hi(r, Axis)) + Count > end) return false;
    }
    return true;
}

void TQvSection::InsertLines(TQvAxis Axis, int32_t At, int32_t Count) {
    if (Axis == axRows) {
        FDeferReindex = true;
        InsertSpace(At, Count);
        FDeferReindex = false;
        RowsMoved(At, Count);
    } else {
        ForEach([&](int32_t, TObject* R) {
            static_cast<TQvRow*>(R)->InsertSpace(At, Count);
            return false;
        });
    }
    for (int t = 0; t < TableCount; ++t) {
        TListSList& table = *FTables[t];
        if (KeysFirst(t, Axis)) {
            table.InsertSpace(At, Count);
            continue;
        }
        table.ForEach([&](int32_t, TObject* L) {
            static_cast<TSList*>(L)->InsertSpace(At, Count);
            return false;
        });
    }
    std::vector<TQvUnion*> grown;
    for (const auto& u : FUnions) {
        int32_t& lo = Lo(u->FRect, Axis);
        int32_t& hi = Hi(u->FRect, Axis);
        if (lo >= At) {
            lo += Count;
            hi += Count;
        } else if (hi > At) {
            hi += Count;
            grown.push_back(u.get());
        }
    }
    RebuildUnionIndex();
    // A range keeps one fill and one line per outer edge: the positions it
    // grew by take them from the line before the gap, which lies inside it.
    const int32_t last = At + Count - 1;
    for (const TQvUnion* u : grown) {
        const TRect r = u->FRect;
        const TSList* top = FTables[tbFill]->List(r.Top);
        const auto fill = static_cast<TQvLine>(top ? top->GetItem(r.Left) : 0);
        const TQvSectionTable edgeTable = Axis == axRows ? tbVertLines : tbHorzLines;
        const int32_t edges[2] = {Axis == axRows ? r.Left : r.Top, Axis == axRows ? r.Right : r.Bottom};
        for (int32_t edge : edges) {
            const TSList* line = FTables[edgeTable]->List(edge);
            if (const auto v = static_cast<TQvLine>(line ? line->GetItem(At - 1) : 0))
                SetLine(edgeTable, edge, At, last, v);
        }
        if (fill == 0) continue;
        if (Axis == axRows)
            for (int32_t y = At; y <= last; ++y) SetLine(tbFill, y, r.Left, r.Right - 1, fill);
        else
            for (int32_t y = r.Top; y < r.Bottom; ++y) SetLine(tbFill, y, At, last, fill);
    }
}

void TQvSection::DeleteLines(TQvAxis Axis, int32_t At, int32_t Count) {
    const int64_t end = int64_t(At) + Count;
    // Where a range edge (start or one-past-end) lands after the removal.
    const auto map = [&](int32_t V) { return V < At ? V : V >= end ? static_cast<int32_t>(V - Count) : At; };

    // Ranges first: the ones removed whole go, and a range that loses its
    // top-left keeps its cell, taken out of its row before that row goes.
    struct TMoved {
        TQvUnion* U;
        TQvCell* Cell;
    };
    std::vector<TMoved> moved;
    std::vector<TQvUnion*> gone, cut;
    for (const auto& u : FUnions) {
        TRect r = u->FRect;
        const int32_t lo = Lo(r, Axis), hi = Hi(r, Axis);
        // A range ending at At keeps its place, but the line below (right
        // of) it is now the one that followed the removed lines.
        if (hi == At) cut.push_back(u.get());
        if (hi <= At) continue;
        if (map(lo) >= map(hi)) {
            gone.push_back(u.get());
            continue;
        }
        if (map(hi) - map(lo) != hi - lo) cut.push_back(u.get());
        if (lo >= At && lo < end) {
            TQvRow* row = Rows(r.Top);
            TQvCell* cell = row ? row->Cells(r.Left) : nullptr;
            if (cell) row->SetItem(r.Left, nullptr);
            moved.push_back({u.get(), cell});
        }
    }
    for (TQvUnion* u : gone) DeleteUnion(u);

    if (Axis == axRows) {
        FDeferReindex = true;
        DeleteRange(At, Count);
        FDeferReindex = false;
        RowsMoved(static_cast<int32_t>(end), -Count);
    } else {
        ForEach([&](int32_t, TObject* R) {
            static_cast<TQvRow*>(R)->DeleteRange(At, Count);
            return false;
        });
    }
    for (int t = 0; t < TableCount; ++t) {
        TListSList& table = *FTables[t];
        if (KeysFirst(t, Axis)) {
            table.DeleteRange(At, Count);
            continue;
        }
        table.ForEach([&](int32_t, TObject* L) {
            static_cast<TSList*>(L)->DeleteRange(At, Count);
            return false;
        });
    }

    for (const auto& u : FUnions) {
        int32_t& lo = Lo(u->FRect, Axis);
        int32_t& hi = Hi(u->FRect, Axis);
        lo = map(lo);
        hi = map(hi);
    }
    for (const TMoved& m : moved) {
        m.U->FCell = m.Cell;
        if (!m.Cell) continue;
        const TPoint tl = m.U->TopLeft();
        TQvRow* row = NeedRow(tl.Y);
        row->SetItem(tl.X, m.Cell);
        m.Cell->FOwner = row;
        m.Cell->FCol = tl.X;
    }
    RebuildUnionIndex();
    // A range that lost part of itself, or whose far edge is now another
    // line, keeps its outer edges as they are (they are shared with the
    // cells next to it, whose borders they hold). One position left is no
    // range.
    for (TQvUnion* u : cut) {
        const TRect r = u->FRect;
        if (r.Right - r.Left == 1 && r.Bottom - r.Top == 1) DeleteUnion(u);
        else TidyUnion(u);
    }
}

// --- sheet ---------------------------------------------------------------

namespace {

void ShiftLines(TQvSheet& Sheet, TQvAxis Axis, int32_t At, int32_t Count, bool Insert) {
    const bool rows = Axis == axRows;
    const std::string op = std::string(Insert ? "Insert" : "Remove") + (rows ? "Rows" : "Cols");
    const std::string noun = rows ? "row" : "column";
    TQvSizeList* sizes = Sheet.Sizes(Axis, spClient);
    const int32_t n = sizes->Count();
    const TQvSectionKind kinds[2] = {skClient, rows ? skRowTitles : skColTitles};

    // Everything is checked before anything changes.
    if (At < 0)
        throw EQvGridError(op + ": At " + std::to_string(At) + " names a title " + noun + "; only client " + noun +
                           "s (numbered from 0) can be inserted or removed");
    if (Count <= 0) throw EQvGridError(op + ": Count " + std::to_string(Count) + " must be at least 1");
    if (Insert) {
        if (At > n)
            throw EQvGridError(op + ": At " + std::to_string(At) + " lies beyond the " + noun + " count " +
                               std::to_string(n));
        const int64_t limit = int64_t(TSList().MaxIndex()) + 1;
        if (int64_t(n) + Count > limit)
            throw EQvGridError(op + ": " + std::to_string(Count) + " more " + noun + "s would make " +
                               std::to_string(int64_t(n) + Count) + "; at most " + std::to_string(limit) + " fit");
        for (TQvSectionKind k : kinds)
            if (!Sheet.Sections(k)->CanInsertLines(Axis, At, Count))
                throw EQvGridError(op + ": cells, lines or merged ranges stored beyond the " + noun +
                                   " count would move past the last " + noun + " index " + std::to_string(limit - 1));
    } else if (int64_t(At) + Count > n) {
        throw EQvGridError(op + ": " + noun + "s " + std::to_string(At) + " .. " +
                           std::to_string(int64_t(At) + Count - 1) + " reach beyond the " + noun + " count " +
                           std::to_string(n));
    }

    // Panes repaint once, when the update block closes.
    struct TBlock {
        TQvSheet& S;
        explicit TBlock(TQvSheet& Sh) : S(Sh) { S.BeginUpdate(); }
        ~TBlock() { S.EndUpdate(); }
    } block(Sheet);
    if (Insert) {
        sizes->InsertSpace(At, Count);
        sizes->SetCount(n + Count);
        for (TQvSectionKind k : kinds) Sheet.Sections(k)->InsertLines(Axis, At, Count);
    } else {
        sizes->DeleteRange(At, Count);
        sizes->SetCount(n - Count);
        for (TQvSectionKind k : kinds) Sheet.Sections(k)->DeleteLines(Axis, At, Count);
    }
    Sheet.SetModified(true);
    for (int i = Sheet.ViewCount() - 1; i >= 0; --i)
        if (i < Sheet.ViewCount()) Sheet.Views(i)->LinesShifted(Axis);
}

}  // namespace

void TQvSheet::InsertRows(int32_t At, int32_t Count) { ShiftLines(*this, axRows, At, Count, true); }
void TQvSheet::RemoveRows(int32_t At, int32_t Count) { ShiftLines(*this, axRows, At, Count, false); }
void TQvSheet::InsertCols(int32_t At, int32_t Count) { ShiftLines(*this, axCols, At, Count, true); }
void TQvSheet::RemoveCols(int32_t At, int32_t Count) { ShiftLines(*this, axCols, At, Count, false); }

}  // namespace qv
