#include "designer/tool_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace qv {

namespace {

constexpr int IconSize = 16;

// The cell square the border images draw on: (2, 2) to (13, 13), split in
// the middle at 7.
constexpr int Lo = 2;
constexpr int Hi = 13;
constexpr int Mid = 7;

const QColor Ink(0, 0, 0);
const QColor Faint(160, 160, 160);
const QColor Paper(255, 255, 255);
const QColor Accent(0, 0, 160);

void Line(QPainter& P, const QColor& C, int X1, int Y1, int X2, int Y2) {
    P.setPen(QPen(C, 1));
    P.drawLine(X1, Y1, X2, Y2);
}

// The faint outline of a 2 × 2 block of cells, over which the border
// images mark their lines in ink.
void CellBlock(QPainter& P) {
    P.setPen(QPen(Faint, 1, Qt::DotLine));
    P.drawRect(Lo, Lo, Hi - Lo, Hi - Lo);
    P.drawLine(Mid, Lo, Mid, Hi);
    P.drawLine(Lo, Mid, Hi, Mid);
}

void Outer(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    P.drawRect(Lo, Lo, Hi - Lo, Hi - Lo);
}

void Inner(QPainter& P) {
    Line(P, Ink, Mid, Lo, Mid, Hi);
    Line(P, Ink, Lo, Mid, Hi, Mid);
}

// Text lines of a paragraph aligned left, centred or right.
void TextLines(QPainter& P, Qt::Alignment Align) {
    const int widths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = Align == Qt::AlignLeft ? 2 : Align == Qt::AlignRight ? 14 - w : 8 - w / 2;
        Line(P, Ink, x, 3 + 3 * i, x + w - 1, 3 + 3 * i);
    }
}

// A bar of text at the top, middle or bottom of a cell.
void VerticalAlign(QPainter& P, int Row) {
    P.setPen(QPen(Faint, 1));
    P.drawRect(1, 1, 13, 13);
    P.fillRect(4, Row, 8, 3, Ink);
}

void Letter(QPainter& P, const QString& Text, bool Bold, bool Italic, bool Underline, const QColor& C = Ink) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(13);
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    P.setFont(f);
    P.setPen(C);
    P.drawText(QRect(0, 0, IconSize, Underline ? 15 : IconSize), Qt::AlignCenter, Text);
}

void Page(QPainter& P, int X, int Y, int W, int H) {
    P.setPen(QPen(Ink, 1));
    P.setBrush(Paper);
    P.drawRect(X, Y, W, H);
    P.setBrush(Qt::NoBrush);
}

void Arrow(QPainter& P, QPoint From, QPoint To) {
    Line(P, Accent, From.x(), From.y(), To.x(), To.y());
    const QPoint d = To - From;
    const QPoint side(d.y() == 0 ? 0 : 2, d.x() == 0 ? 0 : 2);
    const QPoint back(d.x() > 0 ? -2 : d.x() < 0 ? 2 : 0, d.y() > 0 ? -2 : d.y() < 0 ? 2 : 0);
    Line(P, Accent, To.x(), To.y(), To.x() + back.x() + side.x(), To.y() + back.y() + side.y());
    Line(P, Accent, To.x(), To.y(), To.x() + back.x() - side.x(), To.y() + back.y() - side.y());
}

void Printer(QPainter& P) {
    Page(P, 4, 1, 7, 5);
    P.fillRect(1, 6, 14, 6, QColor(128, 128, 128));
    Page(P, 4, 10, 7, 4);
}

void Scissors(QPainter& P) {
    Line(P, Ink, 4, 1, 10, 10);
    Line(P, Ink, 11, 1, 5, 10);
    P.setPen(QPen(Ink, 1));
    P.drawEllipse(2, 10, 4, 4);
    P.drawEllipse(9, 10, 4, 4);
}

void Lock(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    P.drawArc(4, 1, 7, 9, 0, 180 * 16);
    P.drawLine(4, 5, 4, 7);
    P.drawLine(11, 5, 11, 7);
    P.fillRect(3, 7, 10, 7, QColor(200, 160, 0));
    P.drawRect(3, 7, 9, 6);
}

void Eye(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    QPainterPath lid;
    lid.moveTo(1, 8);
    lid.quadTo(8, 1, 15, 8);
    lid.quadTo(8, 15, 1, 8);
    P.drawPath(lid);
    P.setBrush(Ink);
    P.drawEllipse(6, 6, 4, 4);
    P.setBrush(Qt::NoBrush);
    Line(P, QColor(200, 0, 0), 2, 14, 14, 2);
}

void Bucket(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    QPolygon body({QPoint(3, 6), QPoint(8, 1), QPoint(13, 6), QPoint(8, 11)});
    P.setBrush(Paper);
    P.drawPolygon(body);
    P.setBrush(Qt::NoBrush);
    Line(P, Ink, 13, 7, 13, 10);
}

// Two cells joined into one, with arrows pointing at each other.
void MergeImage(QPainter& P, bool Lines) {
    P.setPen(QPen(Ink, 1));
    if (Lines) {
        P.drawRect(1, 2, 13, 4);
        P.drawRect(1, 9, 13, 4);
        return;
    }
    P.drawRect(1, 3, 13, 9);
    Arrow(P, QPoint(3, 7), QPoint(6, 7));
    Arrow(P, QPoint(12, 7), QPoint(9, 7));
}

void SplitImage(QPainter& P) {
    P.setPen(QPen(Ink, 1));
    P.drawRect(1, 3, 13, 9);
    Line(P, Ink, 7, 3, 7, 12);
    Arrow(P, QPoint(6, 7), QPoint(3, 7));
    Arrow(P, QPoint(9, 7), QPoint(12, 7));
}

void PaintIcon(QPainter& P, TToolIcon Id) {
    switch (Id) {
        case tiImport: Page(P, 5, 1, 9, 13); Arrow(P, QPoint(1, 8), QPoint(9, 8)); break;
        case tiExport: Page(P, 1, 1, 9, 13); Arrow(P, QPoint(6, 8), QPoint(14, 8)); break;
        case tiPrint: Printer(P); break;
        case tiPreview:
            Page(P, 1, 1, 10, 13);
            P.setPen(QPen(Accent, 2));
            P.drawEllipse(6, 6, 5, 5);
            P.drawLine(11, 11, 14, 14);
            break;
        case tiClear: Page(P, 2, 2, 11, 11); Line(P, QColor(200, 0, 0), 4, 4, 11, 11); Line(P, QColor(200, 0, 0), 11, 4, 4, 11); break;
        case tiCut: Scissors(P); break;
        case tiCopy: Page(P, 1, 1, 8, 10); Page(P, 6, 4, 8, 10); break;
        case tiPaste:
            P.fillRect(2, 2, 10, 12, QColor(200, 160, 80));
            Page(P, 6, 5, 8, 9);
            break;
        case tiUndo: Arrow(P, QPoint(12, 6), QPoint(3, 6)); Line(P, Accent, 12, 6, 12, 12); break;
        case tiRedo: Arrow(P, QPoint(3, 6), QPoint(12, 6)); Line(P, Accent, 3, 6, 3, 12); break;
        case tiBaseStyle: Page(P, 1, 1, 13, 13); Letter(P, QStringLiteral("a"), false, false, false, Accent); break;
        case tiStyles: Page(P, 1, 1, 13, 13); Letter(P, QStringLiteral("S"), true, false, false, Accent); break;
        case tiHints:
            Page(P, 1, 1, 13, 10);
            P.setBrush(QColor(255, 255, 200));
            P.drawRect(1, 1, 13, 10);
            Line(P, Ink, 4, 11, 4, 14);
            Line(P, Ink, 4, 14, 7, 11);
            Line(P, Ink, 4, 4, 11, 4);
            Line(P, Ink, 4, 7, 9, 7);
            break;
        case tiRemoveBorders: CellBlock(P); break;
        case tiAllBorders: Outer(P); Inner(P); break;
        case tiFrameBorders: CellBlock(P); Outer(P); break;
        case tiInsideBorders: CellBlock(P); Inner(P); break;
        case tiLeftBorder: CellBlock(P); Line(P, Ink, Lo, Lo, Lo, Hi); break;
        case tiRightBorder: CellBlock(P); Line(P, Ink, Hi, Lo, Hi, Hi); break;
        case tiTopBorder: CellBlock(P); Line(P, Ink, Lo, Lo, Hi, Lo); break;
        case tiBottomBorder: CellBlock(P); Line(P, Ink, Lo, Hi, Hi, Hi); break;
        case tiDiagonalDown: CellBlock(P); Line(P, Ink, Lo, Lo, Hi, Hi); break;
        case tiDiagonalUp: CellBlock(P); Line(P, Ink, Lo, Hi, Hi, Lo); break;
        case tiBorderColor:
            Line(P, Ink, 3, 11, 11, 3);
            Line(P, Ink, 4, 12, 12, 4);
            Line(P, Ink, 11, 3, 12, 4);
            break;
        case tiBold: Letter(P, QStringLiteral("B"), true, false, false); break;
        case tiItalic: Letter(P, QStringLiteral("I"), false, true, false); break;
        case tiUnderline: Letter(P, QStringLiteral("U"), false, false, true); break;
        case tiAlignLeft: TextLines(P, Qt::AlignLeft); break;
        case tiAlignCenter: TextLines(P, Qt::AlignHCenter); break;
        case tiAlignRight: TextLines(P, Qt::AlignRight); break;
        case tiAlignTop: VerticalAlign(P, 3); break;
        case tiAlignMiddle: VerticalAlign(P, 6); break;
        case tiAlignBottom: VerticalAlign(P, 10); break;
        case tiMerge: MergeImage(P, false); break;
        case tiMergeLines: MergeImage(P, true); break;
        case tiSplit: SplitImage(P); break;
        case tiProtect: Lock(P); break;
        case tiHide: Eye(P); break;
        // The colour buttons draw their colour as a bar under the image.
        case tiTextColor: Letter(P, QStringLiteral("A"), true, false, false); break;
        case tiCellColor: Bucket(P); break;
        case ToolIconCount: break;
    }
}

}  // namespace

const char* ToolIconThemeName(TToolIcon Id) {
    switch (Id) {
        case tiImport: return "document-open";
        case tiExport: return "document-save-as";
        case tiPrint: return "document-print";
        case tiPreview: return "document-print-preview";
        case tiClear: return "edit-clear";
        case tiCut: return "edit-cut";
        case tiCopy: return "edit-copy";
        case tiPaste: return "edit-paste";
        case tiUndo: return "edit-undo";
        case tiRedo: return "edit-redo";
        case tiBold: return "format-text-bold";
        case tiItalic: return "format-text-italic";
        case tiUnderline: return "format-text-underline";
        case tiAlignLeft: return "format-justify-left";
        case tiAlignCenter: return "format-justify-center";
        case tiAlignRight: return "format-justify-right";
        default: return nullptr;
    }
}

QPixmap PaintedToolIcon(TToolIcon Id) {
    QPixmap image(IconSize, IconSize);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintIcon(p, Id);
    return image;
}

QIcon ToolIcon(TToolIcon Id) {
    const QIcon painted(PaintedToolIcon(Id));
    const char* name = ToolIconThemeName(Id);
    return name ? QIcon::fromTheme(QLatin1String(name), painted) : painted;
}

}  // namespace qv
