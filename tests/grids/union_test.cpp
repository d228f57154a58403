#include <gtest/gtest.h>

#include "grids/base_style.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/stream.h"
#include "recording_view.h"

namespace qv {
namespace {

using test::TRecordingView;

class QvUnionTest : public ::testing::Test {
protected:
    TQvSheet Sheet;
    TQvSection* S = Sheet.Sections(skClient);
    const TQvLine Red = PackLine(lsSingle, clRed);
    const TQvLine Blue = PackLine(lsDouble, clBlue);

    void ExpectSound() { EXPECT_EQ(S->CheckIntegrity(), ""); }
};

TEST_F(QvUnionTest, MergeKeepsTheTopLeftCellAndReleasesTheOthers) {
    TRecordingView view(&Sheet);
    TQvCell* tl = S->NeedCell({1, 1});
    S->NeedCell({2, 2});
    S->Merge({1, 1, 3, 3});
    ASSERT_EQ(S->Unions().size(), 1u);
    const TQvUnion* u = S->Unions()[0].get();
    EXPECT_EQ(u->Rect(), (TRect{1, 1, 3, 3}));
    EXPECT_EQ(u->Cell(), tl);
    EXPECT_EQ(S->Rows(2)->Cells(2), nullptr);
    EXPECT_EQ(S->FindCell({2, 1}), tl);
    EXPECT_EQ(S->FindUnionOfCell(tl), u);
    EXPECT_EQ(tl->GetRect(), (TRect{1, 1, 3, 3}));
    // Every grid re-applies its selection in the merged pane.
    ASSERT_EQ(view.Count("MergeChanged"), 1);
    EXPECT_EQ(view.Named("MergeChanged")[0].Kind, skClient);
    ExpectSound();
}

TEST_F(QvUnionTest, SinglePositionsAndEmptyRectanglesAreNotMerged) {
    S->Merge({0, 0, 1, 1});
    S->Merge({5, 0, 3, 10});  // inverted columns
    S->Merge({0, 4, 3, 4});   // no rows
    EXPECT_TRUE(S->Unions().empty());
    S->Merge({0, 0, 2, 1});
    ASSERT_EQ(S->Unions().size(), 1u);
    EXPECT_EQ(S->FindCell({1, 0}), nullptr);
    EXPECT_EQ(S->OwnerOf({1, 0}), (TPoint{0, 0}));
    ExpectSound();
}

TEST_F(QvUnionTest, AnOverlappingMergeDeletesTheOlderRange) {
    TQvCell* a = S->NeedCell({1, 1});
    S->Merge({1, 1, 3, 3});
    S->Merge({2, 2, 4, 4});
    ASSERT_EQ(S->Unions().size(), 1u);
    EXPECT_EQ(S->Unions()[0]->Rect(), (TRect{2, 2, 4, 4}));
    EXPECT_EQ(S->Unions()[0]->Cell(), nullptr);
    EXPECT_EQ(S->FindCell({1, 1}), a);
    EXPECT_EQ(S->FindCell({2, 1}), nullptr);
    EXPECT_EQ(S->FindUnionOfCell(a), nullptr);
    EXPECT_EQ(a->GetRect(), (TRect{1, 1, 2, 2}));
    ExpectSound();
}

TEST_F(QvUnionTest, SplittingKeepsTheTopLeftCellAndLeavesTheRestEmpty) {
    TRecordingView view(&Sheet);
    TQvCell* a = S->NeedCell({0, 0});
    S->Merge({0, 0, 3, 2});
    TQvUnion* u = S->Unions()[0].get();
    view.Reset();
    S->DeleteUnion(u);
    EXPECT_EQ(u, nullptr);
    EXPECT_TRUE(S->Unions().empty());
    EXPECT_EQ(S->FindCell({0, 0}), a);
    EXPECT_EQ(S->FindCell({1, 1}), nullptr);
    ASSERT_GE(view.Count("InvalidateCells"), 1);
    EXPECT_EQ(view.Named("InvalidateCells")[0].R, (TRect{0, 0, 3, 2}));

    S->Merge({0, 0, 2, 2});
    S->Merge({4, 0, 6, 2});
    S->Merge({0, 5, 2, 6});
    S->RemoveUnionsIn({1, 1, 5, 2});
    ASSERT_EQ(S->Unions().size(), 1u);
    EXPECT_EQ(S->Unions()[0]->Rect(), (TRect{0, 5, 2, 6}));
    ExpectSound();
}

TEST_F(QvUnionTest, MergingNormalisesLinesAndFill) {
    // Left edge (line 1): rows 1..2 hold two different values -> cleared.
    S->SetLine(tbVertLines, 1, 1, 1, Red);
    S->SetLine(tbVertLines, 1, 2, 2, Blue);
    // Right edge (line 4): the same value on both segments -> kept.
    S->SetLine(tbVertLines, 4, 1, 2, Red);
    // Top edge (line 1): columns 1..3 all Blue -> kept; bottom edge partly set -> cleared.
    S->SetLine(tbHorzLines, 1, 1, 3, Blue);
    S->SetLine(tbHorzLines, 3, 2, 2, Red);
    // Inner lines and a line outside the range.
    S->SetLine(tbVertLines, 2, 1, 2, Red);
    S->SetLine(tbHorzLines, 2, 1, 3, Red);
    S->SetLine(tbVertLines, 6, 1, 2, Red);
    // Fill: the top-left's colour wins, including "none".
    S->SetLine(tbFill, 1, 1, 1, 0x1234);
    S->SetLine(tbFill, 2, 3, 3, 0x5678);

    TRecordingView view(&Sheet);
    S->Merge({1, 1, 4, 3});
    bool uniform = false;
    EXPECT_EQ(S->GetLine(tbVertLines, 1, 1, 2, uniform), 0u);
    EXPECT_EQ(S->GetLine(tbVertLines, 4, 1, 2, uniform), Red);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(S->GetLine(tbHorzLines, 1, 1, 3, uniform), Blue);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(S->GetLine(tbHorzLines, 3, 1, 3, uniform), 0u);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(S->GetLine(tbVertLines, 2, 1, 2, uniform), 0u);
    EXPECT_EQ(S->GetLine(tbVertLines, 3, 1, 2, uniform), 0u);
    EXPECT_EQ(S->GetLine(tbHorzLines, 2, 1, 3, uniform), 0u);
    EXPECT_EQ(S->GetLine(tbVertLines, 6, 1, 2, uniform), Red);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 4; ++x) EXPECT_EQ(S->GetLine(tbFill, y, x, x, uniform), 0x1234u) << x << "," << y;
    // A cleared outer edge asks for a repaint of the outline only.
    bool linesOnly = false;
    for (const auto& c : view.Named("InvalidateCells"))
        if (c.Mode == 1 && c.R == TRect{1, 1, 4, 3}) linesOnly = true;
    EXPECT_TRUE(linesOnly);
    ExpectSound();

    // Nothing but uniform outer edges: no outline repaint.
    view.Reset();
    S->Merge({6, 6, 8, 8});
    for (const auto& c : view.Named("InvalidateCells")) EXPECT_EQ(c.Mode, 0);
}

TEST_F(QvUnionTest, ClearingASharedEdgeNormalisesTheNeighbour) {
    // Range A's top edge (line 6, columns 8..9) is uniform; the new range
    // above shares column 9 of that line and its own bottom edge is mixed.
    S->Merge({8, 6, 10, 10});
    S->SetLine(tbHorzLines, 6, 8, 10, Red);
    S->SetLine(tbHorzLines, 6, 10, 10, Blue);
    ExpectSound();
    S->Merge({9, 5, 12, 6});
    bool uniform = false;
    EXPECT_EQ(S->GetLine(tbHorzLines, 6, 8, 9, uniform), 0u);
    EXPECT_TRUE(uniform);
    ExpectSound();
}

// A merged range's outer edge is shared with its neighbours: a border one
// of them sets there leaves the edge mixed, which edits of the range and a
// save and reload both keep.
TEST_F(QvUnionTest, ANeighboursBorderOnASharedEdgeSurvivesEditsAndReloading) {
    Sheet.SetColCount(5);
    Sheet.SetRowCount(12);
    S->Merge({0, 8, 3, 9});
    S->NeedCell({0, 7})->SetBorder(liBottom, {lsSingle, clRed});
    S->NeedCell({0, 8})->SetBorder(liLeft, {lsDouble, clBlue});
    S->NeedCell({0, 8})->SetColor(clYellow);
    const auto expectBorders = [&](const TQvSection& Sec) {
        EXPECT_EQ(Sec.HorzLineRuns(8, 0, 5), (std::vector<TQvRun>{{0, 1, Red}}));
        EXPECT_EQ(Sec.VertLineRuns(0, 0, 12), (std::vector<TQvRun>{{8, 9, Blue}}));
        EXPECT_EQ(Sec.CheckIntegrity(), "");
    };
    expectBorders(*S);
    TMemoryStream saved;
    Sheet.WriteData(saved);
    saved.SetPosition(0);
    TQvSheet back;
    back.ReadData(saved);
    expectBorders(*back.Sections(skClient));
    TMemoryStream again;
    back.WriteData(again);
    EXPECT_TRUE(again.Bytes() == saved.Bytes());
    // Removing a column that cuts the range keeps the neighbour's line too.
    Sheet.RemoveCols(2, 1);
    EXPECT_EQ(S->HorzLineRuns(8, 0, 4), (std::vector<TQvRun>{{0, 1, Red}}));
    EXPECT_EQ(S->CheckIntegrity(), "");
    // Merging is what clears a mixed edge.
    S->Merge({0, 8, 3, 10});
    EXPECT_TRUE(S->HorzLineRuns(8, 0, 5).empty());
}

TEST_F(QvUnionTest, LookupsScanInTheirOrders) {
    S->Merge({0, 0, 2, 2});
    S->Merge({3, 0, 5, 2});
    const TQvUnion* first = S->Unions()[0].get();
    const TQvUnion* second = S->Unions()[1].get();
    EXPECT_EQ(S->FindUnionAt({0, 0}, false), nullptr);
    EXPECT_EQ(S->FindUnionAt({0, 0}, true), first);
    EXPECT_EQ(S->FindUnionAt({1, 1}, false), first);
    EXPECT_EQ(S->FindUnionAt({2, 1}, true), nullptr);
    EXPECT_EQ(S->FindIntersecting({0, 0, 9, 9}, nullptr), first);
    EXPECT_EQ(S->FindIntersecting({0, 0, 9, 9}, first), second);
    EXPECT_EQ(S->FindIntersecting({2, 0, 3, 9}, nullptr), nullptr);
    EXPECT_TRUE(S->HasUnion({3, 0, 5, 2}));
    EXPECT_FALSE(S->HasUnion({3, 0, 5, 3}));
    EXPECT_EQ(S->FindUnionOfCell(nullptr), nullptr);
}

TEST_F(QvUnionTest, ExpandToUnionsGrowsUntilStable) {
    S->Merge({1, 1, 3, 3});
    S->Merge({2, 3, 4, 5});
    EXPECT_EQ(S->ExpandToUnions({2, 2, 3, 4}), (TRect{1, 1, 4, 5}));
    EXPECT_EQ(S->ExpandToUnions({0, 0, 1, 1}), (TRect{0, 0, 1, 1}));
    // The older range is met only after a newer one widened the result, so
    // a second pass must pick it up.
    TQvSection* c = Sheet.Sections(skCorner);
    c->Merge({0, 0, 2, 2});
    c->Merge({3, 1, 5, 3});
    EXPECT_EQ(c->ExpandToUnions({1, 2, 4, 3}), (TRect{0, 0, 5, 3}));
}

TEST_F(QvUnionTest, AddUnionTakesOnlyTheCellStoredAtItsTopLeft) {
    // The older range covers (1, 1) without starting there: its cell must not
    // become the new range's cell.
    TQvCell* old = S->NeedCell({0, 0});
    S->Merge({0, 0, 3, 3});
    TQvUnion* u = S->AddUnion({1, 1, 4, 4}, nullptr);
    EXPECT_EQ(u->Cell(), nullptr);
    ASSERT_EQ(S->Unions().size(), 1u);
    EXPECT_EQ(S->FindCell({0, 0}), old);
    EXPECT_EQ(S->FindUnionOfCell(old), nullptr);
    ExpectSound();
}

TEST_F(QvUnionTest, SetRectMovesARangeAndItsCellRule) {
    TQvCell* a = S->NeedCell({2, 2});
    S->Merge({2, 2, 4, 4});
    TQvUnion* u = S->Unions()[0].get();
    u->SetRect({2, 2, 5, 3});  // same top-left, other shape
    EXPECT_EQ(u->Cell(), a);
    EXPECT_EQ(S->FindCell({4, 2}), a);
    EXPECT_EQ(S->FindCell({2, 3}), nullptr);
    ExpectSound();

    // Moved to another top-left: the range's cell is whatever is stored
    // there; the old cell, now covered, is released.
    TQvCell* b = S->NeedCell({1, 2});
    u->SetRect({1, 2, 4, 3});
    EXPECT_EQ(u->Cell(), b);
    EXPECT_EQ(S->FindCell({2, 2}), b);
    ExpectSound();
    // And through the cell: an empty rectangle deletes the range.
    b->SetRect({0, 0, 0, 0});
    EXPECT_TRUE(S->Unions().empty());
    ExpectSound();
}

TEST_F(QvUnionTest, ACellDestroyedInsideItsRangeLeavesTheRangeWithoutCell) {
    S->NeedCell({0, 0});
    S->Merge({0, 0, 2, 2});
    S->FreeCells({0, 0, 1, 1});
    EXPECT_EQ(S->Unions()[0]->Cell(), nullptr);
    ExpectSound();
    TQvCell* c = S->NeedCell({1, 1});
    EXPECT_EQ(S->Unions()[0]->Cell(), c);
    ExpectSound();
}

// Lookups agree with a scan of all ranges wherever the ranges lie: small
// ones crossing tile edges, one too large for the tiles, after moves and
// deletions.
TEST_F(QvUnionTest, LookupsFindEveryRangeWhereverItLies) {
    Sheet.SetColCount(300);
    Sheet.SetRowCount(300);
    for (int y = 0; y < 200; y += 3)
        for (int x = 0; x < 200; x += 5) S->Merge({x + 3, y + 1, x + 5, y + 3});
    S->Merge({210, 0, 290, 290});  // more tiles than a range is filed under
    S->Unions()[7]->SetRect({100, 250, 130, 260});
    TQvUnion* gone = S->Unions()[20].get();
    S->DeleteUnion(gone);
    const auto scan = [&](TPoint P) -> const TQvUnion* {
        for (const auto& u : S->Unions())
            if (u->Rect().Contains(P)) return u.get();
        return nullptr;
    };
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(S->FindUnionAt({x, y}, true), scan({x, y})) << x << ", " << y;
    EXPECT_EQ(S->FindIntersecting({205, 5, 215, 6}, nullptr)->Rect(), (TRect{210, 0, 290, 290}));
    EXPECT_EQ(S->FindIntersecting({0, 0, 300, 300}, nullptr), S->Unions()[0].get());
    ExpectSound();
}

}  // namespace
}  // namespace qv
