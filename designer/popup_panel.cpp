#include "designer/popup_panel.h"

#include <QFocusEvent>
#include <QApplication>
#include <QScreen>

namespace qv {

TPopupPanel::TPopupPanel(QWidget* Parent) : QFrame(Parent, Qt::Popup) {
    setObjectName(QStringLiteral("PopupPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

void TPopupPanel::Popup(QWidget* Control, int Alignment) {
    if (!Control) return;
    const QPoint bottomRight = Control->mapToGlobal(QPoint(Control->width(), Control->height()));
    int left;
    switch (Alignment) {
        case paLeft: left = bottomRight.x() - Control->width(); break;
        case paCenter: left = bottomRight.x() - (Control->width() + width()) / 2; break;
        default: left = bottomRight.x() - width(); break;
    }
    QPoint pos(left, bottomRight.y());
    // Keep the whole panel on the screen of its control: above the control
    // when there is no room below, shifted sideways at the screen's edges.
    if (QScreen* screen = Control->screen()) {
        const QRect area = screen->availableGeometry();
        if (pos.y() + height() > area.bottom() + 1 && bottomRight.y() - Control->height() - height() >= area.top())
            pos.setY(bottomRight.y() - Control->height() - height());
        if (pos.x() + width() > area.right() + 1) pos.setX(area.right() + 1 - width());
        if (pos.x() < area.left()) pos.setX(area.left());
    }
    FPopupControl = Control;
    setGeometry(QRect(pos, size()));
    FOpen = true;
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

void TPopupPanel::Close() {
    if (isVisible())
        hide();  // hideEvent raises OnClose
    else if (FOpen) {
        FOpen = false;
        if (OnClose) OnClose(this);
        emit Closed();
    }
}

void TPopupPanel::hideEvent(QHideEvent* Event) {
    QFrame::hideEvent(Event);
    if (!FOpen) return;
    FOpen = false;
    if (OnClose) OnClose(this);
    emit Closed();
}

void TPopupPanel::focusOutEvent(QFocusEvent* Event) {
    QFrame::focusOutEvent(Event);
    // Focus that moves to a control inside the panel keeps it open.
    QWidget* now = QApplication::focusWidget();
    if (isVisible() && Event->reason() != Qt::PopupFocusReason && (!now || !isAncestorOf(now))) Close();
}

}  // namespace qv
