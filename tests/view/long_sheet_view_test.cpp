// A grid over a sheet of ten million rows: its end is reachable by keys and
// by the scroll bar, and a cell there takes typing.
#include <QAbstractSlider>
#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include "grids/cell.h"
#include "tests/view/input_fixture.h"

namespace qv::test {
namespace {

constexpr int32_t Rows = 10'000'000;

class LongSheetView : public ShownGrid {
protected:
    void SetUp() override {
        ShownGrid::SetUp();
        Sheet->SetColCount(4);
        Sheet->SetRowCount(Rows);
        Refresh();
    }
    QScrollBar* VertBar() const {
        for (QScrollBar* b : Client()->findChildren<QScrollBar*>())
            if (b->orientation() == Qt::Vertical) return b;
        return nullptr;
    }
    int32_t EndScroll() const { return Client()->ContentSize().Height - Client()->ClientSize().Height; }
};

TEST_F(LongSheetView, CtrlEndReachesTheLastRowAndTypingEditsIt) {
    ASSERT_EQ(Client()->ContentSize().Height, Rows * Sheet->RowDefHeight());
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Client()->Current(), (TPoint{3, Rows - 1}));
    EXPECT_EQ(Client()->ScrollPos().Y, EndScroll());
    EXPECT_EQ(Pane(skRowTitles)->ScrollPos().Y, EndScroll());
    QScrollBar* bar = VertBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), bar->maximum());
    // The last row lies inside the pane.
    TRect px;
    ASSERT_TRUE(Client()->CellRectToPixels({3, Rows - 1, 4, Rows}, TQvView::paWhole, px));
    EXPECT_GE(px.Top, 0);
    EXPECT_LE(px.Bottom, Client()->ClientSize().Height);
    Client()->grab();  // paints at the end without trouble

    for (int k : {int('4'), int('2'), int(Qt::Key_Return)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k));
        QApplication::processEvents();
    }
    EXPECT_EQ(Sheet->CellValue(3, Rows - 1).AsString(), "42");
    Key(Qt::Key_Up);
    EXPECT_EQ(Client()->Current(), (TPoint{3, Rows - 2}));
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Client()->ScrollPos().Y, 0);
}

TEST_F(LongSheetView, TheThumbAtTheBarsEndShowsTheLastRow) {
    QScrollBar* bar = VertBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_GT(Client()->ScrollFactor().Y, 1);
    // Dragged there and released.
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    bar->setSliderDown(false);
    EXPECT_EQ(Client()->ScrollPos().Y, EndScroll());
    TPoint cell;
    EXPECT_TRUE(Client()->CellAt({1, Client()->ClientSize().Height - 1}, false, cell));
    EXPECT_EQ(cell.Y, Rows - 1);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Client()->ScrollPos().Y, 0);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Client()->ScrollPos().Y, EndScroll());
}

}  // namespace
}  // namespace qv::test
