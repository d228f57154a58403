// TQvSheetPrinter: puts a sheet on paper, into a PDF file or into a picture,
// painted by the grid's own panes so that the output looks as the sheet
// does on screen (without selection).
//
// Pages break between whole columns and rows; the sheet's title rows and
// columns are repeated on every page. Pages run down the rows first, then
// across the columns. With FitToWidth the sheet is scaled down, never up,
// so that its columns fit the width of one page.
#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/geometry.h"

class QImage;
class QPainter;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace qv {

class TQvGrid;
class TQvSheet;

struct TQvPageSetup {
    QPageSize PageSize{QPageSize::A4};
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QMarginsF Margins{10, 10, 10, 10};  // millimetres
    // Scale the sheet down to the width of one page.
    bool FitToWidth = true;
    // Size on paper in percent of the sheet's own pixel sizes at 96 dpi
    // (before any fitting).
    int Scale = 100;
    // The client cells to print; empty: the used area (every column and row
    // up to the last cell, fill, border or merged range within the counts).
    TRect Area;
    // Letters and numbers in the title cells that hold no text, as a grid
    // with oAutoTitles shows them (a sheet that relies on them for its row
    // and column names prints them too).
    bool AutoTitles = false;
};

class TQvSheetPrinter {
public:
    explicit TQvSheetPrinter(TQvSheet& Sheet);
    ~TQvSheetPrinter();

    // Called after each page printed: Done of Total pages.
    std::function<void(int Done, int Total)> OnProgress;

    TQvPageSetup& Setup() { return FSetup; }
    const TQvPageSetup& Setup() const { return FSetup; }

    // The client cells that are printed.
    TRect PrintArea() const;
    // The client cell rectangle of each page, in printing order, for the
    // page layout of Setup.
    std::vector<TRect> Pages() const;
    int PageCount() const { return static_cast<int>(Pages().size()); }

    // Gives Device the page size, orientation and margins of Setup.
    void ApplySetup(QPagedPaintDevice& Device) const;
    // Prints every page on Device (a QPrinter or a QPdfWriter) with the
    // device's own page layout, so that a printer keeps what its user chose
    // in a print dialog. Returns false when the device cannot be painted.
    bool Print(QPagedPaintDevice& Device);
    // Writes a PDF file; raises EWriteError naming the file on failure and
    // then leaves any earlier file in place.
    void PrintToPdf(const QString& FileName);
    // Qt's print preview dialog over this sheet, starting with Setup's page
    // layout; printing from it prints. Returns the dialog's result.
    int Preview(QWidget* Parent = nullptr);

    // Titles plus the client cells Cells at grid scale Scale (percent), as
    // one picture.
    QImage RenderImage(const TRect& Cells, int Scale = 100);
    // Writes RenderImage as a PNG file, whole or not at all (EWriteError).
    void SaveImage(const QString& FileName, const TRect& Cells, int Scale = 100);

private:
    struct TPaging {
        double Factor = 1;  // device pixels per sheet pixel
        int TitleWidth = 0;
        int TitleHeight = 0;
        std::vector<TRect> Pages;
    };
    TPaging Paginate(double PageWidth, double PageHeight, double DevicePerSheetPixel) const;
    // Paints titles and client cells Cells with the block's top-left at the
    // painter's origin, in sheet pixels at the grid's scale.
    void PaintBlock(QPainter& Painter, const TRect& Cells);
    TQvGrid& Grid();

    TQvSheet& FSheet;
    TQvPageSetup FSetup;
    std::unique_ptr<TQvGrid> FGrid;
};

}  // namespace qv
