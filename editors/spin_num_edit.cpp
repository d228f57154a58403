#include "editors/spin_num_edit.h"

#include <QKeyEvent>
#include <QScrollBar>

#include "platform/exceptions.h"
#include "platform/format_settings.h"

namespace qv {

namespace {
constexpr int ArrowsWidth = 13;
}

TSpinNumEdit::TSpinNumEdit(QWidget* Parent) : TNumEdit(Parent) {
    // A scroll bar whose thumb never moves away from the middle: only its
    // two arrows act. (A bar without a range ignores the mouse.)
    FArrows = new QScrollBar(Qt::Vertical, this);
    FArrows->setRange(0, 2);
    FArrows->setValue(1);
    FArrows->setFocusPolicy(Qt::NoFocus);
    FArrows->setCursor(Qt::ArrowCursor);
    connect(FArrows, &QAbstractSlider::actionTriggered, this, [this](int Action) {
        FArrows->setSliderPosition(1);
        if (Action == QAbstractSlider::SliderSingleStepSub)
            VScroll(scLineUp);
        else if (Action == QAbstractSlider::SliderSingleStepAdd)
            VScroll(scLineDown);
    });
    SetMargins(0, 0);
    PlaceArrows();
}

void TSpinNumEdit::SetFormat(const std::string& NewFormat) {
    TNumEdit::SetFormat(NewFormat);
    FIncrement = 1;
    if (IntegerMode()) return;
    const std::string& f = Format();
    const size_t dot = f.find('.');  // the format language's decimal point
    for (size_t i = dot + 1; i < f.size(); ++i)
        if (f[i] == '0') FIncrement /= 10;
}

void TSpinNumEdit::VScroll(int Code) {
    try {
        if (Code == scLineUp)
            SetValue(Value() + FIncrement);
        else if (Code == scLineDown)
            SetValue(Value() - FIncrement);
    } catch (const Exception&) {
        // No error of the library leaves an event handler; the value stays
        // as it was. A programming error is not caught here.
    }
}

void TSpinNumEdit::keyPressEvent(QKeyEvent* Event) {
    if (Event->modifiers() & Qt::ShiftModifier) {
        const int code = Event->key() == Qt::Key_Up ? scLineUp : Event->key() == Qt::Key_Down ? scLineDown : -1;
        if (code >= 0) {
            // Posted, as a click on an arrow would arrive.
            QMetaObject::invokeMethod(this, [this, code] { VScroll(code); }, Qt::QueuedConnection);
            Event->accept();
            return;
        }
    }
    if (Event->modifiers() == Qt::NoModifier && (Event->key() == Qt::Key_Up || Event->key() == Qt::Key_Down)) {
        Event->ignore();
        return;
    }
    TNumEdit::keyPressEvent(Event);
}

void TSpinNumEdit::resizeEvent(QResizeEvent* Event) {
    TNumEdit::resizeEvent(Event);
    PlaceArrows();
}

int TSpinNumEdit::ExtraRightMargin() const { return ArrowsWidth; }

void TSpinNumEdit::PlaceArrows() { FArrows->setGeometry(width() - ArrowsWidth, 0, ArrowsWidth, height()); }

}  // namespace qv
