#include "editors/align_edit.h"

#include <QKeyEvent>
#include <algorithm>

namespace qv {

namespace {

Qt::Alignment ToQtAlignment(TAlignment A) {
    switch (A) {
        case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
        case taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

TAlignEdit::TAlignEdit(QWidget* Parent) : QLineEdit(Parent) {
    setAlignment(ToQtAlignment(FAlignment));
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TAlignEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    setAlignment(ToQtAlignment(Value));
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

}  // namespace qv
