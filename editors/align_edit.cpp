#include "editors/align_edit.h"

#include <QEvent>
#include <QKeyEvent>
#include <algorithm>
#include <exception>
#include <limits>

#include "view/grid.h"

namespace qv {

namespace {

Qt::Alignment ToQtAlignment(TAlignment A) {
    switch (A) {
        case taRightJustify: return Qt::AlignRight;
        case taCenter: return Qt::AlignHCenter;
        default: return Qt::AlignLeft;
    }
}

// Qt's line edit keeps this much room of its own around its text.
constexpr int LineEditHMargin = 2;
constexpr int LineEditVMargin = 1;

}  // namespace

TAlignEdit::TAlignEdit(QWidget* Parent) : QLineEdit(Parent) {
    // No length limit: Qt's default of 32,767 characters would cut a loaded
    // value, which must come back as it went in.
    setMaxLength(std::numeric_limits<int>::max());
    setAlignment(ToQtAlignment(FAlignment) | FVertical);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TAlignEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    setAlignment(ToQtAlignment(Value) | FVertical);
}

void TAlignEdit::SetCellMargins(int H, int VAlign) {
    FVertical = VAlign == 0 ? Qt::AlignTop : VAlign == 1 ? Qt::AlignBottom : Qt::AlignVCenter;
    setAlignment(ToQtAlignment(FAlignment) | FVertical);
    // Negative margins take back the room Qt keeps around the text; the
    // line edit still clips its drawing to itself.
    const int h = H - LineEditHMargin;
    const int v = -LineEditVMargin;
    setTextMargins(h, v, h + ExtraRightMargin(), v);
}

void TAlignEdit::SetMargins(int H, int V) {
    H = std::max(H, 0);
    V = std::max(V, 0);
    setTextMargins(H, V, H + ExtraRightMargin(), V);
}

void TAlignEdit::keyPressEvent(QKeyEvent* Event) {
    const QString t = Event->text();
    if (OnKeyPress && t.size() == 1) {
        char32_t key = t.at(0).unicode();
        OnKeyPress(nullptr, key);
        if (key == 0) {
            Event->accept();
            return;
        }
        if (key != t.at(0).unicode()) {
            QKeyEvent replaced(Event->type(), Event->key(), Event->modifiers(), QString::fromUcs4(&key, 1),
                               Event->isAutoRepeat(), Event->count());
            QLineEdit::keyPressEvent(&replaced);
            Event->setAccepted(replaced.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

void TAlignEdit::Change() {
    // The control is not a TObject; handlers that need it capture it.
    if (OnChange) OnChange(nullptr);
    emit Changed();
}

bool TAlignEdit::event(QEvent* Event) {
    try {
        return QLineEdit::event(Event);
    } catch (const std::exception& e) {
        ReportEventFailure(this, e);
        Event->accept();
        return true;
    }
}

}  // namespace qv
