// The demonstration program's window, built from the program's own source:
// the window is compiled into this test, as it is linked only into TestQv.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "demo/main_window.cpp"  // NOLINT: the demo's window under test

using namespace qv;

namespace {

TEST(Demo, WindowAsStored) {
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), "Form1");
    EXPECT_EQ(form.centralWidget(), form.QvGrid);
    EXPECT_EQ(form.QvGrid->Sheet(), form.Sheet.get());
    EXPECT_EQ(form.Sheet->Styler(), form.QvStyler.get());
    EXPECT_EQ(form.Sheet->ColCount(), 50);
    EXPECT_EQ(form.Sheet->RowCount(), 50);
    EXPECT_EQ(form.Sheet->RowDefHeight(), 16);
    EXPECT_EQ(form.Sheet->ColDefWidth(), 60);
    EXPECT_TRUE(form.QvGrid->HasOption(oPermEdit));
    EXPECT_TRUE(form.QvGrid->HasOption(oColSizing));
    EXPECT_TRUE(form.QvGrid->HasOption(oRowSizing));
    EXPECT_FALSE(form.QvGrid->HasOption(oRowSelect));
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), "&Edit");
    ASSERT_EQ(menus[0]->menu()->actions().size(), 1);
    EXPECT_EQ(menus[0]->menu()->actions()[0]->text(), "&Close");
    form.show();
    EXPECT_EQ(form.frameGeometry().size(), QSize(667, 464));
}

TEST(Demo, DoubleClickedEdgesGetFixedSizes) {
    TForm1 form;
    form.show();
    form.QvGrid->OnColDblClick(form.QvGrid, {3, 0});
    form.QvGrid->OnRowDblClick(form.QvGrid, {0, 7});
    EXPECT_EQ(form.Sheet->GetSize(axCols, 3), 100);
    EXPECT_EQ(form.Sheet->GetSize(axRows, 7), 20);
    // The grid shows the new sizes at once.
    EXPECT_EQ(form.QvGrid->Sizes(axCols, spClient)->Size(3), 100);
    EXPECT_EQ(form.QvGrid->Views(skClient)->ContentSize().Width, 49 * 60 + 100);
    // A title index sizes the title column; the row maximum of 20 holds.
    form.QvGrid->OnColDblClick(form.QvGrid, {-1, 0});
    EXPECT_EQ(form.Sheet->GetSize(axCols, -1), 100);
    EXPECT_EQ(form.QvGrid->Views(skRowTitles)->width(), 100);
}

TEST(Demo, DoubleClickOnTheTitleEdgesWithTheMouse) {
    TForm1 form;
    form.show();
    TQvView* cols = form.QvGrid->Views(skColTitles);
    TQvView* rows = form.QvGrid->Views(skRowTitles);
    // The right edge of column 3 and the lower edge of row 7.
    QTest::mouseDClick(cols, Qt::LeftButton, {}, QPoint(4 * 60 - 1, 8));
    EXPECT_EQ(form.Sheet->GetSize(axCols, 3), 100);
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(30, 8 * 16 - 1));
    EXPECT_EQ(form.Sheet->GetSize(axRows, 7), 20);
}

TEST(Demo, RemovingTheSheetLeavesAnEmptyGrid) {
    TForm1 form;
    form.Remove1Click();
    EXPECT_EQ(form.QvGrid->Sheet(), nullptr);
    EXPECT_FALSE(form.grab().isNull());
}

// With QV_SCREENSHOT_DIR set, a picture of the window with a few values.
TEST(Demo, Screenshot) {
    const QByteArray dir = qgetenv("QV_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "QV_SCREENSHOT_DIR not set";
    TForm1 form;
    form.Sheet->SetCellValue(0, 0, TVariant(std::string("Hello")));
    form.Sheet->SetCellValue(1, 0, TVariant(int32_t(42)));
    form.Sheet->SetCellValue(2, 1, TVariant(3.25));
    form.Sheet->SetCellValue(0, -1, TVariant(std::string("A")));
    form.Sheet->SetCellValue(-1, 0, TVariant(std::string("1")));
    form.Sheet->SetSize(3, axCols, 100);
    form.show();
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(dir) + "/demo.png"));
    // After scrolling, as the window system holds it (moved pixels and
    // repainted strips, not a fresh paint).
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    form.QvGrid->Views(skClient)->ScrollTo({45, 40});
    QCoreApplication::processEvents();
    form.QvGrid->Views(skClient)->ScrollTo({150, 72});
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.screen()->grabWindow(form.winId()).save(QString::fromLocal8Bit(dir) + "/demo_scrolled.png"));
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(dir) + "/demo_scrolled_fresh.png"));
}

}  // namespace
