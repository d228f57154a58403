// A shown grid over a small sheet, with helpers that press keys and click
// cells and edges the way a user does.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "grids/sheet.h"
#include "view/grid.h"

namespace qv::test {

class ShownGrid : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet = std::make_unique<TQvSheet>();
        Grid = std::make_unique<TQvGrid>();
        Grid->resize(400, 300);
        Grid->SetSheet(Sheet.get());
        Grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Grid.get()));
        Client()->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override {
        Grid.reset();
        Sheet.reset();
    }

    TQvView* Pane(TQvSectionKind K) const { return Grid->Views(K); }
    TQvView* Client() const { return Pane(skClient); }

    // Re-reads the sheet's sizes after a structural change made directly.
    void Refresh() {
        Grid->UpdateAllSizes();
        Grid->ResetSelection();
        QApplication::processEvents();
    }

    void Key(int K, Qt::KeyboardModifiers M = Qt::NoModifier) { QTest::keyClick(Client(), Qt::Key(K), M); }
    void Keys(int K, int N) {
        for (int i = 0; i < N; ++i) Key(K);
    }

    // The centre of a cell of a pane, in its client pixels.
    static QPoint Centre(TQvView* P, TPoint Cell) {
        TRect px;
        EXPECT_TRUE(P->CellRectToPixels({Cell.X, Cell.Y, Cell.X + 1, Cell.Y + 1}, TQvView::paWhole, px));
        return {(px.Left + px.Right) / 2, (px.Top + px.Bottom) / 2};
    }
    // A point on the right edge of column Col in a title pane (its last
    // pixel, vertically in the middle of row 0). The new size follows the
    // pointer, so a drag from here by D + 1 pixels grows the column by D.
    static QPoint ColEdge(TQvView* P, int32_t Col) {
        return {P->ColSizes()->Offset(Col + 1) - 1 - P->ScrollPos().X, P->RowSizes()->Size(0) / 2};
    }
    static QPoint RowEdge(TQvView* P, int32_t Row) {
        return {P->ColSizes()->Size(0) / 2, P->RowSizes()->Offset(Row + 1) - 1 - P->ScrollPos().Y};
    }

    void Click(TQvView* P, TPoint Cell, Qt::KeyboardModifiers M = Qt::NoModifier) {
        QTest::mouseClick(P, Qt::LeftButton, M, Centre(P, Cell));
    }
    // A double click as Qt delivers it: press, release, press, double
    // click, release.
    static void DoubleClick(TQvView* P, QPoint At) {
        QTest::mouseClick(P, Qt::LeftButton, Qt::NoModifier, At);
        QTest::mousePress(P, Qt::LeftButton, Qt::NoModifier, At);
        QTest::mouseDClick(P, Qt::LeftButton, Qt::NoModifier, At);
        QTest::mouseRelease(P, Qt::LeftButton, Qt::NoModifier, At);
    }
    // Press at A, move through to B in a few steps, release at B.
    static void Drag(TQvView* P, QPoint A, QPoint B, bool Release = true) {
        QTest::mousePress(P, Qt::LeftButton, Qt::NoModifier, A);
        for (int i = 1; i <= 4; ++i) QTest::mouseMove(P, A + (B - A) * i / 4);
        if (Release) QTest::mouseRelease(P, Qt::LeftButton, Qt::NoModifier, B);
    }

    TPoint Cur() const { return Client()->Current(); }
    TRect Sel() const { return Client()->SelRect(); }

    std::unique_ptr<TQvSheet> Sheet;
    std::unique_ptr<TQvGrid> Grid;
};

inline TRect R(int32_t L, int32_t T, int32_t Rt, int32_t B) { return {L, T, Rt, B}; }
inline TPoint Pt(int32_t X, int32_t Y) { return {X, Y}; }

}  // namespace qv::test

namespace qv {
inline void PrintTo(const TPoint& P, std::ostream* Os) { *Os << "(" << P.X << ", " << P.Y << ")"; }
inline void PrintTo(const TRect& R, std::ostream* Os) {
    *Os << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}
}  // namespace qv
