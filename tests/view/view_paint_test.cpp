// Pane painting read back from the pixels of a shown grid: grid lines,
// fills, merged ranges, hidden and protected cells, hint marks, scaling,
// borders and the inverted selection.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <memory>

#include "cells/boolean_cell.h"
#include "cells/string_cell.h"
#include "grids/base_style.h"
#include "grids/cell_range.h"
#include "grids/paint_context.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/picture.h"
#include "platform/recording_canvas.h"
#include "qt/qt_picture.h"
#include "qt/qt_convert.h"
#include "view/grid.h"

namespace qv {
namespace {

class ViewPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet = std::make_unique<TQvSheet>();
        Sheet->SetColCount(10);
        Sheet->SetRowCount(14);
        Sheet->SetRowMaxHeight(60);
        Sheet->SetColMaxWidth(300);
        Grid = std::make_unique<TQvGrid>();
        Grid->resize(720, 320);
        Grid->SetSheet(Sheet.get());
        Grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Grid.get()));
        QApplication::processEvents();
    }
    void TearDown() override {
        Grid.reset();
        Sheet.reset();
    }

    TQvView* Client() const { return Grid->Views(skClient); }
    TRect Px(TPoint Cell, TQvView::TPixelArea Mode = TQvView::paWhole) const {
        TRect r;
        EXPECT_TRUE(Client()->CellRectToPixels({Cell.X, Cell.Y, Cell.X + 1, Cell.Y + 1}, Mode, r));
        return r;
    }
    QImage Shot() {
        QApplication::processEvents();
        return Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QRgb Rgb(const QColor& C) { return C.rgb() & 0xFFFFFF; }
    static QRgb At(const QImage& I, int X, int Y) { return I.pixel(X, Y) & 0xFFFFFF; }
    // Pixels of R (client) that differ from Background.
    static QRect Ink(const QImage& I, const TRect& R, QRgb Background) {
        QRect ink;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (At(I, x, y) != Background) ink |= QRect(x, y, 1, 1);
        return ink;
    }
    TQvCell* Text(TPoint P, const std::string& S) {
        Sheet->SetCellValue(P.X, P.Y, TVariant(S));
        return Sheet->FindCell(P.X, P.Y);
    }

    QRgb Window() const { return Rgb(ToQColor(clWindow)); }
    QRgb GridLine() const { return Rgb(ToQColor(Sheet->BaseClientStyle()->GridColor())); }

    std::unique_ptr<TQvSheet> Sheet;
    std::unique_ptr<TQvGrid> Grid;
};

TEST_F(ViewPaintTest, GridLinesOnLastPixelsAndNoneWhenTheyMatchTheFill) {
    Sheet->BaseClientStyle()->SetGridColor(clBlue);
    QImage shot = Shot();
    const TRect q = Px({3, 3});
    EXPECT_EQ(At(shot, q.Right - 1, q.Top + 5), 0x0000FFu);
    EXPECT_EQ(At(shot, q.Left + 5, q.Bottom - 1), 0x0000FFu);
    EXPECT_EQ(At(shot, q.Right - 2, q.Bottom - 2), Window());

    Sheet->BaseClientStyle()->SetGridColor(Sheet->BaseClientStyle()->Color());
    shot = Shot();
    EXPECT_TRUE(Ink(shot, {Px({2, 2}).Left, Px({2, 2}).Top, Px({8, 12}).Right, Px({8, 12}).Bottom}, Window()).isEmpty());

    Sheet->BaseClientStyle()->SetGridColor(clBlue);
    Grid->SetOptions(Grid->Options() & ~oVertLines);
    shot = Shot();
    EXPECT_EQ(At(shot, q.Right - 1, q.Top + 5), Window());
    EXPECT_EQ(At(shot, q.Left + 5, q.Bottom - 1), 0x0000FFu);
}

TEST_F(ViewPaintTest, MergedRangesAndFillsHideTheLinesInside) {
    Sheet->BaseClientStyle()->SetGridColor(clBlue);
    TQvCellRange merged(*Sheet, {2, 2, 5, 5});
    ASSERT_TRUE(merged->Merge());
    TQvCellRange filled(*Sheet, {6, 6, 7, 7});
    filled->SetColor(clYellow);
    const QImage shot = Shot();

    const TRect a = Px({2, 2}), b = Px({4, 4});
    // Inside the range: no lines at all.
    EXPECT_TRUE(Ink(shot, {a.Left, a.Top, b.Right - 1, b.Bottom - 1}, Window()).isEmpty());
    // Its own right and bottom lines stay.
    EXPECT_EQ(At(shot, b.Right - 1, a.Top + 3), 0x0000FFu);
    EXPECT_EQ(At(shot, a.Left + 3, b.Bottom - 1), 0x0000FFu);

    // A filled cell covers its own last column and row.
    const TRect f = Px({6, 6});
    EXPECT_EQ(At(shot, f.Right - 1, f.Top + 3), 0xFFFF00u);
    EXPECT_EQ(At(shot, f.Left + 3, f.Bottom - 1), 0xFFFF00u);
    EXPECT_EQ(At(shot, f.Right - 1, f.Bottom - 1), 0xFFFF00u);
    EXPECT_EQ(At(shot, f.Left - 1, f.Top + 3), 0x0000FFu);  // the neighbour's line
}

TEST_F(ViewPaintTest, HiddenAndProtectedCellsShowOnlyInDesignMode) {
    TQvCell* hidden = Text({3, 8}, "WWWW");
    hidden->SetShowing(false);
    TQvCell* locked = Text({5, 8}, "");
    locked->SetProtected(true);
    const TRect h = Px({3, 8}), p = Px({5, 8});
    QImage shot = Shot();
    EXPECT_TRUE(Ink(shot, {h.Left, h.Top, h.Right - 1, h.Bottom - 1}, Window()).isEmpty());
    EXPECT_EQ(At(shot, p.Left + 1, p.Top + 1), Window());

    Grid->SetDesignMode(true);
    Client()->update();
    shot = Shot();
    EXPECT_FALSE(Ink(shot, {h.Left, h.Top, h.Right - 1, h.Bottom - 1}, Window()).isEmpty());
    const QRgb inverted = ~Window() & 0xFFFFFF;
    EXPECT_EQ(At(shot, p.Left, p.Top), inverted);
    EXPECT_EQ(At(shot, p.Left + 2, p.Top + 2), inverted);
    EXPECT_EQ(At(shot, p.Left + 3, p.Top + 1), Window());
    EXPECT_EQ(At(shot, p.Left + 1, p.Top + 3), Window());
}

TEST_F(ViewPaintTest, HintTriangleInTheTopRightWhileHintsAreOn) {
    Text({4, 9}, "")->SetHint("look here");
    const TRect q = Px({4, 9});
    QImage shot = Shot();
    EXPECT_NE(At(shot, q.Right - 2, q.Top), 0xFF0000u);

    Client()->SetShowHint(true);
    shot = Shot();
    for (TPoint p : {TPoint{q.Right - 4, q.Top}, TPoint{q.Right - 1, q.Top}, TPoint{q.Right - 1, q.Top + 3},
                     TPoint{q.Right - 2, q.Top + 1}})
        EXPECT_EQ(At(shot, p.X, p.Y), 0xFF0000u) << p.X << "," << p.Y;
    EXPECT_NE(At(shot, q.Right - 5, q.Top), 0xFF0000u);
    EXPECT_NE(At(shot, q.Right - 1, q.Top + 4), 0xFF0000u);
    EXPECT_NE(At(shot, q.Right - 4, q.Top + 2), 0xFF0000u);  // below the slanted side
}

TEST_F(ViewPaintTest, ScaleDoublesFontsButNotGridLines) {
    Sheet->SetRowMaxHeight(100);
    Sheet->SetSize(10, axRows, 40);
    Sheet->SetSize(4, axCols, 120);
    TQvCell* cell = Text({4, 10}, "HHHH");
    cell->Font()->SetSize(10);
    cell->Font()->SetColor(clBlack);
    Sheet->BaseClientStyle()->SetGridColor(clBlue);
    auto inkHeight = [&] {
        const QImage shot = Shot();
        const TRect q = Px({4, 10});
        return Ink(shot, {q.Left, q.Top, q.Right - 1, q.Bottom - 1}, Window()).height();
    };
    Grid->resize(900, 900);
    const int normal = inkHeight();
    Grid->SetScale(200);
    const int doubled = inkHeight();
    ASSERT_GT(normal, 4);
    EXPECT_NEAR(doubled, 2 * normal, 2);

    const QImage shot = Shot();
    const TRect q = Px({2, 2});
    EXPECT_EQ(q.Width(), 120);  // the sizes doubled ...
    EXPECT_EQ(At(shot, q.Right - 1, q.Top + 5), 0x0000FFu);
    EXPECT_EQ(At(shot, q.Right - 2, q.Top + 5), Window());  // ... the lines did not
    EXPECT_EQ(At(shot, q.Left + 5, q.Bottom - 2), Window());
}

TEST_F(ViewPaintTest, SelectedCellShowsAFrameRingAndStaysUninverted) {
    ASSERT_TRUE(Grid->HasOption(oDrawFocus));
    Client()->SetCurrent({5, 5}, true, false);
    const QImage shot = Shot();
    ASSERT_EQ(Client()->SelRect(), (TRect{5, 5, 6, 6}));
    const TRect q = Px({5, 5}), a = Px({5, 5}, TQvView::paInsideSelFrame);
    const QRgb inverted = ~Window() & 0xFFFFFF;
    // The ring: three pixels around the inside of the selection frame.
    EXPECT_EQ(At(shot, a.Left - 3, q.Top + 6), inverted);
    EXPECT_EQ(At(shot, a.Left - 2, q.Top + 6), ~GridLine() & 0xFFFFFF);  // the grid line inverted
    EXPECT_EQ(At(shot, a.Right + 2, q.Top + 6), inverted);
    EXPECT_EQ(At(shot, q.Left + 10, a.Top - 3), inverted);
    EXPECT_EQ(At(shot, a.Right + 3, q.Top + 6), Window());
    // The cell itself is not inverted.
    EXPECT_EQ(At(shot, a.Left, q.Top + 6), Window());
    EXPECT_EQ(At(shot, (q.Left + q.Right) / 2, (q.Top + q.Bottom) / 2), Window());
}

// Flat looks: the selection is inverted as a whole (the current cell still
// uninverted), with no ring, and the title cells of the selected columns
// keep their own frames instead of turning into raised buttons.
TEST_F(ViewPaintTest, FlatLooksInvertTheSelectionPlainlyAndKeepTitleFrames) {
    ASSERT_TRUE(Grid->Ctl3D());
    TQvView* titles = Grid->Views(skColTitles);
    Client()->SetCurrent({2, 2}, true, false);
    Client()->SetSelection({2, 2, 4, 4}, {2, 2}, Client());
    const auto titleCell = [&](int32_t Col) {
        QApplication::processEvents();
        TRect px;
        EXPECT_TRUE(titles->CellRectToPixels({Col, 0, Col + 1, 1}, TQvView::paWhole, px));
        return titles->grab(QRect(px.Left, px.Top, px.Width(), px.Height())).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QRgb inverted = ~Window() & 0xFFFFFF;
    const TRect a = Px({3, 3}, TQvView::paInsideSelFrame), q = Px({3, 3});
    QImage shot = Shot();
    EXPECT_EQ(At(shot, a.Right + 2, q.Top + 5), inverted) << "the ring";
    EXPECT_EQ(At(shot, a.Right - 1, q.Top + 5), Window()) << "the margin inside the ring";
    EXPECT_NE(titleCell(2), titleCell(0)) << "a raised button over the selected column";

    Grid->SetCtl3D(false);
    shot = Shot();
    EXPECT_EQ(At(shot, a.Right + 2, q.Top + 5), Window()) << "no ring";
    EXPECT_EQ(At(shot, a.Right - 1, q.Top + 5), inverted) << "no margin";
    EXPECT_EQ(At(shot, (q.Left + q.Right) / 2, (q.Top + q.Bottom) / 2), inverted);
    const TRect cur = Px({2, 2}, TQvView::paInsideCurFrame);
    EXPECT_EQ(At(shot, cur.Left + 3, cur.Top + 3), Window()) << "the current cell stays uninverted";
    EXPECT_EQ(titleCell(2), titleCell(0)) << "title cells keep their own frames";

    // A selection change keeps the screen in step with a fresh paint.
    Client()->SetSelection({3, 3, 6, 5}, {2, 2}, Client());
    QApplication::processEvents();
    const QPoint at = Client()->mapTo(Grid->window(), QPoint(0, 0));
    const QImage held = Grid->screen()
                            ->grabWindow(Grid->window()->winId(), at.x(), at.y(), Client()->width(), Client()->height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    if (held.size() == Client()->size()) {
        EXPECT_EQ(held, Shot());
    }
}

// Column letters over the client columns and row numbers beside the rows,
// in the title line next to the cells, where no title cell is stored.
TEST_F(ViewPaintTest, AutoTitlesNameColumnsAndRowsNextToTheCells) {
    Sheet->SetTitleRows(2);
    TQvView* cols = Grid->Views(skColTitles);
    TQvView* rows = Grid->Views(skRowTitles);
    const auto ink = [](TQvView* P, TPoint Cell) {
        QApplication::processEvents();
        TRect px;
        EXPECT_TRUE(P->CellRectToPixels({Cell.X, Cell.Y, Cell.X + 1, Cell.Y + 1}, TQvView::paInsideCurFrame, px));
        const QImage i = P->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb face = At(i, px.Left + 1, px.Top + 1);
        return Ink(i, px, face);
    };
    EXPECT_TRUE(ink(cols, {0, 1}).isEmpty());
    Grid->SetOptions(Grid->Options() | oAutoTitles);
    EXPECT_FALSE(ink(cols, {0, 1}).isEmpty()) << "A";
    EXPECT_FALSE(ink(rows, {0, 3}).isEmpty()) << "4";
    EXPECT_TRUE(ink(cols, {0, 0}).isEmpty()) << "only the title row next to the cells";
    // "H" is wider than "I"; both centred in their cells.
    const QRect w = ink(cols, {7, 1}), i = ink(cols, {8, 1});
    EXPECT_GT(w.width(), i.width());
    TRect q;
    ASSERT_TRUE(cols->CellRectToPixels({8, 1, 9, 2}, TQvView::paWhole, q));
    EXPECT_LE(std::abs(i.center().x() - (q.Left + q.Right) / 2), 2);
    // A title cell of its own, even an empty one, shows no letter.
    Sheet->Sections(skColTitles)->NeedCell({1, 1});
    EXPECT_TRUE(ink(cols, {1, 1}).isEmpty());
    EXPECT_EQ(TQvView::ColumnLetters(0), "A");
    EXPECT_EQ(TQvView::ColumnLetters(25), "Z");
    EXPECT_EQ(TQvView::ColumnLetters(26), "AA");
    EXPECT_EQ(TQvView::ColumnLetters(701), "ZZ");
    EXPECT_EQ(TQvView::ColumnLetters(702), "AAA");
}

// What is on screen after selection changes (repainting only the changed
// pixels) equals a full repaint.
TEST_F(ViewPaintTest, SelectionChangesRepaintOnlyWhatChangedAndStayConsistent) {
    auto screen = [&] {
        QApplication::processEvents();
        const QPoint at = Client()->mapTo(Grid->window(), QPoint(0, 0));
        return Grid->screen()
            ->grabWindow(Grid->window()->winId(), at.x(), at.y(), Client()->width(), Client()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    Client()->SetCurrent({1, 1}, true, false);
    screen();
    Client()->SetCurrent({2, 3}, true, false);
    Client()->SetSelection({2, 3, 5, 6}, {2, 3}, Client());
    Client()->SetCurrent({4, 5}, false, false);
    const QImage shown = screen();
    if (shown.isNull() || shown.size() != Client()->size()) GTEST_SKIP() << "the platform cannot grab windows";
    EXPECT_EQ(shown, Shot());
    EXPECT_EQ(At(shown, Px({1, 1}).Left - 2, Px({1, 1}).Top + 5), Window());  // the old ring is gone
}

TEST_F(ViewPaintTest, BordersOneTwoAndThreePixelsWide) {
    for (int32_t i = 0; i < 3; ++i) {
        TQvCellRange cells(*Sheet, {1 + 3 * i, 11, 2 + 3 * i, 12});
        cells->SetBorder(liRight, {static_cast<uint8_t>(lsSingle + i), clRed});
    }
    const QImage shot = Shot();
    for (int32_t i = 0; i < 3; ++i) {
        const TRect q = Px({1 + 3 * i, 11});
        const int y = (q.Top + q.Bottom) / 2;
        int width = 0;
        for (int x = q.Right - 4; x < q.Right + 4; ++x) width += At(shot, x, y) == 0xFF0000u;
        EXPECT_EQ(width, i + 1) << "style " << i + 1;
        EXPECT_EQ(At(shot, q.Right - 1, y), 0xFF0000u);
    }
}

TEST_F(ViewPaintTest, BackgroundPictureTilesWithTheCells) {
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 255));
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    TBitmap bitmap;
    bitmap.LoadFromBytes(ImageToBmpBytes(tile));
    TPicture picture;
    picture.SetGraphic(&bitmap);
    Sheet->SetBackground(&picture);
    Sheet->BaseClientStyle()->SetGridColor(Sheet->BaseClientStyle()->Color());
    QImage shot = Shot();
    EXPECT_EQ(At(shot, 8, 8), 0xFF0000u);
    EXPECT_EQ(At(shot, 9, 8), 0x0000FFu);
    // Scrolled by one pixel, the tiles move with the cells.
    ASSERT_TRUE(Client()->ScrollTo({1, 0}));
    shot = Shot();
    EXPECT_EQ(At(shot, 7, 8), 0xFF0000u);
    EXPECT_EQ(At(shot, 8, 8), 0x0000FFu);
    EXPECT_EQ(Grid->Views(skColTitles)->BackgroundPicture(), nullptr);  // the client pane only
}

TEST_F(ViewPaintTest, PanesWithoutASheetPaintTheirColour) {
    Grid->SetSheet(nullptr);
    const QImage shot = Shot();
    EXPECT_EQ(At(shot, 5, 5), Window());
    EXPECT_EQ(At(shot, shot.width() / 2, shot.height() / 2), Window());
}

// A single line centred in a 20-pixel rectangle with a text height of 13
// starts (20 - 13) div 2 = 3 pixels down.
TEST(ViewPaintContextTest, VerticalCentreOfOneLine) {
    TQvSheet sheet;
    TQvCell* cell = sheet.NeedCell(0, 0);
    cell->SetAsString("abc");
    cell->SetVAlign(vaCenter);
    cell->UpdateText();
    test::TRecordingCanvas canvas;
    TQvPaintContext context;
    context.Canvas = &canvas;
    context.SetLayout(cell->Layout());
    cell->DrawValue(context, {10, 100, 70, 120});
    ASSERT_EQ(canvas.CallsStartingWith("DrawText").size(), 1u);
    EXPECT_NE(canvas.CallsStartingWith("DrawText")[0].find("(10,103,70,120)"), std::string::npos)
        << canvas.CallsStartingWith("DrawText")[0];
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// A formatted sheet as a user sees it; the picture is kept for inspection.
TEST_F(ViewPaintTest, FormattedSheetScreenshot) {
    Sheet->SetSize(1, axCols, 90);
    Sheet->SetSize(2, axRows, 30);
    Text({0, 0}, "Plain");
    TQvCell* bold = Text({1, 0}, "Bold right");
    bold->Font()->SetStyle({fsBold});
    bold->SetHAlign(haRight);
    TQvCell* big = Text({1, 2}, "Large, centred");
    big->Font()->SetSize(12);
    big->Font()->SetColor(clNavy);
    big->SetHAlign(haCenter);
    big->SetVAlign(vaCenter);
    TQvCellRange merged(*Sheet, {1, 2, 3, 4});
    merged->Merge();
    TQvCellRange fill(*Sheet, {4, 1, 6, 3});
    fill->SetColor(clYellow);
    TQvCellRange box(*Sheet, {4, 4, 6, 6});
    for (int side : {liLeft, liTop, liRight, liBottom}) box->SetBorder(side, {lsMedium, clRed});
    for (int32_t f = 1; f <= 6; ++f) {
        TQvCellRange framed(*Sheet, {f - 1, 7, f, 8});
        framed->SetFrame(static_cast<uint8_t>(f));
        Text({f - 1, 7}, "frame " + std::to_string(f));
    }
    for (int32_t i = 0; i < 2; ++i) {
        TQvCell* check = Sheet->Sections(skClient)->NeedCellOfClass({7, 1 + i}, TQvCBoolean::StaticClass());
        check->SetAsBoolean(i == 1);
        check->SetHAlign(haCenter);
        check->SetVAlign(vaCenter);
    }
    Text({2, 5}, "wrapped words in a cell")->SetWrapMode(wmWrapWords);
    Sheet->SetSize(5, axRows, 40);
    Text({0, 9}, "with hint")->SetHint("a hint");
    Client()->SetShowHint(true);
    Client()->SetCurrent({1, 1}, true, false);
    Client()->SetSelection({1, 1, 3, 2}, {1, 1}, Client());
    const QImage shot = Grid->grab().toImage();
    ASSERT_TRUE(shot.save("/tmp/qv_paint_formatted.png"));
    shot.copy(0, 0, 300, 80).scaled(1200, 320).save("/tmp/qv_paint_zoom1.png");
    shot.copy(40, 150, 430, 50).scaled(1290, 150).save("/tmp/qv_paint_zoom2.png");
    const TRect f = Px({4, 1});
    EXPECT_EQ(At(Shot(), f.Left + 3, f.Top + 3), 0xFFFF00u);
}

}  // namespace
}  // namespace qv
