// qv_screenshots: paints a grid over a sheet that shows every kind of
// content and formatting the panes draw — text in each alignment, wrapped,
// ellipsised and clipped text, fills, each border style, a merged range, each
// frame style, a hint mark, check boxes, a picture, a tiled background
// picture, automatic column letters and row numbers, and a range selection
// with its current cell — at scales 50, 100 and 200, and saves one PNG per
// scale.
//
//   qv_screenshots [FOLDER]     (default: the current folder)
//
// Runs on any Qt platform; scripts/screenshots uses the offscreen one.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <memory>
#include <string>

#include "cells/boolean_cell.h"
#include "cells/picture_cell.h"
#include "cells/qv_picture.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "platform/font.h"
#include "platform/graphic.h"
#include "qt/qt_picture.h"
#include "view/grid.h"

using namespace qv;

namespace {

std::unique_ptr<TBitmap> BitmapOf(const QImage& Image) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromBytes(ImageToBmpBytes(Image));
    return bitmap;
}

// A 12-pixel tile: pale with a thin diagonal, so that the background shows
// where no fill covers it and moves with the cells.
QImage BackgroundTile() {
    QImage tile(12, 12, QImage::Format_RGB32);
    tile.fill(qRgb(250, 250, 240));
    for (int i = 0; i < 12; ++i) tile.setPixel(i, 11 - i, qRgb(225, 225, 205));
    return tile;
}

// A 32 x 24 picture: a blue sky over a green field with a yellow sun.
QImage LandscapePicture() {
    QImage picture(32, 24, QImage::Format_RGB32);
    QPainter p(&picture);
    p.fillRect(0, 0, 32, 16, QColor(90, 150, 230));
    p.fillRect(0, 16, 32, 8, QColor(60, 160, 60));
    p.setBrush(QColor(250, 220, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(20, 3, 8, 8);
    return picture;
}

class TShowcase {
public:
    explicit TShowcase(TQvGrid& Grid) : FGrid(Grid), FSheet(*Grid.Sheet()) {}

    void Build() {
        Titles();
        Alignments();
        TextModes();
        Fills();
        Borders();
        MergedRange();
        Frames();
        Extras();
        Background();
        // Last: the selection a user would see, current cell at its corner.
        Select({5, 9, 8, 11}, {5, 9});
    }

private:
    TQvCell* Text(int32_t X, int32_t Y, const std::string& S) {
        FSheet.SetCellValue(X, Y, TVariant(S));
        return FSheet.FindCell(X, Y);
    }
    TQvSelection& Select(const TRect& R, TPoint Current) {
        TQvView* client = FGrid.Views(skClient);
        client->SetCurrent(Current, true, false);
        client->SetSelection(R, Current, client);
        return *client->Selection();
    }

    // Column letters and row numbers from the grid; the first column's
    // title is a cell of its own, which takes their place.
    void Titles() {
        FGrid.SetOptions(FGrid.Options() | oAutoTitles);
        Text(0, -1, "Name")->SetHAlign(haCenter);
    }

    // Columns 0..2, rows 0..2: each horizontal with each vertical alignment.
    void Alignments() {
        static const char* const h[] = {"left", "right", "centre"};
        static const char* const v[] = {"top", "bottom", "middle"};
        for (int32_t y = 0; y < 3; ++y) {
            FSheet.SetSize(y, axRows, 34);
            for (int32_t x = 0; x < 3; ++x) {
                TQvCell* c = Text(x, y, std::string(h[x]) + " " + v[y]);
                c->SetHAlign(static_cast<uint8_t>(x));
                c->SetVAlign(static_cast<uint8_t>(y));
            }
        }
    }

    // Column 3: the same long text wrapped, ellipsised and clipped.
    void TextModes() {
        const std::string s = "a long text that does not fit its cell";
        Text(3, 0, s)->SetWrapMode(wmWrapWords);
        Text(3, 1, s)->SetWrapMode(wmEllipsis);
        Text(3, 2, s)->SetWrapMode(wmClipped);
    }

    // Columns 4..6, rows 0..2: fills with contrasting text colours.
    void Fills() {
        const TColor fills[] = {clYellow, clAqua, clNavy};
        const TColor inks[] = {clBlack, clMaroon, clWhite};
        for (int i = 0; i < 3; ++i) {
            Select({4, i, 7, i + 1}, {4, i}).SetColor(fills[i]);
            TQvCell* c = Text(5, i, "fill " + std::to_string(i + 1));
            c->Font()->SetColor(inks[i]);
            c->SetHAlign(haCenter);
            c->SetVAlign(vaCenter);
        }
    }

    // Row 4, columns 0..2: a box of each line style.
    void Borders() {
        static const char* const names[] = {"single", "medium", "double"};
        for (int32_t i = 0; i < 3; ++i) {
            TQvSelection& box = Select({i, 4, i + 1, 5}, {i, 4});
            for (int side : {liLeft, liTop, liRight, liBottom})
                box.SetBorder(side, {static_cast<uint8_t>(lsSingle + i), clBlue});
            Text(i, 4, names[i])->SetHAlign(haCenter);
        }
    }

    // Columns 4..6, rows 4..5: a merged range with centred bold text.
    void MergedRange() {
        Select({4, 4, 7, 6}, {4, 4}).Merge();
        TQvCell* c = Text(4, 4, "merged 3 x 2");
        c->SetHAlign(haCenter);
        c->SetVAlign(vaCenter);
        c->Font()->SetStyle({fsBold});
        c->Font()->SetSize(10);
    }

    // Row 7, columns 0..5: frame styles 1..6.
    void Frames() {
        FSheet.SetSize(7, axRows, 24);
        for (int32_t f = 1; f <= 6; ++f) {
            Select({f - 1, 7, f, 8}, {f - 1, 7}).SetFrame(static_cast<uint8_t>(f));
            TQvCell* c = Text(f - 1, 7, "frame " + std::to_string(f));
            c->SetHAlign(haCenter);
            c->SetVAlign(vaCenter);
        }
    }

    // Row 9: a hint, two check boxes and a picture; the selection's text.
    void Extras() {
        FSheet.SetSize(9, axRows, 30);
        Text(0, 9, "with a hint")->SetHint("the hint shows as a mark");
        FGrid.Views(skClient)->SetShowHint(true);
        for (int32_t i = 0; i < 2; ++i) {
            TQvCell* check = FSheet.Sections(skClient)->NeedCellOfClass({1 + i, 9}, TQvCBoolean::StaticClass());
            check->SetAsBoolean(i == 0);
            check->SetHAlign(haCenter);
            check->SetVAlign(vaCenter);
        }
        auto* picture = static_cast<TQvCPicture*>(
            FSheet.Sections(skClient)->NeedCellOfClass({3, 9}, TQvCPicture::StaticClass()));
        picture->Picture()->SetGraphic(BitmapOf(LandscapePicture()).get());
        Text(5, 9, "selected");
        Text(6, 10, "range");
    }

    void Background() {
        TPicture background;
        background.SetGraphic(BitmapOf(BackgroundTile()).get());
        FSheet.SetBackground(&background);
    }

    TQvGrid& FGrid;
    TQvSheet& FSheet;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "qv_screenshots: cannot create the folder %s\n", qPrintable(folder));
        return 1;
    }

    TQvSheet sheet;
    sheet.SetColCount(9);
    sheet.SetRowCount(12);
    sheet.SetColDefWidth(80);
    sheet.SetColMaxWidth(300);
    sheet.SetRowMaxHeight(60);
    sheet.SetTitleCols(1);
    sheet.SetTitleRows(1);
    TQvGrid grid;
    grid.SetSheet(&sheet);
    grid.SetOptions(grid.Options() | oColSizing | oRowSizing);
    TShowcase(grid).Build();

    for (int scale : {50, 100, 200}) {
        grid.SetScale(scale);
        // Room for every column and row at this scale, plus the scroll bars.
        const int width = grid.Views(skRowTitles)->ContentSize().Width + grid.Views(skClient)->ContentSize().Width;
        const int height = grid.Views(skColTitles)->ContentSize().Height + grid.Views(skClient)->ContentSize().Height;
        grid.resize(width + 24, height + 24);
        grid.show();
        QApplication::processEvents();
        const QString path = QDir(folder).filePath(QString("grid_scale_%1.png").arg(scale));
        if (!grid.grab().save(path, "PNG")) {
            std::fprintf(stderr, "qv_screenshots: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(QDir(folder).absoluteFilePath(path)));
    }
    return 0;
}
