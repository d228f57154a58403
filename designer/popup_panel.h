// TPopupPanel: a frameless pop-up that holds other controls (a colour box,
// for one) just below the control that opened it. It closes on a click
// outside, on Escape and whenever it loses the focus, and then raises
// OnClose.
#pragma once

#include <QFrame>
#include <QPointer>

#include "platform/events.h"
#include "platform/object.h"

namespace qv {

// How Popup lines the panel up with its control.
enum TPopupAlignment { paLeft = 0, paRight = 1, paCenter = 2 };

class TPopupPanel : public QFrame, public TObject {
    Q_OBJECT
public:
    // Hidden until Popup.
    explicit TPopupPanel(QWidget* Parent = nullptr);

    // Shows the panel right below Control: with paLeft its left edge on
    // Control's left edge, with paRight (what the designer uses) its right
    // edge on Control's right edge, with paCenter centred under it (any
    // other value counts as paRight). The panel keeps its size, is moved
    // back onto the screen where it would leave it, and takes the focus.
    void Popup(QWidget* Control, int Alignment = paRight);
    // Hides the panel and raises OnClose; nothing when it is hidden.
    void Close();

    // The control the panel was last popped up under.
    QWidget* PopupControl() const { return FPopupControl; }
    bool IsPoppedUp() const { return isVisible(); }

    TNotifyEvent OnClose;

signals:
    void Closed();

protected:
    void hideEvent(QHideEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    QPointer<QWidget> FPopupControl;
    bool FOpen = false;
};

}  // namespace qv
