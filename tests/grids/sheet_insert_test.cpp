#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grids/base_style.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "recording_view.h"

namespace qv {
namespace {

using test::TRecordingView;
using Grid = std::vector<std::vector<int64_t>>;

// A dense picture of a sheet: the client section's cell values, lines,
// fills, frames and merged ranges, the title cells beside it and the sizes.
// Rows (y) outer everywhere; V[x][y] is the vertical line left of column x,
// Hz[y][x] the horizontal line above row y.
struct TDense {
    int W = 0, H = 0;
    Grid Val, V, Hz, Fill, Frame;
    std::vector<TRect> Merges;
    std::vector<int64_t> RowTitle, ColTitle, ColW, RowH;
    bool operator==(const TDense&) const = default;
};

void SortMerges(std::vector<TRect>& M) {
    std::sort(M.begin(), M.end(),
              [](const TRect& a, const TRect& b) { return std::tie(a.Top, a.Left) < std::tie(b.Top, b.Left); });
}

Grid Table(int Rows, int Cols, int64_t V = 0) { return Grid(Rows, std::vector<int64_t>(Cols, V)); }

int64_t Value(const TQvSection* S, int32_t X, int32_t Y) {
    const TQvRow* r = S->Rows(Y);
    TQvCell* c = r ? r->Cells(X) : nullptr;
    return c ? c->GetValue().AsInteger() : 0;
}

int64_t Line(const TQvSection* S, TQvSectionTable T, int32_t K1, int32_t K2) {
    const TSList* l = S->Tables(T)->List(K1);
    return l ? l->GetItem(K2) : 0;
}

// The sheet as a TDense over W x H positions (more than its counts, to see
// what lies beyond them).
TDense Snap(const TQvSheet& Sh, int W, int H) {
    const TQvSection* s = Sh.Sections(skClient);
    TDense d;
    d.W = W, d.H = H;
    d.Val = d.Fill = d.Frame = d.Hz = Table(H, W);
    d.Hz.push_back(d.Hz[0]);
    d.V = Table(W + 1, H);
    for (int y = 0; y < H; ++y) {
        d.RowTitle.push_back(Value(Sh.Sections(skRowTitles), 0, y));
        d.RowH.push_back(Sh.Sizes(axRows, spClient)->Size(y));
        for (int x = 0; x < W; ++x) {
            d.Val[y][x] = Value(s, x, y);
            d.Fill[y][x] = Line(s, tbFill, y, x);
            d.Frame[y][x] = s->AreaValue(x, y);
        }
    }
    for (int x = 0; x < W; ++x) {
        d.ColTitle.push_back(Value(Sh.Sections(skColTitles), x, 0));
        d.ColW.push_back(Sh.Sizes(axCols, spClient)->Size(x));
    }
    for (int y = 0; y <= H; ++y)
        for (int x = 0; x < W; ++x) d.Hz[y][x] = Line(s, tbHorzLines, y, x);
    for (int x = 0; x <= W; ++x)
        for (int y = 0; y < H; ++y) d.V[x][y] = Line(s, tbVertLines, x, y);
    for (const auto& u : s->Unions()) d.Merges.push_back(u->Rect());
    SortMerges(d.Merges);
    return d;
}

Grid Transposed(const Grid& G) {
    Grid t = Table(G.empty() ? 0 : int(G[0].size()), int(G.size()));
    for (size_t i = 0; i < G.size(); ++i)
        for (size_t j = 0; j < G[i].size(); ++j) t[j][i] = G[i][j];
    return t;
}

TDense Transposed(const TDense& D) {
    TDense t;
    t.W = D.H, t.H = D.W;
    t.Val = Transposed(D.Val), t.Fill = Transposed(D.Fill), t.Frame = Transposed(D.Frame);
    t.V = D.Hz, t.Hz = D.V;
    for (const TRect& r : D.Merges) t.Merges.push_back({r.Top, r.Left, r.Bottom, r.Right});
    t.RowTitle = D.ColTitle, t.ColTitle = D.RowTitle, t.ColW = D.RowH, t.RowH = D.ColW;
    return t;
}

// Rows inserted into or removed from the model, by the rules a spreadsheet
// user sees: lines move with the row below them, new rows are blank except
// inside a range they cut through, a cut range shrinks or grows, and an
// outer edge that is no longer one line value is cleared.
void InsertRows(TDense& D, int At, int N, int64_t DefFrame, int64_t DefH) {
    const auto ins = [&](auto& Vec, auto Blank) { Vec.insert(Vec.begin() + At, N, Blank); };
    ins(D.Val, std::vector<int64_t>(D.W, 0));
    ins(D.Fill, std::vector<int64_t>(D.W, 0));
    ins(D.Frame, std::vector<int64_t>(D.W, DefFrame));
    ins(D.Hz, std::vector<int64_t>(D.W, 0));
    ins(D.RowTitle, 0);
    ins(D.RowH, DefH);
    for (auto& col : D.V) ins(col, 0);
    D.H += N;
    for (TRect& r : D.Merges) {
        if (r.Top >= At) r.Top += N, r.Bottom += N;
        else if (r.Bottom > At) {
            r.Bottom += N;
            for (int y = At; y < At + N; ++y) {
                for (int x = r.Left; x < r.Right; ++x) D.Fill[y][x] = D.Fill[r.Top][r.Left];
                D.V[r.Left][y] = D.V[r.Left][At - 1];
                D.V[r.Right][y] = D.V[r.Right][At - 1];
            }
        }
    }
}

void RemoveRows(TDense& D, int At, int N) {
    const int E = At + N;
    const auto map = [&](int V) { return V < At ? V : V >= E ? V - N : At; };
    std::vector<std::pair<size_t, int64_t>> carried;
    std::vector<TRect> kept;
    for (const TRect& r : D.Merges) {
        if (map(r.Top) >= map(r.Bottom)) continue;
        if (r.Top >= At && r.Top < E) carried.push_back({kept.size(), D.Val[r.Top][r.Left]});
        kept.push_back(r);
    }
    const auto del = [&](auto& Vec) { Vec.erase(Vec.begin() + At, Vec.begin() + E); };
    del(D.Val), del(D.Fill), del(D.Frame), del(D.Hz), del(D.RowTitle), del(D.RowH);
    for (auto& col : D.V) del(col);
    D.H -= N;
    for (TRect& r : kept) r.Top = map(r.Top), r.Bottom = map(r.Bottom);
    for (auto [i, v] : carried) D.Val[kept[i].Top][kept[i].Left] = v;
    D.Merges.clear();
    for (const TRect& r : kept)
        if (r.Right - r.Left > 1 || r.Bottom - r.Top > 1) D.Merges.push_back(r);
    // The outer edges of what is left keep their lines: they are shared
    // with the cells next to the range.
}

// The parts in which two pictures differ, for the failure message.
std::string Diff(const TDense& A, const TDense& B) {
    std::string out;
    const auto part = [&](const char* Name, bool Same) { out += Same ? "" : std::string(Name) + " "; };
    part("values", A.Val == B.Val && A.RowTitle == B.RowTitle && A.ColTitle == B.ColTitle);
    part("lines", A.V == B.V && A.Hz == B.Hz), part("fills", A.Fill == B.Fill), part("frames", A.Frame == B.Frame);
    part("sizes", A.ColW == B.ColW && A.RowH == B.RowH), part("merges", A.Merges == B.Merges);
    return out + "differ";
}

// The model widened to W x H as the sheet reads beyond its counts.
TDense Padded(TDense D, int W, int H, int64_t DefFrame, int64_t DefW, int64_t DefH) {
    const auto pad = [](Grid& G, int Rows, int Cols, int64_t V) {
        for (auto& row : G) row.resize(Cols, V);
        G.resize(Rows, std::vector<int64_t>(Cols, V));
    };
    pad(D.Val, H, W, 0), pad(D.Fill, H, W, 0), pad(D.Frame, H, W, DefFrame);
    pad(D.Hz, H + 1, W, 0), pad(D.V, W + 1, H, 0);
    D.RowTitle.resize(H, 0), D.ColTitle.resize(W, 0), D.RowH.resize(H, DefH), D.ColW.resize(W, DefW);
    D.W = W, D.H = H;
    SortMerges(D.Merges);
    return D;
}

TEST(QvSheetInsert, RandomInsertsAndRemovesMatchADenseModel) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        TQvSheet sheet;
        TRecordingView view(&sheet);
        TQvSection* s = sheet.Sections(skClient);
        const int64_t defFrame = s->AreaValue(0, 0);
        std::mt19937 rng(seed);
        const auto pick = [&](int N) { return N <= 0 ? 0 : int(rng() % N); };
        sheet.SetColCount(8);
        sheet.SetRowCount(8);
        const TQvLine lines[] = {PackLine(lsSingle, clRed), PackLine(lsDouble, clBlue), PackLine(lsMedium, clRed)};
        int value = 0;
        for (int step = 0; step < 300; ++step) {
            const int W = sheet.ColCount(), H = sheet.RowCount();
            // Some formatting through the section, tidied as merging does.
            for (int k = 0; k < 4; ++k) {
                // Within the counts: the model holds nothing beyond them.
                const int x = pick(W), y = pick(H), x2 = std::min(W - 1, x + pick(3)),
                          y2 = std::min(H - 1, y + pick(3));
                switch (pick(10)) {
                    case 8:
                    case 9:
                        // A border or a fill over a whole merged range.
                        if (!s->Unions().empty()) {
                            const TRect r = s->Unions()[pick(int(s->Unions().size()))]->Rect();
                            const TQvLine l = lines[pick(3)];
                            s->SetLine(tbVertLines, pick(2) ? r.Left : r.Right, r.Top, r.Bottom - 1, l);
                            s->SetLine(tbHorzLines, pick(2) ? r.Top : r.Bottom, r.Left, r.Right - 1, l);
                            for (int32_t yy = r.Top; yy < r.Bottom && pick(2); ++yy)
                                s->SetLine(tbFill, yy, r.Left, r.Right - 1, TQvLine(clBlue));
                        }
                        break;
                    case 0: sheet.SetCellValue(x, y, TVariant(++value)); break;
                    case 1: sheet.SetCellValue(-1, y, TVariant(++value)); break;
                    case 2: sheet.SetCellValue(x, -1, TVariant(++value)); break;
                    case 3: s->SetLine(tbVertLines, pick(W + 1), y, y2, lines[pick(3)]); break;
                    case 4: s->SetLine(tbHorzLines, pick(H + 1), x, x2, lines[pick(3)]); break;
                    case 5: s->SetLine(tbFill, y, x, x2, TQvLine(clRed + pick(2))); break;
                    case 6: s->SetAreaValue(y, x, x, uint8_t(1 + pick(3))); break;
                    case 7: sheet.SetSize(pick(2) ? x : y, pick(2) ? axCols : axRows, pick(3) * 20); break;
                }
            }
            if (pick(3) == 0 && W > 1 && H > 1) {
                const int x = pick(W - 1), y = pick(H - 1);
                s->Merge({x, y, x + 1 + pick(std::min(3, W - x)), y + 1 + pick(std::min(3, H - y))});
            }
            s->NormaliseUnionsIn({0, 0, 1 << 20, 1 << 20});
            // The model starts from ranges whose outer edges hold one line
            // each: merging again clears the mixed ones.
            std::vector<TRect> ranges;
            for (const auto& u : s->Unions()) ranges.push_back(u->Rect());
            for (const TRect& r : ranges) s->Merge(r);
            ASSERT_EQ(s->CheckIntegrity(), "");
            TDense model = Snap(sheet, W, H);

            const bool cols = pick(2);
            const int n = cols ? W : H;
            const bool insert = n < 3 || (n < 14 && pick(2));
            const int at = insert ? pick(n + 1) : pick(n);
            const int count = 1 + pick(insert ? 3 : std::min({3, n - at, n - 1}));
            if (cols) model = Transposed(model);
            if (insert) InsertRows(model, at, count, defFrame, cols ? sheet.ColDefWidth() : sheet.RowDefHeight());
            else RemoveRows(model, at, count);
            if (cols) model = Transposed(model);
            view.Calls.clear();
            if (cols) insert ? sheet.InsertCols(at, count) : sheet.RemoveCols(at, count);
            else insert ? sheet.InsertRows(at, count) : sheet.RemoveRows(at, count);

            const std::string what = std::string(insert ? "insert " : "remove ") + (cols ? "cols " : "rows ") +
                                     std::to_string(at) + " x" + std::to_string(count) + ", seed " +
                                     std::to_string(seed) + " step " + std::to_string(step);
            ASSERT_EQ(sheet.ColCount(), model.W) << what;
            ASSERT_EQ(sheet.RowCount(), model.H) << what;
            for (TQvSectionKind k : {skColTitles, skRowTitles, skClient})
                ASSERT_EQ(sheet.Sections(k)->CheckIntegrity(), "") << what;
            const int pw = model.W + 3, ph = model.H + 3;
            const TDense seen = Snap(sheet, pw, ph);
            const TDense want = Padded(model, pw, ph, defFrame, sheet.ColDefWidth(), sheet.RowDefHeight());
            ASSERT_TRUE(seen == want) << what << "\n" << Diff(seen, want);
            // The views re-read the moved axis and repaint once.
            ASSERT_EQ(view.Count("UpdateSizes"), 1) << what;
            ASSERT_EQ(view.Count("InvalidateAll"), 1) << what;
        }
    }
}

TEST(QvSheetInsert, BadArgumentsRaiseAndChangeNothing) {
    TQvSheet sheet;
    sheet.SetCellValue(1, 1, TVariant(5));
    sheet.Sections(skClient)->Merge({1, 1, 3, 3});
    sheet.SetModified(false);
    const auto expectError = [&](auto Call, const std::string& Part) {
        try {
            Call();
            ADD_FAILURE() << "no error for " << Part;
        } catch (const EQvGridError& e) {
            EXPECT_NE(std::string(e.what()).find(Part), std::string::npos) << e.what();
        }
        EXPECT_EQ(sheet.RowCount(), 5);
        EXPECT_EQ(sheet.ColCount(), 5);
        EXPECT_EQ(sheet.CellValue(1, 1).AsInteger(), 5);
        EXPECT_EQ(sheet.Sections(skClient)->Unions()[0]->Rect(), (TRect{1, 1, 3, 3}));
        EXPECT_FALSE(sheet.Modified());
    };
    expectError([&] { sheet.InsertRows(-1, 1); }, "InsertRows: At -1 names a title row");
    expectError([&] { sheet.RemoveCols(-1, 1); }, "RemoveCols: At -1 names a title column");
    expectError([&] { sheet.InsertCols(0, 0); }, "InsertCols: Count 0");
    expectError([&] { sheet.InsertRows(6, 1); }, "At 6 lies beyond the row count 5");
    expectError([&] { sheet.RemoveRows(4, 2); }, "rows 4 .. 5 reach beyond the row count 5");
    expectError([&] { sheet.InsertRows(0, TSList().MaxIndex()); }, "at most 16776960 fit");
    // A cell stored beyond the count, at the last index, cannot move further.
    sheet.SetCellValue(0, TSList().MaxIndex(), TVariant(1));
    sheet.SetModified(false);
    expectError([&] { sheet.InsertRows(2, 1); }, "past the last row index");
    // Appending at the count is allowed, and so is removing every row.
    sheet.InsertCols(5, 2);
    EXPECT_EQ(sheet.ColCount(), 7);
    sheet.RemoveRows(0, 5);
    EXPECT_EQ(sheet.RowCount(), 0);
    EXPECT_TRUE(sheet.Sections(skClient)->Unions().empty());
}

// A count past what the lists can index is refused, so that inserting rows
// and storing sizes keep working up to the last row a sheet holds.
TEST(SheetInsert, CountsStopAtTheLastIndexASheetHolds) {
    TQvSheet s;
    const int32_t most = TQvSheet::MaxCount();
    EXPECT_EQ(most, TSList().MaxIndex() + 1);
    EXPECT_EQ(most, 16776960);
    try {
        s.SetRowCount(16777216);
        FAIL() << "no error";
    } catch (const EQvGridError& e) {
        EXPECT_EQ(std::string(e.what()), "RowCount 16777216: a sheet holds at most " + std::to_string(most) + " rows");
    }
    EXPECT_THROW(s.SetTitleCols(most + 1), EQvGridError);
    EXPECT_EQ(s.RowCount(), 5);
    EXPECT_EQ(s.TitleCols(), 1);
    s.SetRowCount(most - 1);
    s.InsertRows(0, 1);
    s.SetSize(most - 1, axRows, 30);
    EXPECT_EQ(s.GetSize(axRows, most - 1), 20);  // stored, within the maximum height
    EXPECT_THROW(s.InsertRows(0, 1), EQvGridError);
}

}  // namespace
}  // namespace qv
