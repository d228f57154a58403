#include "editors/qv_date_edit.h"

#include "editors/day_time.h"
#include "grids/cell.h"
#include "platform/exceptions.h"
#include "qt/qt_convert.h"

namespace qv {

void LoadDateTimeField(TDateTimeField& Field, TQvCell* Cell, TColor ErrorColor, std::string& LoadedText) {
    Field.ShowBlank();
    LoadedText.clear();
    Field.SetColors(FromQColor(Field.palette().color(QPalette::Text)), ErrorColor);
    const TVariant value = Cell->GetValue();
    if (value.IsEmpty()) return;  // a cell without a value shows nothing
    const double v = value.AsFloat();  // may raise: the grid catches it
    Field.ShowValue(v, Cell->Format());
    LoadedText = Field.Text();
}

void StoreDateTimeField(const TDateTimeField& Field, TQvCell* Cell, const std::string& LoadedText) {
    const std::string text = Field.Text();
    // Untouched text stands for the loaded value, which may hold more than
    // the text shows (a fraction of a millisecond).
    if (text == LoadedText) return;
    if (Field.IsBlank()) {
        Cell->SetValue(TVariant());
        return;
    }
    TDateTime v;
    if (!Field.ReadValue(v)) throw EConvertError("\"" + text + "\" is not a valid date or time");
    Cell->SetValue(TVariant(v));
}

TQvDateEdit::TQvDateEdit(QWidget* Parent) : TDateTimeField(fkDate, Parent) {}

QDate TQvDateEdit::date() const {
    TDateTime v;
    return ReadValue(v) ? DayOf(v) : QDate();
}

void TQvDateEdit::setDate(const QDate& D) {
    TDateTime v = 0;
    const double fraction = ReadValue(v) ? DayFraction(v) : 0;
    ShowValue(ComposeDateTime(DaysOf(D), fraction));
}

void TQvDateEdit::LoadCell(TQvCell* Cell, TColor ErrorColor) { LoadDateTimeField(*this, Cell, ErrorColor, FLoadedText); }

void TQvDateEdit::StoreCell(TQvCell* Cell) { StoreDateTimeField(*this, Cell, FLoadedText); }

}  // namespace qv
