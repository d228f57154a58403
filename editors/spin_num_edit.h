// TSpinNumEdit: a numeric edit with a pair of arrows at its right edge that
// step Value up and down by Increment, and keyboard stepping with Shift+Up
// and Shift+Down. Plain Up and Down are left to the host (a grid moves
// between cells with them).
#pragma once

#include "editors/num_edit.h"
#include "platform/scroll_code.h"

class QScrollBar;

namespace qv {

class TSpinNumEdit : public TNumEdit {
    Q_OBJECT
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)

public:
    explicit TSpinNumEdit(QWidget* Parent = nullptr);

    double Increment() const { return FIncrement; }
    void SetIncrement(double V) { FIncrement = V; }
    // Every assignment, even of the current format, resets Increment to
    // the format's smallest decimal step: 1, or 0.1 per "0" after the
    // decimal separator ("#" places do not count).
    void SetFormat(const std::string& NewFormat) override;

    // Steps Value by Increment through the Value write (clamping, rounding
    // and the text apply) for scLineUp and scLineDown; other codes are
    // ignored.
    void VScroll(int Code);

    QScrollBar* Arrows() const { return FArrows; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    int ExtraRightMargin() const override;

private:
    void PlaceArrows();

    QScrollBar* FArrows = nullptr;
    double FIncrement = 1;  // the step of the initial format "0"
};

}  // namespace qv
