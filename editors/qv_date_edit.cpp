#include "editors/qv_date_edit.h"

#include "editors/day_time.h"
#include "grids/cell.h"

namespace qv {

TQvDateEdit::TQvDateEdit(QWidget* Parent) : QDateEdit(Parent) {
    setCalendarPopup(false);
    setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    setDate(DayZero());
}

void TQvDateEdit::LoadCell(TQvCell* Cell, TColor) {
    setDate(DayZero());
    FTimeOfDay = 0;
    const double v = Cell->GetValue().AsFloat();  // may raise: the grid catches it
    const QDate d = DayOf(v);
    if (!d.isValid()) return;  // outside the calendar: stays at day 0
    setDate(d);
    FTimeOfDay = DayFraction(v);
}

void TQvDateEdit::StoreCell(TQvCell* Cell) { Cell->SetValue(TVariant(ComposeDateTime(DaysOf(date()), FTimeOfDay))); }

}  // namespace qv
