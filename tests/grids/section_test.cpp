#include <gtest/gtest.h>

#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "recording_view.h"

namespace qv {
namespace {

using test::TRecordingView;

class QvSectionTest : public ::testing::Test {
protected:
    TQvSheet Sheet;
    TQvSection* Client = Sheet.Sections(skClient);
    TQvSection* Corner = Sheet.Sections(skCorner);

    // A registered class other than the base style's default.
    TClass OtherClass() const {
        const TClass def = Client->BaseStyle()->GetCellClass();
        for (int i = 0; i < QvManager().ClassCount(); ++i)
            if (QvManager().ClassAt(i) != def) return QvManager().ClassAt(i);
        return nullptr;
    }
};

TEST_F(QvSectionTest, FindCellNeverCreatesAndNeedCellUsesTheBaseStyleClass) {
    EXPECT_EQ(Client->FindCell({3, 7}), nullptr);
    EXPECT_EQ(Client->Rows(7), nullptr);
    EXPECT_TRUE(Client->IsEmpty());

    TQvCell* c = Client->NeedCell({3, 7});
    ASSERT_NE(c, nullptr);
    ASSERT_NE(Client->Rows(7), nullptr);
    EXPECT_EQ(Client->Rows(7)->Index(), 7);
    EXPECT_EQ(c->Col(), 3);
    EXPECT_EQ(c->Row(), Client->Rows(7));
    EXPECT_EQ(c->ClassType(), Client->BaseStyle()->GetCellClass());
    EXPECT_EQ(Client->NeedCell({3, 7}), c);
    EXPECT_EQ(Client->FindCell({3, 7}), c);
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, PointsOutsideTheIndexSpaceHoldNothing) {
    EXPECT_EQ(Client->NeedCell({-1, 0}), nullptr);
    EXPECT_EQ(Client->NeedCell({0, -2}), nullptr);
    EXPECT_EQ(Client->NeedRow(-1), nullptr);
    EXPECT_EQ(Client->NeedCellOfClass({-3, -3}, OtherClass()), nullptr);
    EXPECT_EQ(Client->FindCell({-1, -1}), nullptr);
    EXPECT_TRUE(Client->IsEmpty());
}

TEST_F(QvSectionTest, CellsInsideARangeLeadToItsTopLeft) {
    Client->Merge({1, 1, 3, 3});
    EXPECT_EQ(Client->OwnerOf({2, 2}), (TPoint{1, 1}));
    EXPECT_EQ(Client->OwnerOf({1, 1}), (TPoint{1, 1}));
    EXPECT_EQ(Client->OwnerOf({3, 3}), (TPoint{3, 3}));
    EXPECT_EQ(Client->FindCell({2, 2}), nullptr);

    TQvCell* c = Client->NeedCell({2, 2});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Col(), 1);
    EXPECT_EQ(c->Row()->Index(), 1);
    EXPECT_EQ(Client->Unions()[0]->Cell(), c);
    EXPECT_EQ(Client->FindCell({2, 1}), c);
    EXPECT_EQ(Client->Rows(2), nullptr);  // the covered row was not created
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, NeedCellOfClassKeepsAnExactMatchAndReplacesOtherwise) {
    const TClass other = OtherClass();
    ASSERT_NE(other, nullptr);
    TQvCell* c = Client->NeedCell({2, 2});
    EXPECT_EQ(Client->NeedCellOfClass({2, 2}, c->ClassType()), c);

    TQvCell* d = Client->NeedCellOfClass({2, 2}, other);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ClassType(), other);
    EXPECT_EQ(Client->FindCell({2, 2}), d);
    EXPECT_EQ(Client->CellClassAt({2, 2}), other);
    EXPECT_EQ(Client->CellClassAt({9, 9}), Client->BaseStyle()->GetCellClass());

    // Same class again: the object stays.
    Client->SetCellClassAt({2, 2}, other);
    EXPECT_EQ(Client->FindCell({2, 2}), d);
    // The replacement of a range's cell becomes the range's cell.
    Client->Merge({2, 2, 4, 3});
    EXPECT_EQ(Client->Unions()[0]->Cell(), d);
    TQvCell* e = Client->NeedCellOfClass({3, 2}, Client->BaseStyle()->GetCellClass());
    EXPECT_EQ(Client->Unions()[0]->Cell(), e);
    EXPECT_EQ(e->Col(), 2);
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, FreeCellsReleasesCellsButKeepsRows) {
    Client->NeedCell({0, 0});
    Client->NeedCell({2, 1});
    Client->NeedCell({5, 1});
    Client->FreeCells({0, 0, 3, 2});
    EXPECT_EQ(Client->FindCell({0, 0}), nullptr);
    EXPECT_EQ(Client->FindCell({2, 1}), nullptr);
    EXPECT_NE(Client->FindCell({5, 1}), nullptr);
    EXPECT_NE(Client->Rows(0), nullptr);
    EXPECT_EQ(Client->Rows(1)->Last(), 5);
    Client->FreeCells({0, 0, 0, 5});  // empty: nothing
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, ForEachPositionSkipsCoveredPositions) {
    Client->Merge({1, 1, 3, 3});
    std::vector<TPoint> seen;
    EXPECT_EQ(Client->ForEachPosition({0, 0, 4, 4}, [&](TPoint P, bool&) { seen.push_back(P); }), 13);
    EXPECT_EQ(seen[0], (TPoint{0, 0}));
    EXPECT_EQ(seen[5], (TPoint{1, 1}));  // row 1: (0,1) then the range's top-left
    EXPECT_EQ(seen[6], (TPoint{3, 1}));
    EXPECT_EQ(seen.back(), (TPoint{3, 3}));
    EXPECT_EQ(Client->ForEachPosition({2, 2, 4, 4}, [](TPoint, bool&) {}), 3);

    int n = 0;
    EXPECT_EQ(Client->ForEachPosition({0, 0, 4, 4},
                                      [&](TPoint, bool& Stop) { Stop = ++n == 4; }),
              4);
}

TEST_F(QvSectionTest, ForEachCellCreatesOnlyWhenAsked) {
    Client->Merge({1, 0, 3, 1});
    Client->NeedCell({0, 1});
    std::vector<TQvCell*> seen;
    EXPECT_EQ(Client->ForEachCell({0, 0, 3, 2}, false, [&](TQvCell* C, bool&) { seen.push_back(C); }), 1);
    EXPECT_EQ(seen[0], Client->FindCell({0, 1}));
    // 6 positions, one covered: 5 cells, the range's only once.
    EXPECT_EQ(Client->ForEachCell({0, 0, 3, 2}, true, [](TQvCell*, bool&) {}), 5);
    EXPECT_NE(Client->FindCell({2, 1}), nullptr);
    EXPECT_EQ(Client->FindCell({2, 0}), Client->FindCell({1, 0}));
    EXPECT_EQ(Client->Unions()[0]->Cell(), Client->FindCell({1, 0}));
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, SetLineAndGetLine) {
    bool uniform = false;
    Client->SetLine(tbVertLines, 4, 0, 10, 0);
    EXPECT_EQ(Client->Tables(tbVertLines)->List(4), nullptr);
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 0, 10, uniform), 0u);
    EXPECT_TRUE(uniform);

    Client->SetLine(tbVertLines, 4, 2, 5, 7);
    Client->SetLine(tbVertLines, 4, 4, 4, 9);
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 2, 5, uniform), 7u);
    EXPECT_FALSE(uniform);
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 2, 3, uniform), 7u);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 4, 2, uniform), 9u);  // To <= From
    EXPECT_TRUE(uniform);
    // A stored value running into unset keys is not uniform, unset running on is.
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 5, 8, uniform), 7u);
    EXPECT_FALSE(uniform);
    EXPECT_EQ(Client->GetLine(tbVertLines, 4, 6, 1000000, uniform), 0u);
    EXPECT_TRUE(uniform);

    Client->SetLine(tbVertLines, 4, 0, 100, 0);
    EXPECT_TRUE(Client->Tables(tbVertLines)->List(4)->IsEmpty());
    // A huge range of zeroes, or an index past the list's reach, costs nothing.
    Client->SetLine(tbHorzLines, 2, -5, 0x7FFFFFFF, 0);
    Client->SetLine(tbHorzLines, -1, 0, 3, 5);
    EXPECT_EQ(Client->Tables(tbHorzLines)->Last(), -1);
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, RunsJoinEqualNeighboursAndLeaveUnsetKeysOut) {
    const TQvLine red = PackLine(lsSingle, clRed), blue = PackLine(lsDouble, clBlue);
    Client->SetLine(tbFill, 2, 1, 3, red);
    Client->SetLine(tbFill, 2, 4, 4, blue);
    Client->SetLine(tbFill, 2, 7, 8, red);
    EXPECT_EQ(Client->FillRuns(2, 0, 20), (std::vector<TQvRun>{{1, 4, red}, {4, 5, blue}, {7, 9, red}}));
    // Clipped to the keys asked for; a line without values has no runs.
    EXPECT_EQ(Client->FillRuns(2, 2, 8), (std::vector<TQvRun>{{2, 4, red}, {4, 5, blue}, {7, 8, red}}));
    EXPECT_TRUE(Client->FillRuns(3, 0, 20).empty());
    // Vertical lines are keyed by row, horizontal ones by column.
    Client->SetLine(tbVertLines, 5, 2, 3, blue);
    Client->SetLine(tbHorzLines, 5, 6, 6, red);
    EXPECT_EQ(Client->VertLineRuns(5, 0, 10), (std::vector<TQvRun>{{2, 4, blue}}));
    EXPECT_EQ(Client->HorzLineRuns(5, 0, 10), (std::vector<TQvRun>{{6, 7, red}}));
    EXPECT_EQ(LineColor(blue), clBlue);
}

TEST_F(QvSectionTest, FrameStylesFallBackToTheBaseStyle) {
    TQvSection* title = Sheet.Sections(skColTitles);
    const int32_t def = title->BaseStyle()->Frame();
    ASSERT_NE(def, 0);  // the title style draws a frame
    title->SetAreaValue(3, 0, 4, static_cast<uint8_t>(def));
    EXPECT_EQ(title->Tables(tbFrames)->List(3), nullptr);
    EXPECT_EQ(title->AreaValue(2, 3), def);

    title->SetAreaValue(3, 1, 2, frDeepDown);
    auto* list = static_cast<TIntSList*>(title->Tables(tbFrames)->List(3));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->InheritsFrom(TIntSList::StaticClass()));
    EXPECT_EQ(list->Default(), def);
    EXPECT_EQ(title->AreaValue(0, 3), def);
    EXPECT_EQ(title->AreaValue(1, 3), frDeepDown);
    EXPECT_EQ(title->AreaValue(3, 3), def);
    // Frames go through the tables' common interface too.
    bool uniform = true;
    EXPECT_EQ(title->GetLine(tbFrames, 3, 1, 2, uniform), static_cast<TQvLine>(frDeepDown));
    EXPECT_TRUE(uniform);
    title->SetLine(tbFrames, 3, 0, 3, frNoFrame);
    EXPECT_EQ(title->AreaValue(3, 3), frNoFrame);
    EXPECT_EQ(title->AreaValue(4, 3), def);

    // Clearing the table hands every position back to the default.
    title->Tables(tbFrames)->Clear();
    EXPECT_EQ(title->AreaValue(1, 3), def);
    EXPECT_EQ(Client->AreaValue(0, 0), Client->BaseStyle()->Frame());
}

TEST_F(QvSectionTest, RepaintsGoToEveryViewUnlessTheSheetIsUpdating) {
    TRecordingView a(&Sheet), b(&Sheet);
    Corner->Invalidate({1, 2, 3, 4}, true);
    ASSERT_EQ(a.Count("InvalidateCells"), 1);
    ASSERT_EQ(b.Count("InvalidateCells"), 1);
    const auto call = a.Named("InvalidateCells")[0];
    EXPECT_EQ(call.Kind, skCorner);
    EXPECT_EQ(call.R, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(call.Mode, 1);
    Client->InvalidateAll();
    ASSERT_EQ(a.Count("InvalidatePane"), 1);
    EXPECT_EQ(a.Named("InvalidatePane")[0].Kind, skClient);

    a.Reset();
    Sheet.BeginUpdate();
    Client->Invalidate({0, 0, 1, 1}, false);
    Client->InvalidateAll();
    Client->NeedCell({0, 0});
    Client->Merge({0, 0, 2, 2});
    EXPECT_EQ(a.Count("InvalidateCells"), 0);
    EXPECT_EQ(a.Count("InvalidatePane"), 0);
    Sheet.EndUpdate();
    EXPECT_EQ(a.Count("InvalidateAll"), 1);
}

TEST_F(QvSectionTest, DetachStyleAndStyleChangedReachOnlyTheStylesCells) {
    TQvStyler styler;
    Sheet.SetStyler(&styler);
    TQvStyle* red = styler.AddStyle("Red");
    TQvStyle* blue = styler.AddStyle("Blue");
    TQvCell* a = Client->NeedCell({0, 0});
    TQvCell* b = Client->NeedCell({1, 0});
    TQvCell* c = Client->NeedCell({2, 0});
    a->SetStyle(red);
    b->SetStyle(blue);

    // A style's layout reaches a cell that does not own Layout.
    TQvLayout l = red->Layout();
    l.HAlign = haCenter;
    red->SetLayout(l);
    Client->StyleChanged(red, piLayout);
    EXPECT_EQ(a->Layout().HAlign, haCenter);
    EXPECT_NE(b->Layout().HAlign, haCenter);

    Client->DetachStyle(red);
    EXPECT_EQ(a->GetStyle(), nullptr);
    EXPECT_EQ(b->GetStyle(), blue);
    Client->DetachStyle(nullptr);
    EXPECT_EQ(b->GetStyle(), nullptr);
    EXPECT_EQ(c->GetStyle(), nullptr);
}

TEST_F(QvSectionTest, IntegrityCheckReportsBrokenInvariants) {
    Client->Merge({0, 0, 2, 2});
    Client->NeedCell({0, 0});
    EXPECT_EQ(Client->CheckIntegrity(), "");
    // Write an inner line and a fill behind the range's back.
    Client->SetLine(tbVertLines, 1, 0, 0, PackLine(lsSingle, clRed));
    Client->SetLine(tbFill, 1, 1, 1, PackLine(lsSingle, clBlue));
    const std::string report = Client->CheckIntegrity();
    EXPECT_NE(report.find("inner vertical line"), std::string::npos) << report;
    EXPECT_NE(report.find("mixed fill"), std::string::npos) << report;
    Client->NormaliseUnionsIn({1, 1, 2, 2});
    EXPECT_EQ(Client->CheckIntegrity(), "");
}

TEST_F(QvSectionTest, DestroyingASectionReleasesRowsCellsAndRanges) {
    // Under the sanitizers this catches a cell reaching a freed range or table.
    auto* s = new TQvSection(&Sheet, skClient);
    s->SetBaseStyle(Sheet.BaseClientStyle());
    s->Merge({0, 0, 3, 3});
    s->NeedCell({1, 1});
    s->NeedCell({5, 5});
    s->SetLine(tbVertLines, 4, 0, 4, 5);
    s->SetAreaValue(0, 0, 3, frDeepUp);
    EXPECT_EQ(s->CheckIntegrity(), "");
    delete s;
}

}  // namespace
}  // namespace qv
