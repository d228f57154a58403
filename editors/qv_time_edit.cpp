#include "editors/qv_time_edit.h"

#include "editors/day_time.h"
#include "editors/qv_date_edit.h"

namespace qv {

TQvTimeEdit::TQvTimeEdit(QWidget* Parent) : TDateTimeField(fkTime, Parent) {}

QTime TQvTimeEdit::time() const {
    TDateTime v;
    return ReadValue(v) ? TimeOf(v) : QTime();
}

void TQvTimeEdit::setTime(const QTime& T) {
    TDateTime v = 0;
    ShowValue(ComposeDateTime(ReadValue(v) ? WholeDays(v) : FDay, FractionOf(T)));
}

void TQvTimeEdit::LoadCell(TQvCell* Cell, TColor ErrorColor) {
    FDay = 0;
    LoadDateTimeField(*this, Cell, ErrorColor, FLoadedText);
    TDateTime v;
    if (ReadValue(v)) FDay = WholeDays(v);
}

void TQvTimeEdit::StoreCell(TQvCell* Cell) { StoreDateTimeField(*this, Cell, FLoadedText); }

}  // namespace qv
