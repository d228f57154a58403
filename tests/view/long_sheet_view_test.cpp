// A grid over a sheet of ten million rows reaches its last row by keys and
// by the scroll bar, and a cell there takes typing.
#include <QScrollBar>

#include "grids/cell.h"
#include "tests/view/input_fixture.h"

namespace qv::test {
namespace {

class LongSheetView : public ShownGrid {};

TEST_F(LongSheetView, TheLastRowIsReachedAndEdited) {
    constexpr int32_t Rows = 10'000'000;
    Sheet->SetColCount(4);
    Sheet->SetRowCount(Rows);
    Refresh();
    const int32_t end = Client()->ContentSize().Height - Client()->ClientSize().Height;
    ASSERT_EQ(Client()->ContentSize().Height, Rows * Sheet->RowDefHeight());
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : Client()->findChildren<QScrollBar*>())
        if (b->orientation() == Qt::Vertical) bar = b;
    ASSERT_NE(bar, nullptr);

    // The thumb dragged to the bar's end shows the last row (its units are
    // thousands of pixels here).
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    bar->setSliderDown(false);
    EXPECT_EQ(Client()->ScrollPos().Y, end);
    TPoint cell;
    EXPECT_TRUE(Client()->CellAt({1, Client()->ClientSize().Height - 1}, false, cell));
    EXPECT_EQ(cell.Y, Rows - 1);

    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Client()->Current(), (TPoint{3, Rows - 1}));
    EXPECT_EQ(Pane(skRowTitles)->ScrollPos().Y, end);
    Client()->grab();
    for (int k : {int(Qt::Key_4), int(Qt::Key_2), int(Qt::Key_Return)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k));
        QApplication::processEvents();
    }
    EXPECT_EQ(Sheet->CellValue(3, Rows - 1).AsString(), "42");
}

}  // namespace
}  // namespace qv::test
