#include "editors/qv_time_edit.h"

#include <cmath>

#include "editors/day_time.h"
#include "grids/cell.h"

namespace qv {

TQvTimeEdit::TQvTimeEdit(QWidget* Parent) : QTimeEdit(Parent) {
    setDisplayFormat(QStringLiteral("HH:mm:ss"));
    setTime(QTime(0, 0));
}

void TQvTimeEdit::LoadCell(TQvCell* Cell, TColor) {
    setTime(QTime(0, 0));
    FDay = 0;
    FLoadedFraction = 0;
    FLoadedTime = QTime(0, 0);
    const double v = Cell->GetValue().AsFloat();  // may raise: the grid catches it
    if (!std::isfinite(v)) return;
    FDay = WholeDays(v);
    FLoadedFraction = DayFraction(v);
    FLoadedTime = TimeOf(v);
    setTime(FLoadedTime);
}

void TQvTimeEdit::StoreCell(TQvCell* Cell) {
    const double fraction = time() == FLoadedTime ? FLoadedFraction : FractionOf(time());
    Cell->SetValue(TVariant(ComposeDateTime(FDay, fraction)));
}

}  // namespace qv
