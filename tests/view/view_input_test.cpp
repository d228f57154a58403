// Keyboard navigation and selection of a pane, driven by real key presses on
// a shown grid.
#include "cells/boolean_cell.h"
#include "grids/base_style.h"
#include "tests/view/input_fixture.h"

namespace qv::test {
namespace {

using Nav = ShownGrid;

TEST_F(Nav, StartsAtTheFirstCellSelected) {
    EXPECT_EQ(Cur(), Pt(0, 0));
    EXPECT_EQ(Sel(), R(0, 0, 1, 1));
}

TEST_F(Nav, RightRunsOnToTheNextRowAndWrapsAtTheLastCellOnlyWithWrapKeys) {
    Keys(Qt::Key_Right, 4);
    EXPECT_EQ(Cur(), Pt(4, 0));
    Key(Qt::Key_Right);  // end of the row: no wrap option needed
    EXPECT_EQ(Cur(), Pt(0, 1));
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Cur(), Pt(4, 4));
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(4, 4)) << "the last cell stays without oWrapKeys";
    Grid->SetOptions(Grid->Options() | oWrapKeys);
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(0, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Cur(), Pt(4, 4));
    EXPECT_EQ(Sel(), R(4, 4, 5, 5));
}

TEST_F(Nav, DownStopsAtTheLastRowAndWrapsToTheNextColumnWithWrapKeys) {
    Keys(Qt::Key_Down, 6);
    EXPECT_EQ(Cur(), Pt(0, 4));
    Grid->SetOptions(Grid->Options() | oWrapKeys);
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), Pt(1, 0));
    Key(Qt::Key_Up);
    EXPECT_EQ(Cur(), Pt(0, 4));
}

TEST_F(Nav, ArrowsSkipHiddenSizesHiddenAndProtectedCellsAndCoveredCells) {
    Sheet->SetSize(1, axCols, 0);  // column 1 takes no space
    Sheet->NeedCell(2, 0)->SetProtected(true);
    Sheet->NeedCell(3, 0)->SetShowing(false);
    Sheet->SetSize(1, axRows, 0);
    Refresh();
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(4, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Cur(), Pt(0, 0));
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), Pt(0, 2));

    // In design mode protected and hidden cells can be reached.
    Grid->SetDesignMode(true);
    Grid->SetActiveView(Client());
    Client()->SetCurrent({0, 0}, true, false);
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(2, 0));
}

TEST_F(Nav, MergedRangesAreSteppedOverAsOneCell) {
    Sheet->Sections(skClient)->Merge({1, 1, 3, 3});
    Refresh();
    Client()->SetCurrent({0, 1}, true, false);
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(1, 1));
    EXPECT_EQ(Sel(), R(1, 1, 3, 3)) << "the selection covers the whole range";
    Key(Qt::Key_Right);
    EXPECT_EQ(Cur(), Pt(3, 1)) << "right of the range, not inside it";
    // Coming down column 2 into the range's covered part lands on its origin.
    Client()->SetCurrent({2, 0}, true, false);
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), Pt(1, 1));
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), Pt(1, 3));
}

TEST_F(Nav, HomeEndAndPageKeys) {
    Client()->SetCurrent({2, 3}, true, false);
    Key(Qt::Key_Home);
    EXPECT_EQ(Cur(), Pt(0, 3));
    Key(Qt::Key_End);
    EXPECT_EQ(Cur(), Pt(4, 3));
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Cur(), Pt(0, 0));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Cur(), Pt(0, 4)) << "a page beyond the rows lands on the last one";
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Cur(), Pt(0, 0));
    // Jumping to an unselectable cell searches on from it.
    Sheet->NeedCell(4, 0)->SetProtected(true);
    Key(Qt::Key_End);
    EXPECT_EQ(Cur(), Pt(3, 0));
}

TEST_F(Nav, EnterWalksASelectionInColumnOrderAndKeepsIt) {
    Client()->SelectRect({1, 1, 3, 3});
    EXPECT_EQ(Cur(), Pt(0, 0)) << "selecting a rectangle does not move the current cell";
    Client()->SetCurrent({1, 1}, false, false);
    ASSERT_EQ(Sel(), R(1, 1, 3, 3));
    std::vector<TPoint> seen;
    for (int i = 0; i < 4; ++i) {
        Key(Qt::Key_Return);
        seen.push_back(Cur());
        EXPECT_EQ(Sel(), R(1, 1, 3, 3));
    }
    EXPECT_EQ(seen, (std::vector<TPoint>{{1, 2}, {2, 1}, {2, 2}, {1, 1}}));

    // A single selected cell just moves down.
    Client()->SetCurrent({4, 2}, true, false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Cur(), Pt(4, 3));
    EXPECT_EQ(Sel(), R(4, 3, 5, 4));

    Grid->SetEnterDir(dNone);
    Key(Qt::Key_Return);
    EXPECT_EQ(Cur(), Pt(4, 3));
}

// A selection set by code may leave the current cell outside it: Enter steps
// on from the current cell, not from the selection's corner.
TEST_F(Nav, EnterStepsFromACurrentCellOutsideTheSelection) {
    Client()->SelectRect({1, 1, 4, 4});
    ASSERT_EQ(Cur(), Pt(0, 0));
    Key(Qt::Key_Return);
    EXPECT_EQ(Cur(), Pt(0, 1));
    EXPECT_EQ(Sel(), R(1, 1, 4, 4));
}

// Escape during a drag ends the gesture where the mouse is: the dragged
// selection stays, and the click goes to the cell under the mouse, not to
// the pane's first cell.
TEST_F(Nav, EscapeDuringADragKeepsTheDraggedSelection) {
    std::vector<TPoint> clicks;
    Grid->OnCellClick = [&](TObject*, TPoint P) { clicks.push_back(P); };
    Drag(Client(), Centre(Client(), {1, 1}), Centre(Client(), {3, 2}), false);
    ASSERT_EQ(Sel(), R(1, 1, 4, 3));
    Key(Qt::Key_Escape);
    EXPECT_EQ(Grid->MouseState(), 0);
    EXPECT_EQ(Cur(), Pt(1, 1));
    EXPECT_EQ(Sel(), R(1, 1, 4, 3));
    EXPECT_EQ(clicks, (std::vector<TPoint>{{3, 2}}));
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, Centre(Client(), {3, 2}));
    EXPECT_EQ(Sel(), R(1, 1, 4, 3));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(Nav, ShiftMovesAreIgnoredWithRangeSelectOnly) {
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Cur(), Pt(0, 0));
    Grid->SetOptions(Grid->Options() & ~oRangeSelect);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Cur(), Pt(1, 0));
    EXPECT_EQ(Sel(), R(1, 0, 2, 1));
}

TEST_F(Nav, RowSelectSpansWholeRowsOutsideDesignMode) {
    Grid->SetOptions(Grid->Options() | oRowSelect);
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), Pt(0, 1));
    EXPECT_EQ(Sel(), R(0, 1, 5, 2));
    Grid->SetDesignMode(true);
    Client()->SetCurrent({2, 2}, true, false);
    EXPECT_EQ(Sel(), R(2, 2, 3, 3));
}

TEST_F(Nav, EventsFireForTheActivePaneOnly) {
    int cur = 0, sel = 0;
    Grid->OnCurChanged = [&](TObject* S) { ++cur; EXPECT_EQ(S, static_cast<TObject*>(Grid.get())); };
    Grid->OnSelChanged = [&](TObject*) { ++sel; };
    Key(Qt::Key_Right);
    EXPECT_EQ(cur, 1);
    EXPECT_EQ(sel, 1);
    Key(Qt::Key_Up);  // first row: no move, no event
    EXPECT_EQ(cur, 1);
    Pane(skColTitles)->SetCurrent({3, 0}, true, false);
    EXPECT_EQ(cur, 2) << "only the client pane's own move, driven by the title pane, reports";
}

TEST_F(Nav, StepSearchEndsWhenNothingCanBeSelected) {
    TQvProRange* all = Client()->Selection();
    Client()->SelectRect({0, 0, 5, 5});
    all->SetProtected(true);
    for (TQvDirection d : {dRight, dLeft, dDown, dUp}) {
        TPoint p{2, 2};
        EXPECT_FALSE(Client()->StepCell(p, d, false, true)) << int(d);
        EXPECT_EQ(p, Pt(2, 2));
        EXPECT_FALSE(Client()->StepCell(p, d, true, false)) << int(d);
    }
    // The keyboard does nothing either.
    const TPoint before = Cur();
    Grid->SetOptions(Grid->Options() | oWrapKeys);
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ(Cur(), before);
}

TEST_F(Nav, SpaceReachesTheCurrentCellAndTogglesACheckBox) {
    auto* box = static_cast<TQvCBoolean*>(
        Sheet->Sections(skClient)->NeedCellOfClass({0, 0}, TQvCBoolean::StaticClass()));
    ASSERT_FALSE(box->AsBoolean());
    QTest::keyClick(Client(), Qt::Key_Space);
    EXPECT_TRUE(box->AsBoolean());
    QTest::keyClick(Client(), Qt::Key_Space);
    EXPECT_FALSE(box->AsBoolean());
}

TEST_F(Nav, CanEditFollowsReadOnlyFlagsAndSelectability) {
    EXPECT_TRUE(Client()->CanEdit({1, 1}));
    Grid->SetOptions(Grid->Options() | oReadOnly);
    EXPECT_FALSE(Client()->CanEdit({1, 1}));
    Grid->SetOptions(Grid->Options() & ~oReadOnly);
    Sheet->SetReadOnly(true);
    EXPECT_FALSE(Client()->CanEdit({1, 1}));
    Sheet->SetReadOnly(false);
    EXPECT_FALSE(Client()->CanEdit({5, 1})) << "outside the counts";
}

TEST_F(Nav, WithoutASheetKeysDoNothing) {
    Grid->SetSheet(nullptr);
    Key(Qt::Key_Right);
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Return);
    QTest::keyClick(Client(), Qt::Key_A);
    EXPECT_TRUE(Sel().IsEmpty());
    EXPECT_FALSE(Client()->CanSelect({0, 0}));
}

}  // namespace
}  // namespace qv::test
