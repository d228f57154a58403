#include "designer/color_tool_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>

#include "qt/qt_convert.h"

namespace qv {

TColorToolButton::TColorToolButton(QWidget* Parent) : QToolButton(Parent) {
    // The arrow part is drawn by the style; pressing it is handled here, so
    // no menu is ever attached.
    setPopupMode(QToolButton::MenuButtonPopup);
    setAutoRaise(true);
    connect(this, &QToolButton::clicked, this, [this] {
        if (OnClick) OnClick(this);
    });
}

void TColorToolButton::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    update();
}

QRect TColorToolButton::ColorBarRect() const { return QRect(QPoint(3, height() - 5), QPoint(18, height() - 3)); }

QRect TColorToolButton::ArrowRect() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void TColorToolButton::paintEvent(QPaintEvent* Event) {
    QToolButton::paintEvent(Event);
    if (FColor == clNone) return;
    QPainter p(this);
    p.fillRect(ColorBarRect(), ToQColor(FColor));
}

void TColorToolButton::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && isEnabled() && ArrowRect().contains(Event->position().toPoint())) {
        Event->accept();
        if (OnDropDown) OnDropDown(this);
        emit DropDown();
        return;
    }
    QToolButton::mousePressEvent(Event);
}

}  // namespace qv
