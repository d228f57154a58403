#include "designer/border_preview.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

#include "qt/qt_convert.h"

namespace qv {

TBorderPreview::TBorderPreview(const TBorderLines& Lines, QWidget* Parent) : QWidget(Parent), FLines(Lines) {
    setFixedSize(130, 91);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBorderPreview::SetInnerEnabled(bool Horizontal, bool Vertical) {
    if (Horizontal == FHInner && Vertical == FVInner) return;
    FHInner = Horizontal;
    FVInner = Vertical;
    update();
}

int TBorderPreview::LineAt(QPoint P) const {
    const int w = width();
    const int h = height();
    if (P.x() < 10) return liLeft;
    if (P.x() > w - 10) return liRight;
    if (P.y() < 10) return liTop;
    if (P.y() > h - 10) return liBottom;
    if (std::abs(P.x() - w / 2) < 5 && FVInner) return liVInternal;
    if (std::abs(P.y() - h / 2) < 5 && FHInner) return liHInternal;
    return -1;
}

void TBorderPreview::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);

    // Dotted guides where the cell edges are: two rectangles reaching past
    // the box, so only their inner sides show.
    QPen guide(QColor(128, 128, 128), 1, Qt::DotLine);
    p.setPen(guide);
    p.drawRect(QRect(QPoint(5, -1), QPoint(w - 5, h)));
    p.drawRect(QRect(QPoint(-1, 5), QPoint(w, h - 5)));

    auto segment = [&](int Index, QPoint From, QPoint To) {
        const TQvLineInfo& line = FLines[Index];
        if (line.Style == lsNone) return;
        QPen pen(ToQColor(line.Color), line.Style, Qt::SolidLine, Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(From, To);
    };
    // The frame, walked clockwise from the top-left corner.
    const QPoint tl(5, 5), tr(w - 5, 5), br(w - 5, h - 5), bl(5, h - 5);
    segment(liTop, tl, tr);
    segment(liRight, tr, br);
    segment(liBottom, br, bl);
    segment(liLeft, bl, tl);
    if (FHInner) segment(liHInternal, QPoint(5, h / 2), QPoint(w - 5, h / 2));
    if (FVInner) segment(liVInternal, QPoint(w / 2, 5), QPoint(w / 2, h - 5));
    segment(liBias1, tl, br);
    segment(liBias2, bl, tr);
}

void TBorderPreview::Click(QMouseEvent* E, bool Double) {
    if (E->button() != Qt::LeftButton) return;
    const int index = LineAt(E->position().toPoint());
    if (index >= 0 && OnLineClick) OnLineClick(index, Double);
}

void TBorderPreview::mousePressEvent(QMouseEvent* E) { Click(E, false); }

void TBorderPreview::mouseDoubleClickEvent(QMouseEvent* E) { Click(E, true); }

}  // namespace qv
