// TColorPanel: a sunken panel showing one colour, with a small drop-down
// button at its right edge. Clicking either part raises OnDropDown; the
// owner decides what picks the colour (the designers pop up a colour box
// under the button).
#pragma once

#include <QFrame>
#include <functional>

#include "platform/color.h"

class QToolButton;

namespace qv {

class TColorPanel : public QFrame {
    Q_OBJECT
public:
    // ButtonName becomes the drop-down button's object name.
    TColorPanel(TColor Color, const QString& ButtonName, QWidget* Parent = nullptr);

    TColor Color() const { return FColor; }
    // Repaints; a colour equal to the current one does nothing.
    void SetColor(TColor C);
    QToolButton* Button() const { return FButton; }

    // The panel or its button was clicked.
    std::function<void()> OnDropDown;

protected:
    void paintEvent(QPaintEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;

private:
    TColor FColor;
    QToolButton* FButton;
};

}  // namespace qv
