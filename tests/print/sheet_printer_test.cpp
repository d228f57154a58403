#include "print/sheet_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/variant.h"

using namespace qv;

namespace {

// 30 columns of 60 pixels and 120 rows of 15, one title column and row,
// a value in every tenth cell.
void Fill(TQvSheet& S) {
    S.SetColCount(30);
    S.SetRowCount(120);
    for (int32_t y = 0; y < 120; y += 10)
        for (int32_t x = 0; x < 30; x += 3) S.SetCellValue(x, y, TVariant(std::string("r") + std::to_string(y)));
    S.SetCellValue(29, 119, TVariant(int32_t(1)));
    for (int32_t x = 0; x < 30; ++x) S.SetCellValue(x, -1, TVariant(std::string("col") + std::to_string(x)));
}

int PdfPages(const QString& File) {
    QProcess p;
    p.start("pdfinfo", {File});
    p.waitForFinished();
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

// Page N of a PDF as a picture, through poppler's pdftoppm.
QImage PdfPage(const QString& File, int Page, const QTemporaryDir& Dir) {
    const QString stem = Dir.filePath("page");
    QProcess::execute("pdftoppm", {"-r", "50", "-png", "-singlefile", "-f", QString::number(Page), "-l",
                                   QString::number(Page), File, stem});
    return QImage(stem + ".png");
}

int InkedPixels(const QImage& Image, int Top, int Bottom) {
    int n = 0;
    for (int y = Top; y < std::min(Bottom, Image.height()); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (qGray(Image.pixel(x, y)) < 235) ++n;
    return n;
}

}  // namespace

TEST(SheetPrinter, PagesBreakBetweenWholeColumnsAndRows) {
    TQvSheet s;
    Fill(s);
    TQvSheetPrinter printer(s);
    printer.Setup().FitToWidth = false;
    EXPECT_EQ(printer.PrintArea(), (TRect{0, 0, 30, 120}));
    // A4 less 10 mm margins holds 718 x 1047 pixels at 96 dpi: beside the
    // 60-pixel title column ten 60-pixel columns, below the 15-pixel title
    // row 68 rows.
    const std::vector<TRect> pages = printer.Pages();
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_EQ(pages[0], (TRect{0, 0, 10, 68}));
    EXPECT_EQ(pages[1], (TRect{0, 68, 10, 120}));  // down first, then across
    EXPECT_EQ(pages[5], (TRect{20, 68, 30, 120}));

    printer.Setup().Orientation = QPageLayout::Landscape;
    EXPECT_EQ(printer.PageCount(), 6);  // 16 columns, 46 rows a page
    EXPECT_EQ(printer.Pages()[0], (TRect{0, 0, 16, 46}));

    // Fitting scales the 1860-pixel sheet to the page width: one page.
    printer.Setup().Orientation = QPageLayout::Portrait;
    printer.Setup().FitToWidth = true;
    EXPECT_EQ(printer.PageCount(), 1);
}

TEST(SheetPrinter, PdfHasThePagesAndEachRepeatsTheTitles) {
    QTemporaryDir dir;
    TQvSheet s;
    Fill(s);
    TQvSheetPrinter printer(s);
    printer.Setup().FitToWidth = false;
    const QString file = dir.filePath("sheet.pdf");
    printer.PrintToPdf(file);
    ASSERT_EQ(PdfPages(file), 6);

    // Page 2 holds rows 69..120: its top is the repeated title row, then
    // cells; the bottom of the page is blank paper.
    const QImage page = PdfPage(file, 2, dir);
    ASSERT_FALSE(page.isNull());
    const int margin = page.height() * 10 / 297;
    const int titleRow = page.height() * 15 / 1123;  // 15 of the page's 1123 pixels
    EXPECT_GT(InkedPixels(page, margin, margin + titleRow), page.width() / 4);
    EXPECT_EQ(InkedPixels(page, page.height() * 9 / 10, page.height()), 0);
}

TEST(SheetPrinter, FailedPdfLeavesTheEarlierFile) {
    QTemporaryDir dir;
    TQvSheet s;
    TQvSheetPrinter printer(s);
    EXPECT_THROW(printer.PrintToPdf(dir.filePath("missing/folder/x.pdf")), EFCreateError);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(SheetPrinter, ImagesShowTitlesAndTheRangeAtTheGridScale) {
    TQvSheet s;
    Fill(s);
    TQvSheetPrinter printer(s);
    const QImage one = printer.RenderImage({2, 3, 5, 7}, 100);
    EXPECT_EQ(one.size(), QSize(60 + 3 * 60, 15 + 4 * 15));
    const QImage two = printer.RenderImage({2, 3, 5, 7}, 200);
    EXPECT_EQ(two.size(), QSize(2 * one.width(), 2 * one.height()));
    EXPECT_GT(InkedPixels(two, 0, two.height()), 500);
}

// A sheet that leaves its row names to the grid prints them when asked to.
TEST(SheetPrinter, AutomaticTitlesPrintWhereTheTitlesHoldNoText) {
    TQvSheet s;
    Fill(s);
    TQvSheetPrinter printer(s);
    const auto rowTitleInk = [&] {
        const QImage image = printer.RenderImage({0, 0, 2, 10}, 100);
        return InkedPixels(image.copy(0, 15, 60, image.height() - 15), 0, image.height() - 15);
    };
    const int without = rowTitleInk();
    printer.Setup().AutoTitles = true;
    EXPECT_GT(rowTitleInk(), without + 20);
    printer.Setup().AutoTitles = false;
    EXPECT_EQ(rowTitleInk(), without);
}

TEST(SheetPrinter, PreviewShowsThePagesOfThePrinter) {
    TQvSheet s;
    Fill(s);
    TQvSheetPrinter printer(s);
    printer.Setup().FitToWidth = false;
    int shown = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (auto* view = dialog->findChild<QPrintPreviewWidget*>()) shown = view->pageCount();
        dialog->reject();
    });
    printer.Preview();
    // The dialog's printer starts with the setup's A4 page.
    EXPECT_EQ(shown, 6);
}

TEST(SheetPrinter, TheUsedAreaCountsFillsBordersAndRanges) {
    TQvSheet s;
    s.SetColCount(40);
    s.SetRowCount(40);
    TQvSheetPrinter printer(s);
    EXPECT_TRUE(printer.PrintArea().IsEmpty());
    EXPECT_EQ(printer.PageCount(), 1);  // an empty sheet prints its titles

    s.SetCellValue(2, 3, TVariant(int32_t(1)));
    EXPECT_EQ(printer.PrintArea(), (TRect{0, 0, 3, 4}));
    s.Sections(skClient)->SetLine(tbFill, 9, 5, 5, PackLine(lsSingle, clYellow));  // a fill at (5, 9)
    s.Sections(skClient)->SetLine(tbVertLines, 12, 1, 1, PackLine(lsSingle, clRed));    // a line left of column 12
    EXPECT_EQ(printer.PrintArea(), (TRect{0, 0, 12, 10}));
    s.Sections(skClient)->Merge({20, 20, 22, 25});
    EXPECT_EQ(printer.PrintArea(), (TRect{0, 0, 22, 25}));
    // A set area wins, within the counts.
    printer.Setup().Area = {30, 30, 50, 50};
    EXPECT_EQ(printer.PrintArea(), (TRect{30, 30, 40, 40}));

    // Half the scale, twice the columns on a page.
    printer.Setup().Area = {0, 0, 40, 40};
    printer.Setup().FitToWidth = false;
    printer.Setup().Scale = 50;
    EXPECT_EQ(printer.Pages()[0], (TRect{0, 0, 22, 40}));
}
