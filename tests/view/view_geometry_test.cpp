// Pane geometry: scroll-bar units for large contents, scroll requests,
// edge zones of the title panes, panes scrolling in step, clamping.
#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "grids/section.h"
#include "grids/sheet.h"
#include "view/grid.h"

using namespace qv;

namespace {

class ViewGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        sheet.SetColDefWidth(60);
        sheet.SetRowDefHeight(16);
        sheet.SetColCount(50);
        sheet.SetRowCount(50);
        grid.resize(400, 300);
        grid.SetSheet(&sheet);
    }
    TQvView* Pane(TQvSectionKind K) const { return grid.Views(K); }
    TQvView* Client() const { return grid.Views(skClient); }
    QScrollBar* Bar(Qt::Orientation O) const {
        for (QScrollBar* b : Client()->findChildren<QScrollBar*>())
            if (b->orientation() == O) return b;
        return nullptr;
    }

    TQvSheet sheet;
    TQvGrid grid;
};

TEST_F(ViewGeometry, LargeContentScrollsInPowerOfTwoUnits) {
    // 1250 columns of 80 pixels: 100000 pixels, four per scroll unit.
    sheet.SetColDefWidth(80);
    sheet.SetColCount(1250);
    ASSERT_EQ(Client()->ContentSize().Width, 100000);
    EXPECT_EQ(Client()->ScrollFactor().X, 4);
    QScrollBar* h = Bar(Qt::Horizontal);
    ASSERT_TRUE(h && !h->isHidden());
    // nMax = range - 1 = 24999: the thumb runs to nMax - page + 1.
    EXPECT_EQ(h->maximum() + h->pageStep() - 1, 24999);
    EXPECT_EQ(h->pageStep(), Client()->ClientSize().Width / 4);

    // Exactly 32000 pixels still scroll pixel by pixel.
    sheet.SetColCount(400);
    EXPECT_EQ(Client()->ContentSize().Width, 32000);
    EXPECT_EQ(Client()->ScrollFactor().X, 1);
    EXPECT_EQ(h->maximum() + h->pageStep() - 1, 31999);
}

TEST_F(ViewGeometry, ThumbFollowsTrackingOption) {
    sheet.SetColDefWidth(80);
    sheet.SetColCount(1250);
    QScrollBar* h = Bar(Qt::Horizontal);
    ASSERT_TRUE(h);

    // Tracking (the default): the cells follow the dragged thumb, unsnapped.
    h->setSliderDown(true);
    h->setSliderPosition(1001);
    EXPECT_EQ(Client()->ScrollPos().X, 4004);
    h->setSliderDown(false);
    EXPECT_EQ(Client()->ScrollPos().X, 4004);
    EXPECT_EQ(Pane(skColTitles)->ScrollPos().X, 4004);

    // Without tracking a drag does nothing until the thumb is released, and
    // the release snaps to the start of the column under it.
    grid.SetOptions(grid.Options() & ~oTracking);
    h->setSliderDown(true);
    h->setSliderPosition(2001);
    EXPECT_EQ(Client()->ScrollPos().X, 4004);
    h->setSliderDown(false);
    EXPECT_EQ(Client()->ScrollPos().X, 8000);
    EXPECT_EQ(h->value(), 2000);
}

TEST_F(ViewGeometry, LineAndPageRequestsStopOnBoundaries) {
    sheet.SetSize(1, axCols, 100);  // columns: 0..60, 60..160, 160..220, ...
    Client()->ScrollTo({70, 0});
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scLineDown, 0), 160);
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scLineUp, 0), 60);
    const int32_t client = Client()->ClientSize().Width;
    int32_t p = 70 + client;
    Client()->ColSizes()->IndexAt(p);  // the start of the column there
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scPageDown, 0), p);
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scTop, 0), 0);
    const int32_t max = Client()->ContentSize().Width - client;
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scBottom, 0), max);
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scThumbPosition, max + 500), max);
    EXPECT_EQ(Client()->ScrollCode(axCols, TQvView::scPageUp, 0), 0);

    // The bar's arrow goes through the same rule.
    Bar(Qt::Horizontal)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Client()->ScrollPos().X, 160);
    EXPECT_EQ(Bar(Qt::Horizontal)->value(), 160);
    Bar(Qt::Vertical)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Client()->ScrollPos().Y, 16);
    EXPECT_EQ(Pane(skRowTitles)->ScrollPos(), (TPoint{0, 16}));
}

TEST_F(ViewGeometry, TitleEdgeZones) {
    TQvView* titles = Pane(skColTitles);
    TPoint cell;
    // Last pixel of column 0 and the first two of column 1 size column 0.
    EXPECT_EQ(titles->HitTest({59, 8}, cell), TQvView::hzColEdge);
    EXPECT_EQ(cell.X, 0);
    EXPECT_EQ(titles->HitTest({60, 8}, cell), TQvView::hzColEdge);
    EXPECT_EQ(cell.X, 0);
    EXPECT_EQ(titles->HitTest({61, 8}, cell), TQvView::hzColEdge);
    EXPECT_EQ(cell.X, 0);
    EXPECT_EQ(titles->HitTest({62, 8}, cell), TQvView::hzCell);
    EXPECT_EQ(cell, (TPoint{1, 0}));
    // The first two pixels of column 0 belong to no column.
    EXPECT_EQ(titles->HitTest({1, 8}, cell), TQvView::hzNone);
    // The row titles size rows; the bottom pixel of a title row is an edge.
    EXPECT_EQ(Pane(skRowTitles)->HitTest({30, 32}, cell), TQvView::hzRowEdge);
    EXPECT_EQ(cell.Y, 1);
    // The client pane has no edges.
    EXPECT_EQ(Client()->HitTest({60, 16}, cell), TQvView::hzCell);
    EXPECT_EQ(cell, (TPoint{1, 1}));
    // Beyond the content: nothing.
    sheet.SetColCount(3);
    EXPECT_EQ(titles->HitTest({185, 8}, cell), TQvView::hzNone);
}

TEST_F(ViewGeometry, BoundariesInsideMergedTitlesAreCells) {
    // Title cells of columns 1..3 merged into one.
    sheet.Sections(skColTitles)->Merge(TRect{1, 0, 4, 1});
    TQvView* titles = Pane(skColTitles);
    TPoint cell;
    for (int x : {120, 121, 179, 180, 181}) {
        EXPECT_EQ(titles->HitTest({x, 8}, cell), TQvView::hzCell) << x;
        EXPECT_EQ(cell, (TPoint{1, 0})) << x;
    }
    // The range's own outer edges still size the columns there.
    EXPECT_EQ(titles->HitTest({60, 8}, cell), TQvView::hzColEdge);
    EXPECT_EQ(cell.X, 0);
    EXPECT_EQ(titles->HitTest({240, 8}, cell), TQvView::hzColEdge);
    EXPECT_EQ(cell.X, 3);
}

TEST_F(ViewGeometry, CellAtClampsOutsidePoints) {
    sheet.SetColCount(3);
    sheet.SetRowCount(4);
    TPoint cell;
    EXPECT_FALSE(Client()->CellAt({500, 500}, false, cell));
    EXPECT_TRUE(Client()->CellAt({500, 500}, true, cell));
    EXPECT_EQ(cell, (TPoint{2, 3}));
    EXPECT_TRUE(Client()->CellAt({65, 17}, false, cell));
    EXPECT_EQ(cell, (TPoint{1, 1}));
}

TEST_F(ViewGeometry, CellRectanglesAndPixels) {
    Client()->ScrollTo({10, 0});
    TRect p;
    ASSERT_TRUE(Client()->CellRectToPixels(TRect{1, 1, 3, 2}, TQvView::paWhole, p));
    EXPECT_EQ(p, (TRect{50, 16, 170, 32}));
    ASSERT_TRUE(Client()->CellRectToPixels(TRect{1, 1, 3, 2}, TQvView::paInsideCurFrame, p));
    EXPECT_EQ(p, (TRect{52, 18, 167, 29}));
    EXPECT_FALSE(Client()->CellRectToPixels(TRect{49, 0, 51, 1}, TQvView::paWhole, p));  // beyond the count
    TRect cells;
    // A partly covered column at the far side counts.
    ASSERT_TRUE(Client()->PixelsToCells(TRect{0, 0, 111, 16}, cells));
    EXPECT_EQ(cells, (TRect{0, 0, 3, 1}));
}

TEST_F(ViewGeometry, PanesScrollInStep) {
    Client()->ScrollTo({130, 48});
    EXPECT_EQ(Pane(skColTitles)->ScrollPos(), (TPoint{130, 0}));
    EXPECT_EQ(Pane(skRowTitles)->ScrollPos(), (TPoint{0, 48}));
    EXPECT_EQ(Pane(skCorner)->ScrollPos(), (TPoint{0, 0}));
    // A title pane moves the client on its own axis only.
    Pane(skColTitles)->ScrollTo({60, 0});
    EXPECT_EQ(Client()->ScrollPos(), (TPoint{60, 48}));
}

TEST_F(ViewGeometry, ShrinkingContentClampsScrollPosition) {
    Client()->ClampScroll({100000, 100000});
    const TSize cs = Client()->ClientSize();
    EXPECT_EQ(Client()->ScrollPos(), (TPoint{50 * 60 - cs.Width, 50 * 16 - cs.Height}));
    sheet.SetColCount(2);
    sheet.SetRowCount(2);
    EXPECT_EQ(Client()->ScrollPos(), (TPoint{0, 0}));
    EXPECT_EQ(Pane(skColTitles)->ScrollPos(), (TPoint{0, 0}));
    EXPECT_EQ(Pane(skRowTitles)->ScrollPos(), (TPoint{0, 0}));
    // Nothing left to scroll: the bars are gone.
    for (QScrollBar* b : Client()->findChildren<QScrollBar*>()) EXPECT_TRUE(b->isHidden());
}

TEST_F(ViewGeometry, ScrollIntoViewShowsWholeCells) {
    const TSize cs = Client()->ClientSize();
    // A column partly visible at the right edge comes in fully, and the
    // first visible column is not left cut off.
    const int32_t col = cs.Width / 60;
    Client()->ScrollIntoView(TRect{col, 0, col + 1, 1});
    const int32_t x = Client()->ScrollPos().X;
    EXPECT_GE(x, (col + 1) * 60 - cs.Width);
    EXPECT_EQ(x % 60, 0);
    // Back to the left: the column's start reaches the client edge.
    Client()->ScrollIntoView(TRect{0, 3, 1, 4});
    EXPECT_EQ(Client()->ScrollPos().X, 0);
}

TEST_F(ViewGeometry, SizeChangeMovesLaterCellsAndTitleBands) {
    const int32_t width = Client()->ContentSize().Width;
    sheet.SetSize(2, axCols, 100);
    EXPECT_EQ(Client()->ContentSize().Width, width + 40);
    EXPECT_EQ(Pane(skColTitles)->ContentSize().Width, width + 40);
    // A taller title row pushes the client pane down.
    sheet.SetSize(-1, axRows, 20);
    EXPECT_EQ(Pane(skColTitles)->height(), 20);
    EXPECT_EQ(Pane(skCorner)->height(), 20);
    EXPECT_EQ(Client()->y(), Pane(skColTitles)->y() + 20);
}

}  // namespace

namespace {

// What the window system holds after scrolling (moved pixels plus repainted
// strips) is what a fresh paint of the same position shows.
TEST(ViewScrolling, MovedPixelsMatchAFreshPaint) {
    TQvSheet sheet;
    sheet.SetColCount(40);
    sheet.SetRowCount(80);
    for (int i = 0; i < 30; ++i) sheet.SetCellValue(i % 7, i, TVariant(int32_t(i * 37)));
    sheet.SetSize(2, axCols, 90);
    TQvGrid grid;
    grid.resize(320, 240);
    grid.SetSheet(&sheet);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    TQvView* client = grid.Views(skClient);
    for (TPoint p : {TPoint{45, 40}, TPoint{150, 72}, TPoint{20, 300}, TPoint{0, 0}}) {
        client->ScrollTo(p);
        QCoreApplication::processEvents();
        const QImage held = grid.screen()->grabWindow(grid.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage fresh = grid.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(held.size(), fresh.size());
        QRect diff;
        for (int y = 0; y < held.height(); ++y)
            for (int x = 0; x < held.width(); ++x)
                if (held.pixel(x, y) != fresh.pixel(x, y)) diff |= QRect(x, y, 1, 1);
        EXPECT_TRUE(diff.isEmpty()) << p.X << "," << p.Y << " differ in " << diff.x() << "," << diff.y() << " "
                                    << diff.width() << "x" << diff.height();
        if (held != fresh && qEnvironmentVariableIsSet("QV_SCREENSHOT_DIR")) {
            const QString base = qEnvironmentVariable("QV_SCREENSHOT_DIR") + QString("/scroll_%1_%2").arg(p.X).arg(p.Y);
            held.save(base + "_held.png");
            fresh.save(base + "_fresh.png");
        }
    }
    // A size change while scrolled moves the later cells in place.
    sheet.SetSize(1, axCols, 30);
    QCoreApplication::processEvents();
    const QImage held = grid.screen()->grabWindow(grid.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(held == grid.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

}  // namespace
