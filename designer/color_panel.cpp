#include "designer/color_panel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include "qt/qt_convert.h"

namespace qv {

namespace {
constexpr int ButtonWidth = 14;
}

TColorPanel::TColorPanel(TColor Color, const QString& ButtonName, QWidget* Parent)
    : QFrame(Parent), FColor(Color), FButton(new QToolButton(this)) {
    // Outlined on every side (a plain sunken panel loses its right edge on
    // light pages).
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFixedSize(48, 21);
    // A down arrow stands for the symbol font's glyph of the platform the
    // dialog was first drawn on.
    FButton->setObjectName(ButtonName);
    FButton->setArrowType(Qt::DownArrow);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setGeometry(width() - ButtonWidth - 2, 2, ButtonWidth, height() - 4);
    connect(FButton, &QToolButton::clicked, this, [this] {
        if (OnDropDown) OnDropDown();
    });
}

void TColorPanel::SetColor(TColor C) {
    if (C == FColor) return;
    FColor = C;
    update();
}

void TColorPanel::paintEvent(QPaintEvent* E) {
    QFrame::paintEvent(E);
    QPainter p(this);
    const QRect inner = contentsRect().adjusted(2, 2, -ButtonWidth - 4, -2);
    p.fillRect(inner, FColor == clNone ? QColor(Qt::white) : ToQColor(FColor));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(inner.adjusted(0, 0, -1, -1));
}

void TColorPanel::mousePressEvent(QMouseEvent* E) {
    if (E->button() == Qt::LeftButton && OnDropDown) OnDropDown();
    QFrame::mousePressEvent(E);
}

}  // namespace qv
