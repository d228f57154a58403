#include "grids/section.h"

#include <algorithm>
#include <unordered_set>
#include <sstream>

#include "grids/base_style.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

const TClassInfo* TQvSection::StaticClass() {
    // A section needs its sheet and kind, so its descriptor has no factory.
    static const TClassInfo info{"TQvSection", TObjectSList::StaticClass(), nullptr};
    return &info;
}

namespace {

// Highest index a sparse list can hold; writes beyond it are ignored, so
// loops over key ranges are clamped to it.
int32_t ClampKey(int32_t K, const TSList& L) { return std::clamp<int32_t>(K, 0, L.MaxIndex()); }

std::string RectText(const TRect& R) {
    std::ostringstream s;
    s << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
    return s.str();
}

// True when every entry From .. To of List is V (also when To < From).
// Costs the stored entries of the span, not its width.
bool HoldsOnly(const TSList& List, int32_t From, int32_t To, int32_t V) {
    if (To < From) return true;
    if (V == 0) return !List.ForEachIn(From, To, [](int32_t, int32_t) { return true; });
    if (From < 0) return false;  // positions there read 0
    int64_t same = 0;
    const bool other = List.ForEachIn(From, To, [&](int32_t, int32_t X) {
        if (X != V) return true;
        ++same;
        return false;
    });
    return !other && same == int64_t(To) - From + 1;
}

bool InIndexSpace(TPoint P) {
    // Every sparse list of a section shares one page geometry bound; a row
    // list reaches the same highest index as a cell list.
    static const int32_t maxIndex = TSList().MaxIndex();
    return P.X >= 0 && P.Y >= 0 && P.X <= maxIndex && P.Y <= maxIndex;
}

}  // namespace

TQvSection::TQvSection(TQvSheet* Sheet, TQvSectionKind Kind) : FSheet(Sheet), FKind(Kind) {
    for (auto& t : FTables) t = std::make_unique<TListSList>();
}

TQvSection::~TQvSection() {
    for (auto& t : FTables) t.reset();
    // Rows go before the ranges: a departing cell looks up the range it heads.
    TObjectSList::Clear();
    FUnions.clear();
    FUnionIndex.Clear();
}

void TQvSection::Reindex(int32_t From, int32_t To) {
    if (FDeferReindex) return;  // RowsMoved records the move instead
    // Only the rows that exist are visited, however long the span.
    ForEachIn(From, To, [](int32_t I, TObject* R) {
        static_cast<TQvRow*>(R)->SetIndex(I);
        return false;
    });
}

// --- rows and cells ------------------------------------------------------

TQvRow* TQvSection::Rows(int32_t Y) const { return ItemAs<TQvRow>(Y); }

TQvRow* TQvSection::NeedRow(int32_t Y) {
    if (TQvRow* r = Rows(Y)) return r;
    if (!InIndexSpace({0, Y})) return nullptr;
    auto* r = new TQvRow(this, Y);
    SetItem(Y, r);
    return r;
}

TPoint TQvSection::OwnerOf(TPoint P) const {
    const TQvUnion* u = FindUnionAt(P, false);
    return u ? u->TopLeft() : P;
}

TQvCell* TQvSection::CellAt(TPoint P) const {
    const TQvRow* r = Rows(P.Y);
    return r ? r->Cells(P.X) : nullptr;
}

TQvCell* TQvSection::FindCell(TPoint P) const { return CellAt(OwnerOf(P)); }

TQvCell* TQvSection::NeedCell(TPoint P) {
    const TPoint q = OwnerOf(P);
    if (TQvCell* c = CellAt(q)) return c;
    const TQvCellClass cls = FBaseStyle ? FBaseStyle->GetCellClass() : nullptr;
    if (!cls || !InIndexSpace(q)) return nullptr;
    return TQvCell::CreateAt(cls, this, q);
}

TQvCell* TQvSection::NeedCellOfClass(TPoint P, TQvCellClass Cls) {
    const TPoint q = OwnerOf(P);
    if (!Cls || !InIndexSpace(q)) return nullptr;
    TQvRow* row = NeedRow(q.Y);
    TQvCell* c = row->Cells(q.X);
    if (c && c->ClassType() == Cls) return c;
    if (c) {
        row->SetItem(q.X, nullptr);
        delete c;
    }
    return TQvCell::CreateAt(Cls, this, q);
}

TQvCellClass TQvSection::CellClassAt(TPoint P) const {
    if (const TQvCell* c = FindCell(P)) return c->GetCellClass();
    return FBaseStyle ? FBaseStyle->GetCellClass() : nullptr;
}

void TQvSection::SetCellClassAt(TPoint P, TQvCellClass Cls) {
    if (CellClassAt(P) == Cls) return;
    NeedCellOfClass(P, Cls);
}

void TQvSection::FreeCells(const TRect& R) {
    if (R.IsEmpty()) return;
    // Only the rows and cells that exist are visited, whatever R spans.
    ForEachIn(R.Top, R.Bottom - 1, [&](int32_t, TObject* obj) {
        auto* row = static_cast<TQvRow*>(obj);
        row->FreePacked(R.Left, R.Right - 1);
        row->ForEachIn(R.Left, R.Right - 1, [&](int32_t x, TObject* c) {
            // Out of the row first: the row never holds a departing cell.
            row->SetItem(x, nullptr);
            delete static_cast<TQvCell*>(c);
            return false;
        });
        return false;
    });
}

int TQvSection::ForEachPosition(const TRect& R, const TPositionCallback& Fn) {
    int calls = 0;
    bool stop = false;
    for (int32_t y = R.Top; y < R.Bottom; ++y) {
        for (int32_t x = R.Left; x < R.Right; ++x) {
            const TPoint p{x, y};
            if (const TQvUnion* u = FindUnionAt(p, true); u && u->TopLeft() != p) {
                x = u->Rect().Right - 1;  // the rest of this row of the range
                continue;
            }
            Fn(p, stop);
            ++calls;
            if (stop) return calls;
        }
    }
    return calls;
}

int TQvSection::ForEachCell(const TRect& R, bool Create, const TCellCallback& Fn) {
    if (Create) {
        return ForEachPosition(R, [&](TPoint P, bool& Stop) {
            if (TQvCell* c = NeedCell(P)) Fn(c, Stop);
        });
    }
    // Without creation only stored cells count; rows and columns beyond the
    // last stored entry hold nothing, so the walk is bounded by them.
    int calls = 0;
    bool stop = false;
    for (int32_t y = std::max(R.Top, 0); y < R.Bottom && y <= Last(); ++y) {
        const TQvRow* row = Rows(y);
        if (!row) continue;
        for (int32_t x = std::max(R.Left, 0); x < R.Right && x <= row->Last(); ++x) {
            TQvCell* c = row->Cells(x);
            if (!c) continue;
            const TPoint p{x, y};
            if (const TQvUnion* u = FindUnionAt(p, false)) {
                (void)u;
                continue;  // a covered position; its cell should not exist
            }
            Fn(c, stop);
            ++calls;
            if (stop) return calls;
        }
    }
    return calls;
}

void TQvSection::ForAllCells(const std::function<void(TQvCell*)>& Fn) const {
    ForEach([&](int32_t, TObject* r) {
        static_cast<TQvRow*>(r)->ForEach([&](int32_t, TObject* c) {
            Fn(static_cast<TQvCell*>(c));
            return false;
        });
        return false;
    });
}

// --- attribute tables ----------------------------------------------------

void TQvSection::SetLine(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To, TQvLine Value) {
    if (Table >= TableCount) return;
    if (Table == tbFrames) {
        // Frame styles live in lists with a default; write them as such.
        SetAreaValue(Line, From, To, static_cast<uint8_t>(Value));
        return;
    }
    TListSList* table = FTables[Table].get();
    TSList* list = table->List(Line);
    if (!list) {
        if (Value == 0 || Line < 0 || Line > table->MaxIndex()) return;
        list = new TSList();
        table->SetItem(Line, list);
    }
    From = ClampKey(From, *list);
    To = ClampKey(To, *list);
    if (Value == 0) {
        list->ClearRange(From, To);
        return;
    }
    for (int32_t k = From; k <= To; ++k) list->SetItem(k, static_cast<int32_t>(Value));
}

TQvLine TQvSection::GetLine(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To, bool& Uniform) const {
    Uniform = true;
    if (Table >= TableCount) return 0;
    const TSList* list = FTables[Table]->List(Line);
    if (!list) return Table == tbFrames ? static_cast<TQvLine>(AreaValue(From, Line)) : 0;
    // Frame styles are stored as offsets from the sub-list's default, so
    // equal stored entries are equal values in every table.
    const int32_t first = list->GetItem(From);
    Uniform = To <= From || HoldsOnly(*list, From + 1, To, first);
    if (Table == tbFrames) return static_cast<TQvLine>(first + static_cast<const TIntSList*>(list)->Default());
    return static_cast<TQvLine>(first);
}

std::vector<TQvRun> TQvSection::Runs(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To) const {
    std::vector<TQvRun> runs;
    const TSList* list = FTables[Table]->List(Line);
    if (!list) return runs;
    // Keys above Last read 0 and make no run.
    To = std::min(To, list->Last() + 1);
    for (int32_t k = std::max(From, 0); k < To; ++k) {
        const auto v = static_cast<TQvLine>(list->Items(k));
        if (v == 0) continue;
        if (!runs.empty() && runs.back().To == k && runs.back().Value == v) ++runs.back().To;
        else runs.push_back({k, k + 1, v});
    }
    return runs;
}

std::vector<TQvRun> TQvSection::FillRuns(int32_t Y, int32_t From, int32_t To) const {
    return Runs(tbFill, Y, From, To);
}

std::vector<TQvRun> TQvSection::DiagonalRuns(bool Second, int32_t Y, int32_t From, int32_t To) const {
    return Runs(Second ? tbBias2 : tbBias1, Y, From, To);
}

std::vector<TQvRun> TQvSection::VertLineRuns(int32_t X, int32_t From, int32_t To) const {
    return Runs(tbVertLines, X, From, To);
}

std::vector<TQvRun> TQvSection::HorzLineRuns(int32_t Y, int32_t From, int32_t To) const {
    return Runs(tbHorzLines, Y, From, To);
}

int32_t TQvSection::AreaValue(int32_t X, int32_t Y) const {
    if (const auto* list = static_cast<const TIntSList*>(FTables[tbFrames]->List(Y))) return list->Values(X);
    return FBaseStyle ? FBaseStyle->Frame() : 0;
}

void TQvSection::SetAreaValue(int32_t Y, int32_t FromX, int32_t ToX, uint8_t Value) {
    TListSList* table = FTables[tbFrames].get();
    auto* list = static_cast<TIntSList*>(table->List(Y));
    if (!list) {
        const int32_t def = FBaseStyle ? FBaseStyle->Frame() : 0;
        if (Value == def || Y < 0 || Y > table->MaxIndex()) return;
        list = new TIntSList();
        list->SetDefault(def);
        table->SetItem(Y, list);
    }
    FromX = ClampKey(FromX, *list);
    ToX = ClampKey(ToX, *list);
    if (Value == list->Default()) {
        list->ClearRange(FromX, ToX);
        return;
    }
    for (int32_t x = FromX; x <= ToX; ++x) list->SetValue(x, Value);
}

// --- merged ranges -------------------------------------------------------

TQvUnion* TQvSection::AddUnion(const TRect& R, TQvCell* Cell) {
    // The cell stored exactly at the top-left: a lookup through OwnerOf would
    // hand over the cell of an older range that covers that position.
    if (!Cell) Cell = CellAt(R.TopLeft());
    FUnions.push_back(std::make_unique<TQvUnion>(this, TRect{R.Left, R.Top, R.Left, R.Top}, Cell));
    TQvUnion* u = FUnions.back().get();
    u->FOrder = FUnionCount++;
    FUnionIndex.AddCell(u, Cell);
    u->SetRect(R);
    return u;
}

void TQvSection::DeleteUnion(TQvUnion*& U) {
    auto it = std::find_if(FUnions.begin(), FUnions.end(), [&](const auto& p) { return p.get() == U; });
    if (it == FUnions.end()) return;
    std::unique_ptr<TQvUnion> owned = std::move(*it);
    FUnions.erase(it);
    FUnionIndex.Remove(owned.get(), owned->FRect);
    FUnionIndex.RemoveCell(owned.get(), owned->FCell);
    Invalidate(owned->Rect(), false);
    owned.reset();
    U = nullptr;
}

void TQvSection::Merge(const TRect& R) {
    // A single position, or no position at all, is not a range.
    if (R.IsEmpty() || (R.Right <= R.Left + 1 && R.Bottom <= R.Top + 1)) return;
    // Only a merge counts the lines it clears: lines a writer has just put
    // inside a range were never there for the user to lose.
    struct TCounting {
        bool& Flag;
        ~TCounting() { Flag = false; }
    } counting{FCountClears};
    FCountClears = true;
    RemoveUnionsIn(R);
    AddUnion(R, nullptr);
    if (FSheet) FSheet->MergeChanged(FKind);
}

void TQvSection::RemoveUnionsIn(const TRect& R) {
    while (TQvUnion* u = FindIntersecting(R, nullptr)) DeleteUnion(u);
}

void TQvSection::DeleteUnions(const std::vector<TQvUnion*>& Doomed) {
    if (Doomed.empty()) return;
    const std::unordered_set<const TQvUnion*> doomed(Doomed.begin(), Doomed.end());
    std::vector<std::unique_ptr<TQvUnion>> gone;
    size_t kept = 0;
    for (size_t i = 0; i < FUnions.size(); ++i) {
        if (doomed.count(FUnions[i].get())) {
            gone.push_back(std::move(FUnions[i]));
            continue;
        }
        if (kept != i) FUnions[kept] = std::move(FUnions[i]);
        ++kept;
    }
    FUnions.resize(kept);
    for (auto& u : gone) {
        FUnionIndex.Remove(u.get(), u->FRect);
        FUnionIndex.RemoveCell(u.get(), u->FCell);
        Invalidate(u->Rect(), false);
    }
}

std::vector<TQvUnion*> TQvSection::UnionsMeeting(const TRect& R) const {
    std::vector<TQvUnion*> hits;
    for (TQvUnion* u : UnionsNear(R))
        if (u->FRect.Intersects(R)) hits.push_back(u);
    return hits;
}

void TQvSection::RebuildUnionIndex() {
    FUnionIndex.Clear();
    for (const auto& u : FUnions) {
        FUnionIndex.Insert(u.get(), u->FRect);
        FUnionIndex.AddCell(u.get(), u->FCell);
    }
}

template <typename TFn>
void TQvSection::ForEachUnionNear(const TRect& R, TFn&& Fn) const {
    if (!FUnionIndex.ForEachNear(R, FUnions.size(), Fn))
        for (const auto& u : FUnions) Fn(u.get());
}

std::vector<TQvUnion*> TQvSection::UnionsNear(const TRect& R) const {
    std::vector<TQvUnion*> near;
    ForEachUnionNear(R, [&](TQvUnion* U) { near.push_back(U); });
    std::sort(near.begin(), near.end(), [](const TQvUnion* A, const TQvUnion* B) { return A->FOrder < B->FOrder; });
    near.erase(std::unique(near.begin(), near.end()), near.end());
    return near;
}

// The lookups below pick, among the ranges that qualify, the one made last
// (or first, for FindIntersecting), as a walk over FUnions in its order
// would; the index only narrows down where to look.
TQvUnion* TQvSection::FindUnionAt(TPoint P, bool IncludeTopLeft) const {
    if (FUnions.empty()) return nullptr;  // most sheets: every lookup of a cell asks
    TQvUnion* found = nullptr;
    const auto consider = [&](TQvUnion* U) {
        if (U->FRect.Contains(P) && (IncludeTopLeft || U->TopLeft() != P) && (!found || U->FOrder > found->FOrder))
            found = U;
    };
    ForEachUnionNear({P.X, P.Y, P.X + 1, P.Y + 1}, consider);
    return found;
}

TQvUnion* TQvSection::FindUnionOfCell(const TQvCell* Cell) const {
    if (!Cell || FUnions.empty()) return nullptr;
    TQvUnion* found = nullptr;
    FUnionIndex.ForEachOfCell(Cell, [&](TQvUnion* U) {
        if (!found || U->FOrder > found->FOrder) found = U;
    });
    return found;
}

TQvUnion* TQvSection::FindIntersecting(const TRect& R, const TQvUnion* Except) const {
    TQvUnion* found = nullptr;
    const auto consider = [&](TQvUnion* U) {
        if (U != Except && U->FRect.Intersects(R) && (!found || U->FOrder < found->FOrder)) found = U;
    };
    ForEachUnionNear(R, consider);
    return found;
}

bool TQvSection::HasUnion(const TRect& R) const {
    bool found = false;
    ForEachUnionNear(R, [&](TQvUnion* U) { found = found || U->FRect == R; });
    return found;
}

TRect TQvSection::ExpandToUnions(const TRect& R) const {
    TRect result = R;
    TRect before;
    do {
        before = result;
        for (const auto& u : FUnions) {
            const TRect& ur = u->FRect;
            if (!ur.Intersects(result)) continue;
            result = {std::min(result.Left, ur.Left), std::min(result.Top, ur.Top), std::max(result.Right, ur.Right),
                      std::max(result.Bottom, ur.Bottom)};
        }
    } while (!(result == before));
    return result;
}

void TQvSection::NormaliseUnionsIn(const TRect& R) {
    // Normalising one range may delete others; collect first, then skip any
    // that has gone meanwhile.
    std::vector<TQvUnion*> hits;
    for (TQvUnion* u : UnionsNear(R))
        if (u->FRect.Intersects(R)) hits.push_back(u);
    for (TQvUnion* u : hits) {
        const bool alive =
            std::any_of(FUnions.begin(), FUnions.end(), [&](const auto& p) { return p.get() == u; });
        if (alive) TidyUnion(u);
    }
}

void TQvSection::TidyUnion(TQvUnion* U) {
    // What an edit may have written inside the range goes; its outer edges
    // stay as they are, shared with the cells next to it.
    while (TQvUnion* other = FindIntersecting(U->FRect, U)) DeleteUnion(other);
    const TRect r = U->FRect;
    if (r.IsEmpty()) return;
    ClearLinesIn(tbVertLines, r.Left + 1, r.Right - 1, r.Top, r.Bottom - 1);
    ClearLinesIn(tbHorzLines, r.Top + 1, r.Bottom - 1, r.Left, r.Right - 1);
    SpreadFill(r, nullptr);
}

std::vector<TRect> TQvSection::NormaliseLinesOf(TQvUnion* U) {
    const TRect r = U->FRect;
    std::vector<TRect> cleared;
    bool uniform = true;
    // Outer vertical edges keep their line only when every segment holds it.
    for (int32_t x : {r.Left, r.Right}) {
        GetLine(tbVertLines, x, r.Top, r.Bottom - 1, uniform);
        if (!uniform) {
            if (FCountClears) FClearedSegments += StoredSegments(tbVertLines, x, r.Top, r.Bottom - 1);
            SetLine(tbVertLines, x, r.Top, r.Bottom - 1, 0);
            cleared.push_back({x - 1, r.Top, x + 1, r.Bottom});
        }
    }
    ClearLinesIn(tbVertLines, r.Left + 1, r.Right - 1, r.Top, r.Bottom - 1);
    for (int32_t y : {r.Top, r.Bottom}) {
        GetLine(tbHorzLines, y, r.Left, r.Right - 1, uniform);
        if (!uniform) {
            if (FCountClears) FClearedSegments += StoredSegments(tbHorzLines, y, r.Left, r.Right - 1);
            SetLine(tbHorzLines, y, r.Left, r.Right - 1, 0);
            cleared.push_back({r.Left, y - 1, r.Right, y + 1});
        }
    }
    ClearLinesIn(tbHorzLines, r.Top + 1, r.Bottom - 1, r.Left, r.Right - 1);
    // One fill for the whole range: the top-left position's.
    SpreadFill(r, nullptr);
    if (!cleared.empty()) Invalidate(r, true);
    return cleared;
}

void TQvSection::DropEmptyLines() {
    for (auto& table : FTables) {
        std::vector<int32_t> empty;
        table->ForEach([&](int32_t Line, TObject* Obj) {
            if (static_cast<TSList*>(Obj)->IsEmpty()) empty.push_back(Line);
            return false;
        });
        for (int32_t line : empty) {
            TObject* list = table->GetItem(line);
            table->SetItem(line, nullptr);
            delete list;
        }
    }
}

int64_t TQvSection::StoredSegments(TQvSectionTable Table, int32_t Line, int32_t From, int32_t To) const {
    const TSList* list = FTables[Table]->List(Line);
    int64_t n = 0;
    if (list)
        list->ForEachIn(From, To, [&](int32_t, int32_t) {
            ++n;
            return false;
        });
    return n;
}

void TQvSection::ClearLinesIn(TQvSectionTable Table, int32_t FromLine, int32_t ToLine, int32_t From, int32_t To) {
    FTables[Table]->ForEachIn(FromLine, ToLine, [&](int32_t Line, TObject* obj) {
        if (FCountClears) FClearedSegments += StoredSegments(Table, Line, From, To);
        static_cast<TSList*>(obj)->ClearRange(From, To);
        return false;
    });
}

namespace {

// What a write over keys [From, To) of one line may add to a table: its page
// table up to To and the pages under the keys.
int64_t LineCost(int32_t From, int32_t To) {
    return 8 * ((int64_t(To) >> 4) + 1) + 4 * (int64_t(To) - From + 32);
}

}  // namespace

void TQvSection::ForStoredFillRows(const TRect& R, const std::vector<int32_t>* StoredRows,
                                   const std::function<void(int32_t, TSList*)>& Fn) const {
    const TListSList& table = *FTables[tbFill];
    if (!StoredRows) {
        table.ForEachIn(R.Top, R.Bottom - 1, [&](int32_t y, TObject* obj) {
            Fn(y, static_cast<TSList*>(obj));
            return false;
        });
        return;
    }
    for (auto it = std::lower_bound(StoredRows->begin(), StoredRows->end(), R.Top);
         it != StoredRows->end() && *it < R.Bottom; ++it)
        if (TSList* list = table.List(*it)) Fn(*it, list);
}

int64_t TQvSection::FillCost(const TRect& R, int32_t Fill, const std::vector<int32_t>* StoredRows,
                             int64_t* Rows) const {
    // Rows that hold the fill everywhere already cost nothing; every other
    // row may need its page table and the pages under the range.
    int64_t rows = int64_t(R.Bottom) - R.Top;
    ForStoredFillRows(R, StoredRows, [&](int32_t, TSList* list) {
        rows -= HoldsOnly(*list, R.Left, R.Right - 1, Fill) ? 1 : 0;
    });
    if (Rows) *Rows = rows;
    return rows * LineCost(R.Left, R.Right);
}

void TQvSection::SpreadFill(const TRect& R, const std::vector<int32_t>* StoredRows) {
    TListSList& table = *FTables[tbFill];
    const TSList* top = table.List(R.Top);
    const int32_t fill = top ? top->GetItem(R.Left) : 0;
    if (fill != 0) {
        int64_t rows = 0;
        const int64_t cost = FillCost(R, fill, StoredRows, &rows);
        if (FFillBudget < 0 || cost <= FFillBudget) {
            if (FFillBudget >= 0) FFillBudget -= cost;
            if (rows == 0) return;
            for (int32_t y = R.Top; y < R.Bottom; ++y) {
                const TSList* list = table.List(y);
                if (!list || !HoldsOnly(*list, R.Left, R.Right - 1, fill))
                    SetLine(tbFill, y, R.Left, R.Right - 1, static_cast<TQvLine>(fill));
            }
            return;
        }
        FOverspent += (FOverspent.empty() ? "" : "; ") + std::string("merged range ") + RectText(R) +
                      " would spread its fill over " + std::to_string(rows) + " rows of " +
                      std::to_string(int64_t(R.Right) - R.Left) + " positions";
    }
    ForStoredFillRows(R, StoredRows, [&](int32_t, TSList* list) { list->ClearRange(R.Left, R.Right - 1); });
}

void TQvSection::CheckAreaWrite(TQvSectionTable Table, const TRect& R, TQvLine Value) const {
    // Clearing costs only what is stored: a zero line or fill, or the base
    // style's frame.
    const TQvLine cleared = Table == tbFrames && FBaseStyle ? static_cast<TQvLine>(FBaseStyle->Frame()) : 0;
    if (R.IsEmpty() || Value == cleared) return;
    const bool vert = Table == tbVertLines;
    const int64_t lines = vert ? int64_t(R.Right) - R.Left : int64_t(R.Bottom) - R.Top;
    int64_t cost = Table == tbFill ? FillCost(R, static_cast<int32_t>(Value), nullptr, nullptr)
                                   : lines * (vert ? LineCost(R.Top, R.Bottom) : LineCost(R.Left, R.Right));
    // A range whose top-left takes the fill takes it at every position.
    std::string where = "cells " + RectText(R);
    int64_t largest = cost;
    if (Table == tbFill)
        for (const TQvUnion* u : UnionsNear(R)) {
            if (!R.Contains(u->TopLeft())) continue;
            const int64_t c = FillCost(u->FRect, static_cast<int32_t>(Value), nullptr, nullptr);
            cost += c;
            if (c > largest) {
                largest = c;
                where = "merged range " + RectText(u->FRect);
            }
        }
    if (cost <= EditCostLimit) return;
    throw EQvGridError("Cannot write " + std::string(Table == tbFill ? "a fill" : "lines") + " over " + where +
                       ": it would take " + std::to_string(cost >> 20) + " MiB, more than the " +
                       std::to_string(EditCostLimit >> 20) + " MiB one change may take");
}

void TQvSection::TidyRanges() {
    // The stored line numbers, gathered once: each range then finds its own
    // by binary search. Lines are only cleared or, for fill rows, added
    // inside the range being tidied, and ranges do not overlap, so the
    // lists stay good for every range. Outer edges are left as stored: they
    // are grid lines shared with the neighbouring cells, which hold their
    // own borders there.
    const auto stored = [&](TQvSectionTable Table) {
        std::vector<int32_t> lines;
        FTables[Table]->ForEach([&](int32_t i, TObject*) {
            lines.push_back(i);
            return false;
        });
        return lines;
    };
    const std::vector<int32_t> cols = stored(tbVertLines), rows = stored(tbHorzLines), fills = stored(tbFill);
    const auto clearIn = [&](const std::vector<int32_t>& Lines, TQvSectionTable Table, int32_t Lo, int32_t Hi, int32_t From,
                             int32_t To) {
        for (auto it = std::lower_bound(Lines.begin(), Lines.end(), Lo); it != Lines.end() && *it <= Hi; ++it)
            if (TSList* list = FTables[Table]->List(*it)) list->ClearRange(From, To);
    };
    for (const auto& u : FUnions) {
        const TRect r = u->FRect;
        if (r.IsEmpty()) continue;
        clearIn(cols, tbVertLines, r.Left + 1, r.Right - 1, r.Top, r.Bottom - 1);
        clearIn(rows, tbHorzLines, r.Top + 1, r.Bottom - 1, r.Left, r.Right - 1);
        SpreadFill(r, &fills);
    }
}

void TQvSection::NormaliseLines(TQvUnion* U) {
    // An outer edge is a grid line shared with the ranges next to it: clearing
    // part of it can leave a neighbour's edge mixed, so the neighbours along a
    // cleared edge are normalised in turn. Lines are only ever cleared here,
    // so the chain ends.
    std::vector<TQvUnion*> work{U};
    while (!work.empty()) {
        TQvUnion* u = work.back();
        work.pop_back();
        for (const TRect& band : NormaliseLinesOf(u))
            for (TQvUnion* other : UnionsNear(band))
                if (other != u && other->FRect.Intersects(band)) work.push_back(other);
    }
}

void TQvSection::NormaliseUnion(TQvUnion* U) {
    if (!U) return;
    while (TQvUnion* other = FindIntersecting(U->FRect, U)) DeleteUnion(other);
    if (U->FRect.IsEmpty()) return;
    NormaliseLines(U);
    // The range's cell is the one stored at its top-left, whatever it was
    // before: a range moved to another top-left takes the cell found there.
    const TPoint tl = U->TopLeft();
    TQvRow* row = Rows(tl.Y);
    TQvCell* keep = row ? row->Cells(tl.X) : nullptr;
    U->SetCell(keep);
    if (keep) row->SetItem(tl.X, nullptr);
    FreeCells(U->FRect);
    if (keep) row->SetItem(tl.X, keep);
    Invalidate(U->FRect, false);
}

// --- repaint and styles --------------------------------------------------

void TQvSection::Invalidate(const TRect& R, bool LinesOnly) {
    if (!FSheet || FSheet->UpdateCount() > 0) return;
    for (int i = 0; i < FSheet->ViewCount(); ++i) FSheet->Views(i)->InvalidateCells(FKind, R, LinesOnly ? raOutline : raCells);
}

void TQvSection::InvalidateAll() {
    if (!FSheet || FSheet->UpdateCount() > 0) return;
    for (int i = 0; i < FSheet->ViewCount(); ++i) FSheet->Views(i)->InvalidatePane(FKind);
}

void TQvSection::ReformPacked(const TRect& R, const std::function<int(uint8_t Form)>& Map) {
    if (R.IsEmpty()) return;
    int16_t cache[256];
    std::fill(std::begin(cache), std::end(cache), int16_t(-2));
    bool changed = false;
    ForEachIn(R.Top, R.Bottom - 1, [&](int32_t, TObject* obj) {
        changed = static_cast<TQvRow*>(obj)->ReformPacked(R.Left, R.Right - 1, cache, Map) || changed;
        return false;
    });
    if (changed && FSheet) FSheet->SetModified(true);
}

void TQvSection::ForAllCellObjects(const std::function<void(TQvCell*)>& Fn) const {
    ForEach([&](int32_t, TObject* r) {
        static_cast<const TObjectSList*>(static_cast<TQvRow*>(r))->ForEach([&](int32_t, TObject* c) {
            Fn(static_cast<TQvCell*>(c));
            return false;
        });
        return false;
    });
}

void TQvSection::DetachStyle(const TQvStyle* Style) {
    // Only cells that have a style change: a cell without one stays silent
    // (packed cells have none).
    ForAllCellObjects([&](TQvCell* c) {
        TQvStyle* s = c->GetStyle();
        if (s && (!Style || s == Style)) c->SetStyle(nullptr);
    });
}

void TQvSection::StyleChanged(const TQvStyle* Style, uint8_t Change) {
    // A packed cell inherits when it becomes an object.
    ForAllCellObjects([&](TQvCell* c) {
        if (!Style || c->GetStyle() == Style) c->InheritProperty(Change);
    });
}

void TQvSection::SaveStyleNames(TStream& Stream) {
    ForEach([&](int32_t, TObject* obj) {
        auto* row = static_cast<TQvRow*>(obj);
        int32_t count = 0;
        row->ForEach([&](int32_t, TObject* c) {
            count += static_cast<TQvCell*>(c)->GetStyle() ? 1 : 0;
            return false;
        });
        Stream.WriteInt32(count);
        row->ForEach([&](int32_t x, TObject* obj2) {
            auto* c = static_cast<TQvCell*>(obj2);
            if (TQvStyle* s = c->GetStyle()) {
                Stream.WriteInt32(x);
                Stream.WriteString(s->Name());
                c->SetStyle(nullptr);
            }
            return false;
        });
        return false;
    });
}

void TQvSection::LoadStyleNames(TStream& Stream) {
    TQvStyler* styler = FSheet ? FSheet->Styler() : nullptr;
    ForEach([&](int32_t, TObject* obj) {
        auto* row = static_cast<TQvRow*>(obj);
        const int32_t count = Stream.ReadInt32();
        for (int32_t k = 0; k < count; ++k) {
            const int32_t x = Stream.ReadInt32();
            const std::string name = Stream.ReadString();
            TQvCell* c = row->Cells(x);
            if (!c) continue;
            TQvStyle* s = styler ? styler->FindStyle(name) : nullptr;
            if (s != c->GetStyle()) c->SetStyle(s);
        }
        return false;
    });
}

// --- integrity -----------------------------------------------------------

namespace {

template <typename L>
int32_t TrueLast(const L& List) {
    int32_t last = -1;
    List.ForEach([&](int32_t i, auto) {
        last = i;
        return false;
    });
    return last;
}

}  // namespace

std::string TQvSection::CheckIntegrity() const {
    std::ostringstream out;
    if (Last() != TrueLast(*this)) out << "section Last " << Last() << " but highest row " << TrueLast(*this) << "\n";
    ForEach([&](int32_t y, TObject* obj) {
        const auto* row = static_cast<const TQvRow*>(obj);
        if (row->Index() != y) out << "row " << y << " has Index " << row->Index() << "\n";
        if (row->Section() != this) out << "row " << y << " belongs to another section\n";
        const TObjectSList& objects = *row;
        if (objects.Last() != TrueLast(objects)) out << "row " << y << " Last " << objects.Last() << " is wrong\n";
        const TQvPackedCells& packed = row->Packed();
        for (size_t i = 0; i < packed.Slots(); ++i) {
            const int32_t x = packed[i].Col;
            if (i > 0 && packed[i - 1].Col >= x) out << "packed cells of row " << y << " are out of order\n";
            if (!packed.Live(i)) continue;
            if (objects.GetItem(x)) out << "packed cell at (" << x << ", " << y << ") also has an object\n";
            if (const TQvUnion* u = FindUnionAt({x, y}, false))
                out << "packed cell at (" << x << ", " << y << ") lies inside range " << RectText(u->FRect) << "\n";
        }
        objects.ForEach([&](int32_t x, TObject* c) {
            const auto* cell = static_cast<const TQvCell*>(c);
            if (cell->Col() != x) out << "cell at (" << x << ", " << y << ") has Col " << cell->Col() << "\n";
            if (cell->Row() != row) out << "cell at (" << x << ", " << y << ") names another row\n";
            if (const TQvUnion* u = FindUnionAt({x, y}, false))
                out << "cell at (" << x << ", " << y << ") lies inside range " << RectText(u->FRect) << "\n";
            return false;
        });
        return false;
    });
    for (int t = 0; t < TableCount; ++t) {
        const TListSList& table = *FTables[t];
        if (table.Last() != TrueLast(table)) out << "table " << t << " Last is wrong\n";
        table.ForEach([&](int32_t line, TObject* obj) {
            const auto* list = static_cast<const TSList*>(obj);
            if (list->Last() != TrueLast(*list)) out << "table " << t << " line " << line << " Last is wrong\n";
            if (t == tbFrames && !list->InheritsFrom(TIntSList::StaticClass()))
                out << "table 5 line " << line << " is not an integer list\n";
            return false;
        });
    }
    for (size_t i = 0; i < FUnions.size(); ++i) {
        const TQvUnion* u = FUnions[i].get();
        const TRect r = u->FRect;
        const std::string name = "range " + RectText(r);
        if (u->FSection != this) out << name << " names another section\n";
        if (r.IsEmpty()) out << name << " is empty\n";
        if (r.Left < 0 || r.Top < 0) out << name << " lies outside the section\n";
        for (size_t j = i + 1; j < FUnions.size(); ++j)
            if (FUnions[j]->FRect.Intersects(r)) out << name << " overlaps " << RectText(FUnions[j]->FRect) << "\n";
        const TQvCell* tl = CellAt(u->TopLeft());
        if (u->FCell != tl) out << name << " does not name the cell at its top-left\n";
        if (!r.IsEmpty() && FindUnionAt(u->TopLeft(), true) != u) out << name << " is not found at its top-left\n";
        if (u->FCell && FindUnionOfCell(u->FCell) != u) out << name << " is not found from its cell\n";
        if (r.IsEmpty()) continue;
        // Outer edges may mix line values: the neighbours' borders share
        // them. Inner lines and the fill are the range's own; only stored
        // lines can break them, so only they are looked at.
        FTables[tbVertLines]->ForEachIn(r.Left + 1, r.Right - 1, [&](int32_t x, TObject* obj) {
            if (!HoldsOnly(*static_cast<const TSList*>(obj), r.Top, r.Bottom - 1, 0))
                out << name << " has an inner vertical line at " << x << "\n";
            return false;
        });
        FTables[tbHorzLines]->ForEachIn(r.Top + 1, r.Bottom - 1, [&](int32_t y, TObject* obj) {
            if (!HoldsOnly(*static_cast<const TSList*>(obj), r.Left, r.Right - 1, 0))
                out << name << " has an inner horizontal line at " << y << "\n";
            return false;
        });
        const TSList* fillRow = FTables[tbFill]->List(r.Top);
        const int32_t fill = fillRow ? fillRow->GetItem(r.Left) : 0;
        int64_t filledRows = 0;
        FTables[tbFill]->ForEachIn(r.Top, r.Bottom - 1, [&](int32_t y, TObject* obj) {
            if (HoldsOnly(*static_cast<const TSList*>(obj), r.Left, r.Right - 1, fill))
                ++filledRows;
            else
                out << name << " has mixed fill in row " << y << "\n";
            return false;
        });
        // Rows without a stored fill read 0 everywhere.
        if (fill != 0 && filledRows < int64_t(r.Bottom) - r.Top) out << name << " has rows without its fill\n";
    }
    return out.str();
}

}  // namespace qv
