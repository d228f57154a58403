#include "print/sheet_printer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "exchange/atomic_file.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/union.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "view/grid.h"

namespace qv {

namespace {

// Sheet pixels are 96 to the inch.
constexpr double SheetDpi = 96.0;

// Greedy breaks of the entries [From, To) into runs no wider than Avail;
// a run holds at least one entry, however wide.
std::vector<std::pair<int32_t, int32_t>> Breaks(const TQvSizeList& Sizes, int32_t From, int32_t To, double Avail) {
    std::vector<std::pair<int32_t, int32_t>> runs;
    int32_t start = From;
    double used = 0;
    for (int32_t i = From; i < To; ++i) {
        const int32_t w = Sizes.Size(i);
        if (i > start && used + w > Avail) {
            runs.emplace_back(start, i);
            start = i;
            used = 0;
        }
        used += w;
    }
    if (start < To || runs.empty()) runs.emplace_back(start, To);
    return runs;
}

}  // namespace

TQvSheetPrinter::TQvSheetPrinter(TQvSheet& Sheet) : FSheet(Sheet) {}

TQvSheetPrinter::~TQvSheetPrinter() = default;

TQvGrid& TQvSheetPrinter::Grid() {
    if (!FGrid) {
        // A grid of its own that is never seen: it paints the pages.
        FGrid = std::make_unique<TQvGrid>();
        FGrid->setAttribute(Qt::WA_DontShowOnScreen);
        FGrid->setFrameStyle(QFrame::NoFrame);
        FGrid->SetScrolls(0);
        FGrid->SetSheet(&FSheet);
        FGrid->show();
    }
    const TQvOptions options = FGrid->Options();
    FGrid->SetOptions(FSetup.AutoTitles ? options | oAutoTitles : options & ~oAutoTitles);
    // No selection, no current-cell frame on paper.
    for (TQvSectionKind k : AllSectionKinds) FGrid->Views(k)->ResetState();
    return *FGrid;
}

TRect TQvSheetPrinter::PrintArea() const {
    const TRect counts{0, 0, FSheet.ColCount(), FSheet.RowCount()};
    if (!FSetup.Area.IsEmpty()) return FSetup.Area.Intersected(counts);
    const TQvSection* s = FSheet.Sections(skClient);
    int32_t right = 0, bottom = 0;
    auto use = [&](int32_t X, int32_t Y) {
        right = std::max(right, X + 1);
        bottom = std::max(bottom, Y + 1);
    };
    s->ForEach([&](int32_t Y, TObject* R) {
        const int32_t last = static_cast<TQvRow*>(R)->Last();
        if (last >= 0) use(last, Y);
        return false;
    });
    // Fills and the cells on both sides of a border line.
    for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbFill}) {
        if (const TListSList* table = s->Tables(t))
            table->ForEach([&](int32_t Line, TObject* L) {
                const int32_t last = static_cast<TSList*>(L)->Last();
                if (last < 0) return false;
                if (t == tbVertLines) use(std::max(0, Line - 1), last);
                else if (t == tbHorzLines) use(last, std::max(0, Line - 1));
                else use(last, Line);
                return false;
            });
    }
    for (const auto& u : s->Unions()) use(u->Rect().Right - 1, u->Rect().Bottom - 1);
    return TRect{0, 0, right, bottom}.Intersected(counts);
}

TQvSheetPrinter::TPaging TQvSheetPrinter::Paginate(double PageWidth, double PageHeight, double DevicePerSheetPixel) const {
    TPaging p;
    const TRect area = PrintArea();
    const TQvSizeList& cols = *FSheet.Sizes(axCols, spClient);
    const TQvSizeList& rows = *FSheet.Sizes(axRows, spClient);
    p.TitleWidth = FSheet.Sizes(axCols, spTitle)->Span(0, FSheet.TitleCols());
    p.TitleHeight = FSheet.Sizes(axRows, spTitle)->Span(0, FSheet.TitleRows());
    double scale = std::max(1, FSetup.Scale) / 100.0;
    const double width = p.TitleWidth + cols.Span(area.Left, area.Right);
    if (FSetup.FitToWidth && width * scale * DevicePerSheetPixel > PageWidth && width > 0)
        scale = PageWidth / (width * DevicePerSheetPixel);
    p.Factor = scale * DevicePerSheetPixel;
    const double availW = PageWidth / p.Factor - p.TitleWidth;
    const double availH = PageHeight / p.Factor - p.TitleHeight;
    for (auto [c0, c1] : Breaks(cols, area.Left, area.Right, availW))
        for (auto [r0, r1] : Breaks(rows, area.Top, area.Bottom, availH)) p.Pages.push_back({c0, r0, c1, r1});
    return p;
}

std::vector<TRect> TQvSheetPrinter::Pages() const {
    // The page of the setup in sheet pixels, as a PDF of it would have it.
    const QPageLayout layout(FSetup.PageSize, FSetup.Orientation, FSetup.Margins, QPageLayout::Millimeter);
    const QRectF paint = layout.paintRect(QPageLayout::Inch);
    return Paginate(paint.width() * SheetDpi, paint.height() * SheetDpi, 1.0).Pages;
}

void TQvSheetPrinter::PaintBlock(QPainter& Painter, const TRect& Cells) {
    TQvGrid& grid = Grid();
    const TSize titles = grid.Views(skCorner)->ContentSize();
    const TQvSizeList* cols = grid.Sizes(axCols, spClient);
    const TQvSizeList* rows = grid.Sizes(axRows, spClient);
    const int w = titles.Width + cols->Span(Cells.Left, Cells.Right);
    const int h = titles.Height + rows->Span(Cells.Top, Cells.Bottom);
    if (w <= 0 || h <= 0) return;
    grid.resize(w, h);
    grid.AlignControls();
    grid.Views(skClient)->ScrollTo({cols->Offset(Cells.Left), rows->Offset(Cells.Top)});
    grid.render(&Painter, QPoint(0, 0), QRegion(0, 0, w, h), QWidget::DrawChildren);
}

void TQvSheetPrinter::ApplySetup(QPagedPaintDevice& Device) const {
    Device.setPageLayout(QPageLayout(FSetup.PageSize, FSetup.Orientation, FSetup.Margins, QPageLayout::Millimeter));
}

bool TQvSheetPrinter::Print(QPagedPaintDevice& Device) {
    QPainter painter;
    if (!painter.begin(&Device)) return false;
    Grid().SetScale(100);
    const double perPixel = Device.logicalDpiX() / SheetDpi;
    const TPaging paging = Paginate(Device.width(), Device.height(), perPixel);
    bool first = true;
    for (const TRect& page : paging.Pages) {
        if (!first) Device.newPage();
        first = false;
        painter.save();
        painter.scale(paging.Factor, paging.Factor);
        PaintBlock(painter, page);
        painter.restore();
        if (OnProgress) OnProgress(static_cast<int>(&page - paging.Pages.data()) + 1, static_cast<int>(paging.Pages.size()));
    }
    return painter.end();
}

void TQvSheetPrinter::PrintToPdf(const QString& FileName) {
    const std::string name = FileName.toStdString();
    TAtomicFile file(name);
    {
        QPdfWriter writer(QString::fromStdString(file.TempName()));
        writer.setResolution(300);
        writer.setCreator("QvGrid");
        ApplySetup(writer);
        if (!Print(writer)) throw EWriteError("Cannot write \"" + name + "\": the PDF could not be painted");
    }
    file.Commit();
}

int TQvSheetPrinter::Preview(QWidget* Parent) {
    QPrinter printer(QPrinter::PrinterResolution);
    ApplySetup(printer);
    QPrintPreviewDialog dialog(&printer, Parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* P) { Print(*P); });
    return dialog.exec();
}

QImage TQvSheetPrinter::RenderImage(const TRect& Cells, int Scale) {
    const TRect cells = Cells.IsEmpty() ? PrintArea() : Cells;
    TQvGrid& grid = Grid();
    grid.SetScale(Scale);
    const TSize titles = grid.Views(skCorner)->ContentSize();
    const int w = titles.Width + grid.Sizes(axCols, spClient)->Span(cells.Left, cells.Right);
    const int h = titles.Height + grid.Sizes(axRows, spClient)->Span(cells.Top, cells.Bottom);
    QImage image(std::max(1, w), std::max(1, h), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintBlock(painter, cells);
    }
    grid.SetScale(100);
    return image;
}

void TQvSheetPrinter::SaveImage(const QString& FileName, const TRect& Cells, int Scale) {
    const std::string name = FileName.toStdString();
    const QImage image = RenderImage(Cells, Scale);
    TAtomicFile file(name);
    if (!image.save(QString::fromStdString(file.TempName()), "PNG"))
        throw EWriteError("Cannot write \"" + name + "\": the picture could not be saved");
    file.Commit();
}

}  // namespace qv
