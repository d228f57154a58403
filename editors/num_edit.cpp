#include "editors/num_edit.h"

#include <QKeyEvent>
#include <cmath>

#include "editors/num_chars.h"
#include "platform/conversions.h"
#include "platform/exceptions.h"
#include "platform/format_float.h"
#include "qt/qt_convert.h"

namespace qv {

TNumEdit::TNumEdit(QWidget* Parent) : TAlignEdit(Parent) {
    setAutoFillBackground(false);
    // Qt's line edit hides the selection when unfocused on its own; the
    // control has no caption to copy.
    SetFormat("0");
}

void TNumEdit::SetValue(double V) {
    FValue = V;
    if (RangeActive()) {
        if (FValue > FMaxValue)
            FValue = FMaxValue;
        else if (FValue < FMinValue)
            FValue = FMinValue;
    }
    // The default rounding mode rounds halves to the even neighbour.
    if (FIntegerMode) FValue = std::nearbyint(FValue);
    UpdateText();
}

void TNumEdit::SetMinValue(double V) {
    FMinValue = V;
    Change();
}

void TNumEdit::SetMaxValue(double V) {
    FMaxValue = V;
    Change();
}

void TNumEdit::SetFormat(const std::string& NewFormat) {
    std::string f = FilterChars(NewFormat, ValidChars(false, true, true));
    if (f.empty()) f = "0";
    if (f == FFormat) return;
    // The format's decimal point is ".", whatever the locale shows.
    FIntegerMode = f.find('.') == std::string::npos;
    FFormat = f;
    UpdateText();
}

void TNumEdit::SetValidColor(TColor C) {
    FValidColor = C;
    ApplyColor();
}

void TNumEdit::SetInvalidColor(TColor C) {
    FInvalidColor = C;
    ApplyColor();
}

void TNumEdit::UpdateText() {
    struct Guard {
        bool& Flag;
        explicit Guard(bool& F) : Flag(F) { Flag = true; }
        ~Guard() { Flag = false; }
    } g(FUpdating);
    setText(QString::fromStdString(FormatFloat(FFormat, FValue)));
}

void TNumEdit::LoadBlank() {
    FValue = 0;
    FUpdating = true;  // clear() raises nothing
    clear();
    FUpdating = false;
}

void TNumEdit::Change() {
    if (!FUpdating) SetValid(Validate());
    TAlignEdit::Change();
}

void TNumEdit::SetValid(bool V) {
    FValid = V;
    ApplyColor();
}

void TNumEdit::ApplyColor() {
    QPalette p = palette();
    p.setColor(QPalette::Text, ToQColor(FValid ? FValidColor : FInvalidColor));
    setPalette(p);
}

bool TNumEdit::Validate() {
    // Only the characters a number is written with, plus the thousands
    // separator that formatted text holds, are acceptable. Anything else
    // makes the text invalid rather than being dropped: pasted "1a2" is not
    // 12, and "1.5" in integer mode is not 15.
    const std::string text = this->text().toStdString();
    const char thousands = FormatSettings().ThousandSeparator;
    const std::string acceptable = ValidChars(FIntegerMode, true, false);
    std::string s;
    for (char c : text) {
        if (c == thousands) continue;
        if (acceptable.find(c) == std::string::npos) return false;
        s += c;
    }
    try {
        if (s.empty())
            FValue = 0;
        else if (FIntegerMode)
            FValue = StrToInt(s);
        else
            FValue = StrToFloat(s);
    } catch (const EConvertError&) {
        return false;  // out of range for its kind
    }
    return IsInRange();
}

bool TNumEdit::IsInRange() const { return !RangeActive() || (FMinValue <= FValue && FValue <= FMaxValue); }

bool TNumEdit::IsValidChar(char32_t Key) const {
    const char dec = FormatSettings().DecimalSeparator;
    bool noDecimal = FIntegerMode;
    if (!noDecimal) {
        // At most one decimal separator: once the text outside the selection
        // (which typing replaces) holds one, neither another separator nor an
        // exponent letter may be typed.
        QString rest = text();
        if (hasSelectedText()) rest.remove(selectionStart(), selectedText().size());
        noDecimal = rest.contains(QChar(dec));
    }
    const bool allowMinus = !RangeActive() || FMinValue < 0;
    const std::string allowed = ValidChars(noDecimal, allowMinus, false) + '\b';
    return Key < 128 && Key != '\r' && allowed.find(static_cast<char>(Key)) != std::string::npos;
}

namespace {

// Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z: the keys that type the clipboard and
// undo control characters. Their key-down forms (Ctrl+Insert, Shift+Insert,
// Shift+Delete) are no characters and work as in any line edit.
bool IsControlCharacterKey(const QKeyEvent* Event) {
    const Qt::KeyboardModifiers m = Event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (m != Qt::ControlModifier) return false;
    const int k = Event->key();
    return k == Qt::Key_C || k == Qt::Key_V || k == Qt::Key_X || k == Qt::Key_Z;
}

}  // namespace

void TNumEdit::keyPressEvent(QKeyEvent* Event) {
    // The clipboard and undo characters and Enter are swallowed: typed, the
    // control's text changes only through characters it accepts. Pasted
    // text that is no number is shown as invalid.
    if (IsControlCharacterKey(Event) || Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        Event->accept();
        return;
    }
    const QString t = Event->text();
    if (t.size() == 1 && Event->key() != Qt::Key_Delete) {
        const char32_t ch = t.at(0).unicode();
        if (ch == 27) {  // Escape belongs to whoever hosts the control
            Event->ignore();
            return;
        }
        if (!IsValidChar(ch)) {
            Event->accept();
            return;
        }
    }
    TAlignEdit::keyPressEvent(Event);
}

}  // namespace qv
