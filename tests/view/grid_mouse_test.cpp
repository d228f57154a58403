// Mouse gestures of a shown grid: clicking, dragging selections, title
// selections and sizing columns and rows at the title edges.
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include "cells/boolean_cell.h"
#include "tests/view/input_fixture.h"

namespace qv::test {
namespace {

using Mouse = ShownGrid;

TEST_F(Mouse, ClickMovesTheCurrentCellAndReportsTheCell) {
    std::vector<TPoint> clicks;
    TObject* sender = nullptr;
    Grid->OnCellClick = [&](TObject* S, TPoint P) { sender = S; clicks.push_back(P); };
    Click(Client(), {2, 3});
    EXPECT_EQ(Cur(), Pt(2, 3));
    EXPECT_EQ(Sel(), R(2, 3, 3, 4));
    EXPECT_EQ(clicks, std::vector<TPoint>{Pt(2, 3)});
    EXPECT_EQ(sender, static_cast<TObject*>(Client()));
    EXPECT_EQ(Grid->MouseState(), 0);
}

TEST_F(Mouse, ShiftClickAndDragSelectRangesWithRangeSelect) {
    Click(Client(), {1, 1});
    Click(Client(), {3, 2}, Qt::ShiftModifier);
    EXPECT_EQ(Cur(), Pt(1, 1));
    EXPECT_EQ(Sel(), R(1, 1, 4, 3));

    Drag(Client(), Centre(Client(), {3, 4}), Centre(Client(), {0, 2}));
    EXPECT_EQ(Cur(), Pt(3, 4));
    EXPECT_EQ(Sel(), R(0, 2, 4, 5));
}

TEST_F(Mouse, WithoutRangeSelectADragMovesTheCurrentCell) {
    Grid->SetOptions(Grid->Options() & ~oRangeSelect);
    Drag(Client(), Centre(Client(), {0, 0}), Centre(Client(), {3, 2}), false);
    EXPECT_EQ(Cur(), Pt(3, 2));
    EXPECT_EQ(Sel(), R(3, 2, 4, 3));
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, Centre(Client(), {3, 2}));
    Click(Client(), {1, 1}, Qt::ShiftModifier);
    EXPECT_EQ(Sel(), R(1, 1, 2, 2));
}

TEST_F(Mouse, TitleClicksSelectColumnsRowsAndEverything) {
    Click(Pane(skColTitles), {2, 0});
    EXPECT_EQ(Sel(), R(2, 0, 3, 5));
    EXPECT_EQ(Cur(), Pt(2, 0));
    Click(Pane(skRowTitles), {0, 3});
    EXPECT_EQ(Sel(), R(0, 3, 5, 4));
    EXPECT_EQ(Cur(), Pt(0, 3));
    EXPECT_TRUE(Pane(skColTitles)->SelRect().IsEmpty()) << "one title band at a time";
    Click(Pane(skCorner), {0, 0});
    EXPECT_EQ(Sel(), R(0, 0, 5, 5));
    // Dragging over column titles selects several whole columns.
    Drag(Pane(skColTitles), Centre(Pane(skColTitles), {1, 0}), Centre(Pane(skColTitles), {3, 0}));
    EXPECT_EQ(Sel(), R(1, 0, 4, 5));
}

TEST_F(Mouse, ColumnTitleSelectionGrowsByMergedClientRanges) {
    Sheet->Sections(skClient)->Merge({2, 3, 4, 4});
    Refresh();
    Click(Pane(skColTitles), {3, 0});
    EXPECT_EQ(Sel(), R(2, 0, 4, 5));
}

TEST_F(Mouse, RowSelectMakesClicksSelectWholeRows) {
    Grid->SetOptions(Grid->Options() | oRowSelect);
    Click(Client(), {2, 1});
    EXPECT_EQ(Sel(), R(0, 1, 5, 2));
}

TEST_F(Mouse, DoubleClickOnACellFiresAfterTheSelection) {
    std::vector<TPoint> dbl;
    Grid->OnCellDblClick = [&](TObject*, TPoint P) { dbl.push_back(P); };
    std::vector<TPoint> clicks;
    Grid->OnCellClick = [&](TObject*, TPoint P) { clicks.push_back(P); };
    DoubleClick(Client(), Centre(Client(), {1, 2}));
    EXPECT_EQ(clicks.size(), 2u) << "the release of each click is a click";
    EXPECT_EQ(dbl, std::vector<TPoint>{Pt(1, 2)});
    EXPECT_EQ(Cur(), Pt(1, 2));
    EXPECT_EQ(Grid->MouseState(), 0);
}

TEST_F(Mouse, DoubleClickTogglesACheckBoxCell) {
    auto* box = static_cast<TQvCBoolean*>(
        Sheet->Sections(skClient)->NeedCellOfClass({2, 1}, TQvCBoolean::StaticClass()));
    DoubleClick(Client(), Centre(Client(), {2, 1}));
    EXPECT_TRUE(box->AsBoolean());
}

TEST_F(Mouse, RightClickMovesTheCurrentCellOnlyOutsideTheSelection) {
    Client()->SelectRect({1, 1, 4, 4});
    QTest::mouseClick(Client(), Qt::RightButton, Qt::NoModifier, Centre(Client(), {2, 2}));
    EXPECT_EQ(Cur(), Pt(0, 0));
    EXPECT_EQ(Sel(), R(1, 1, 4, 4));
    QTest::mouseClick(Client(), Qt::RightButton, Qt::NoModifier, Centre(Client(), {4, 4}));
    EXPECT_EQ(Cur(), Pt(4, 4));
    EXPECT_EQ(Sel(), R(4, 4, 5, 5));
    // Beyond the cells nothing moves.
    QTest::mouseClick(Client(), Qt::RightButton, Qt::NoModifier, {350, 200});
    EXPECT_EQ(Cur(), Pt(4, 4));
}

TEST_F(Mouse, HoveringShowsTheCellHintAsToolTip) {
    Sheet->NeedCell(1, 1)->SetHint("Total of the row");
    Client()->SetShowHint(true);
    QTest::mouseMove(Client(), Centre(Client(), {1, 1}));
    EXPECT_EQ(Client()->toolTip(), QString("Total of the row"));
    QTest::mouseMove(Client(), Centre(Client(), {2, 1}));
    EXPECT_TRUE(Client()->toolTip().isEmpty());
}

TEST_F(Mouse, NoGesturesWithoutASheetOrWithAReadOnlySheet) {
    Sheet->SetReadOnly(true);
    EXPECT_EQ(Grid->GetMouseAction(Client(), {10, 10}), Qt::ArrowCursor);
    Click(Client(), {2, 2});
    EXPECT_EQ(Cur(), Pt(0, 0));
    Sheet->SetReadOnly(false);
    Grid->SetSheet(nullptr);
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, {30, 30});
    QTest::mouseClick(Pane(skColTitles), Qt::LeftButton, Qt::NoModifier, {30, 5});
    EXPECT_EQ(Grid->MouseState(), 0);
}

TEST_F(Mouse, HoverOverATitleEdgeShowsTheSplitCursorOnlyWithSizing) {
    TQvView* titles = Pane(skColTitles);
    QTest::mouseMove(titles, ColEdge(titles, 1));
    EXPECT_EQ(titles->cursor().shape(), Qt::ArrowCursor);
    Grid->SetOptions(Grid->Options() | oColSizing | oRowSizing);
    QTest::mouseMove(titles, ColEdge(titles, 0));
    QTest::mouseMove(titles, ColEdge(titles, 1));
    EXPECT_EQ(titles->cursor().shape(), Qt::SplitHCursor);
    TQvView* rows = Pane(skRowTitles);
    QTest::mouseMove(rows, RowEdge(rows, 2));
    EXPECT_EQ(rows->cursor().shape(), Qt::SplitVCursor);
    // The client pane never offers sizing.
    EXPECT_EQ(Grid->GetMouseAction(Client(), {Client()->ColSizes()->Offset(1), 5}), Qt::ArrowCursor);
}

class Sizing : public ShownGrid {
protected:
    void SetUp() override {
        ShownGrid::SetUp();
        Grid->SetOptions(Grid->Options() | oColSizing | oRowSizing);
    }
    TQvView* Titles() const { return Pane(skColTitles); }
};

TEST_F(Sizing, DraggingAColumnEdgeStoresTheWidthOnRelease) {
    const QPoint edge = ColEdge(Titles(), 1);
    Drag(Titles(), edge, edge + QPoint(26, 0), false);
    EXPECT_EQ(Grid->Sizes(axCols, spClient)->Size(1), 85) << "the grid follows live";
    EXPECT_EQ(Sheet->GetSize(axCols, 1), 60) << "the sheet only on release";
    QTest::mouseMove(Titles(), edge + QPoint(600, 0));
    EXPECT_EQ(Grid->Sizes(axCols, spClient)->Size(1), 60) << "off the grid the old width shows";
    QTest::mouseMove(Titles(), edge + QPoint(26, 0));
    QTest::mouseRelease(Titles(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(26, 0));
    EXPECT_EQ(Sheet->GetSize(axCols, 1), 85);
    EXPECT_EQ(Client()->ContentSize().Width, 5 * 60 + 25);
    EXPECT_EQ(Titles()->ContentSize().Width, 5 * 60 + 25);
    EXPECT_EQ(Grid->MouseState(), 0);
    EXPECT_FALSE(Client()->SizingLineShown()) << "no feedback left behind";
}

// While a column edge is dragged the cells stay as they were: on screen, only
// the moving line differs from the picture before the press. With
// QV_SCREENSHOT_DIR set, each step is saved there (sizing_N.png).
TEST_F(Sizing, DraggingAnEdgeShowsOnlyTheMovingLineOverTheCells) {
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c) Sheet->SetCellValue(c, r, TVariant(std::string("Wide text ") + char('a' + c)));
    Click(Client(), {1, 2});
    const auto held = [this] {
        QApplication::processEvents();
        return Grid->screen()->grabWindow(Grid->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage before = held();
    if (before.size() != Grid->size()) GTEST_SKIP() << "the platform cannot grab windows";
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    const QRect cells = Client()->geometry();
    const QPoint edge = ColEdge(Titles(), 1);
    QTest::mousePress(Titles(), Qt::LeftButton, Qt::NoModifier, edge);
    for (int step = 0; step <= 6; ++step) {
        const int d = step < 4 ? 9 * step : 36 - 14 * (step - 3);  // out, then back past the start
        QTest::mouseMove(Titles(), edge + QPoint(d, 0));
        const QImage now = held();
        if (!dir.isEmpty()) now.save(dir + QString("/sizing_%1.png").arg(step));
        // The line lies on the last pixel of the column at its new width.
        const int line = cells.left() + Client()->ColSizes()->Offset(2) - 1;
        QRect changed;
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y) && x != line) changed |= QRect(x, y, 1, 1);
        EXPECT_TRUE(changed.isEmpty()) << "step " << step << ": cells changed in " << changed.x() << "," << changed.y()
                                       << " " << changed.width() << "x" << changed.height();
        bool shown = false;
        for (int y = cells.top() + 2; y < cells.bottom() - 20 && !shown; ++y) shown = now.pixel(line, y) != before.pixel(line, y);
        EXPECT_TRUE(shown || step == 0) << "step " << step << ": the line shows over the cells";
    }
    QTest::mouseRelease(Titles(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(-6, 0));
    EXPECT_EQ(Sheet->GetSize(axCols, 1), 53);
    EXPECT_EQ(held(), Grid->grab().toImage().convertToFormat(QImage::Format_RGB32)) << "no feedback left behind";
}

TEST_F(Sizing, WidthsStopAtFiveUnscaledPixelsAndFollowTheScale) {
    Grid->SetScale(200);
    const QPoint edge = ColEdge(Titles(), 0);
    Drag(Titles(), edge, edge - QPoint(200, 0) + QPoint(Titles()->ColSizes()->Offset(0), 0));
    EXPECT_EQ(Sheet->GetSize(axCols, 0), 5);
    EXPECT_EQ(Grid->Sizes(axCols, spClient)->Size(0), 10);
}

TEST_F(Sizing, EscapeAndPlainClicksLeaveTheSizeAlone) {
    const QPoint edge = ColEdge(Titles(), 2);
    Drag(Titles(), edge, edge + QPoint(41, 0), false);
    ASSERT_EQ(Grid->Sizes(axCols, spClient)->Size(2), 100);
    QTest::keyClick(Client(), Qt::Key_Escape);
    EXPECT_EQ(Grid->MouseState(), 0);
    EXPECT_EQ(Grid->Sizes(axCols, spClient)->Size(2), 60);
    EXPECT_EQ(Titles()->ContentSize().Width, 300);
    QTest::mouseRelease(Titles(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(41, 0));
    EXPECT_EQ(Sheet->GetSize(axCols, 2), 60);

    QTest::mouseClick(Titles(), Qt::LeftButton, Qt::NoModifier, edge);
    EXPECT_EQ(Sheet->GetSize(axCols, 2), 60);
    EXPECT_EQ(Grid->Sizes(axCols, spClient)->Size(2), 60);
    EXPECT_EQ(Sel(), R(0, 0, 1, 1)) << "a click on an edge selects nothing";
}

TEST_F(Sizing, RowEdgesOfTheRowTitlesSizeRows) {
    TQvView* rows = Pane(skRowTitles);
    const QPoint edge = RowEdge(rows, 0);
    Drag(rows, edge, edge + QPoint(0, 5));
    EXPECT_EQ(Sheet->GetSize(axRows, 0), 19);
    Drag(rows, RowEdge(rows, 0), RowEdge(rows, 0) + QPoint(0, 30));
    EXPECT_EQ(Sheet->GetSize(axRows, 0), 20) << "the sheet's maximum applies";
}

TEST_F(Sizing, AnotherGridOnTheSameSheetFollowsOnRelease) {
    TQvGrid other;
    other.SetSheet(Sheet.get());
    const QPoint edge = ColEdge(Titles(), 0);
    Drag(Titles(), edge, edge + QPoint(11, 0), false);
    EXPECT_EQ(other.Sizes(axCols, spClient)->Size(0), 60);
    QTest::mouseRelease(Titles(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(11, 0));
    EXPECT_EQ(other.Sizes(axCols, spClient)->Size(0), 70);
}

TEST_F(Sizing, DoubleClickOnATitleColumnEdgeReportsNegativeIndexes) {
    Sheet->SetTitleCols(2);
    Refresh();
    std::vector<TPoint> cols, rows;
    Grid->OnColDblClick = [&](TObject* S, TPoint P) {
        EXPECT_EQ(S, static_cast<TObject*>(Grid.get()));
        cols.push_back(P);
    };
    Grid->OnRowDblClick = [&](TObject*, TPoint P) { rows.push_back(P); };
    // The second title column's right edge, in the corner pane.
    TQvView* corner = Pane(skCorner);
    DoubleClick(corner, ColEdge(corner, 1));
    DoubleClick(Titles(), ColEdge(Titles(), 3));
    TQvView* rowTitles = Pane(skRowTitles);
    DoubleClick(rowTitles, RowEdge(rowTitles, 2));
    EXPECT_EQ(cols, (std::vector<TPoint>{{-1, 0}, {3, 0}}));
    EXPECT_EQ(rows, std::vector<TPoint>{Pt(0, 2)});
    EXPECT_EQ(Sheet->GetSize(axCols, -2), 60) << "a double click changes no size";
    EXPECT_FALSE(Client()->SizingLineShown()) << "no feedback left behind";
    EXPECT_EQ(Grid->MouseState(), 0);
}

TEST_F(Sizing, SizingATitleColumnWidensTheTitlePanes) {
    TQvView* corner = Pane(skCorner);
    const int before = corner->width();
    const QPoint edge = ColEdge(corner, 0);
    Drag(corner, edge, edge + QPoint(31, 0));
    EXPECT_EQ(Sheet->GetSize(axCols, -1), before + 30);
    EXPECT_EQ(corner->width(), before + 30);
    EXPECT_EQ(Pane(skRowTitles)->width(), before + 30);
    EXPECT_EQ(Client()->x(), corner->x() + corner->width()) << "the client pane moves once the drag ends";
}

class AutoScroll : public ShownGrid {
protected:
    void SetUp() override {
        ShownGrid::SetUp();
        Sheet->SetRowCount(100);
        Sheet->SetColCount(30);
        Refresh();
    }
};

TEST_F(AutoScroll, DraggingBelowThePaneScrollsAndExtendsTheSelection) {
    const QPoint a = Centre(Client(), {1, 1});
    const QPoint below(a.x(), Client()->height() + 20);
    Drag(Client(), a, below, false);
    EXPECT_EQ(Grid->MouseState(), 2);
    QTest::qWait(400);
    EXPECT_GT(Client()->ScrollPos().Y, 0);
    const TRect during = Sel();
    EXPECT_EQ(during.Top, 1);
    EXPECT_GT(during.Bottom, 16) << "the selection grows with the scrolled rows";
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_EQ(Grid->MouseState(), 0);
    const int32_t pos = Client()->ScrollPos().Y;
    QTest::qWait(120);
    EXPECT_EQ(Client()->ScrollPos().Y, pos) << "the timer stops with the gesture";
}

TEST_F(AutoScroll, CtrlArrowsScrollOneLineAsWellAsMoving) {
    Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Cur(), Pt(0, 1));
    EXPECT_EQ(Client()->ScrollPos().Y, 15);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Client()->ScrollPos().X, 60);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Cur(), Pt(29, 99));
    EXPECT_EQ(Client()->ScrollPos().Y, Client()->ContentSize().Height - Client()->ClientSize().Height);
    Key(Qt::Key_PageUp);
    EXPECT_LT(Cur().Y, 99);
    EXPECT_GT(Cur().Y, 70);
}

// A press on a title cell cut off by the scroll bar brings it into view;
// the release of that click then lies over the next cell, which must not
// join the selection.
TEST_F(AutoScroll, OneClickOnAPartlyHiddenTitleSelectsExactlyThatColumnOrRow) {
    Key(Qt::Key_Home, Qt::ControlModifier);
    const TSize client = Client()->ClientSize();
    TQvView* cols = Pane(skColTitles);
    int32_t at = client.Width - 1;
    const int32_t col = cols->ColSizes()->IndexAt(at);
    ASSERT_GT(client.Width - at, 6) << "a visible part wide enough to click";
    QTest::mouseClick(cols, Qt::LeftButton, Qt::NoModifier, {(at + client.Width) / 2, 5});
    EXPECT_GT(Client()->ScrollPos().X, 0) << "the column came into view";
    EXPECT_EQ(Sel(), R(col, 0, col + 1, 100));

    Key(Qt::Key_Home, Qt::ControlModifier);
    TQvView* rows = Pane(skRowTitles);
    at = client.Height - 1;
    const int32_t row = rows->RowSizes()->IndexAt(at);
    ASSERT_GT(client.Height - at, 3);
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, {10, (at + client.Height) / 2});
    EXPECT_GT(Client()->ScrollPos().Y, 0) << "the row came into view";
    EXPECT_EQ(Sel(), R(0, row, 30, row + 1));
}

class Wheel : public AutoScroll {
protected:
    // One wheel event over W, as a mouse delivers it.
    static void Turn(QWidget* W, QPoint Angle, Qt::KeyboardModifiers M = Qt::NoModifier) {
        const QPointF at(W->width() / 2.0, W->height() / 2.0);
        QWheelEvent e(at, W->mapToGlobal(at), QPoint(), Angle, Qt::NoButton, M, Qt::NoScrollPhase, false);
        QApplication::sendEvent(W, &e);
    }
    static constexpr QPoint Down{0, -120};
    static constexpr QPoint Up{0, 120};
    QScrollBar* VertBar() const {
        for (QScrollBar* b : Client()->findChildren<QScrollBar*>())
            if (b->orientation() == Qt::Vertical) return b;
        return nullptr;
    }
};

TEST_F(Wheel, NotchesScrollWholeRowsAndColumnsOverEveryPane) {
    ASSERT_EQ(QApplication::wheelScrollLines(), 3);
    for (int scale : {100, 200}) {
        Grid->SetScale(scale);
        Client()->ScrollTo({0, 0});
        const int32_t row = 15 * scale / 100, col = 60 * scale / 100;
        Turn(Client(), Down);
        EXPECT_EQ(Client()->ScrollPos().Y, 3 * row) << scale;
        Turn(Pane(skRowTitles), Down);
        Turn(Pane(skColTitles), Down);
        EXPECT_EQ(Client()->ScrollPos().Y, 9 * row) << scale;
        Turn(VertBar(), Up);
        EXPECT_EQ(Client()->ScrollPos().Y, 6 * row) << "over the scroll bar too, " << scale;
        // Half notches add up to a whole one.
        Turn(Client(), Down / 2);
        EXPECT_EQ(Client()->ScrollPos().Y, 6 * row);
        Turn(Pane(skCorner), Down / 2);
        EXPECT_EQ(Client()->ScrollPos().Y, 9 * row);
        // From inside a row, back to row boundaries.
        Client()->ScrollTo({0, 4 * row + 3});
        Turn(Client(), Down);
        EXPECT_EQ(Client()->ScrollPos().Y, 7 * row);
        Client()->ScrollTo({0, 4 * row + 3});
        Turn(Client(), Up);
        EXPECT_EQ(Client()->ScrollPos().Y, 2 * row);
        // Shift+wheel and a horizontal wheel move columns.
        Turn(Client(), Down, Qt::ShiftModifier);
        EXPECT_EQ(Client()->ScrollPos(), Pt(3 * col, 2 * row));
        Turn(Client(), {-120, 0});
        EXPECT_EQ(Client()->ScrollPos(), Pt(6 * col, 2 * row));
        EXPECT_EQ(Pane(skColTitles)->ScrollPos().X, 6 * col);
    }
}

TEST_F(Wheel, CtrlWheelChangesTheScaleInStepsOfTenWithinRange) {
    Turn(Client(), Up, Qt::ControlModifier);
    EXPECT_EQ(Grid->Scale(), 110);
    Turn(Pane(skColTitles), Down, Qt::ControlModifier);
    Turn(Client(), Down, Qt::ControlModifier);
    EXPECT_EQ(Grid->Scale(), 90);
    EXPECT_EQ(Client()->ScrollPos(), Pt(0, 0)) << "zooming does not scroll";
    for (int i = 0; i < 10; ++i) Turn(Client(), Down, Qt::ControlModifier);
    EXPECT_EQ(Grid->Scale(), 25);
    for (int i = 0; i < 60; ++i) Turn(Client(), Up, Qt::ControlModifier);
    EXPECT_EQ(Grid->Scale(), 500);
}

// Screenshots of a sizing drag in progress and of a range selection, for
// looking at; they also check that the gesture leaves no marks behind.
TEST_F(Sizing, ScreenshotsLeaveNoMarks) {
    const QImage clean = Grid->grab().toImage();
    const QPoint edge = ColEdge(Titles(), 1);
    Drag(Titles(), edge, edge + QPoint(45, 0), false);
    QApplication::processEvents();
    Grid->grab().save("/tmp/qv_sizing_drag.png");
    QTest::keyClick(Client(), Qt::Key_Escape);
    QTest::mouseRelease(Titles(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(45, 0));
    QApplication::processEvents();
    EXPECT_EQ(Grid->grab().toImage(), clean) << "a cancelled sizing restores every pixel";

    Drag(Titles(), edge, edge + QPoint(45, 0));
    Drag(Client(), Centre(Client(), {1, 1}), Centre(Client(), {3, 3}));
    QApplication::processEvents();
    Grid->grab().save("/tmp/qv_range_selection.png");
}

}  // namespace
}  // namespace qv::test
