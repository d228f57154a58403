// TQvTimeEdit: the in-place editor of time cells, an up-down time field to
// the second.
//
// Only the time of day is edited: the day the cell held is kept and written
// back with the new time. A time left as loaded is written back with the
// cell's own fraction, not one rounded to the field's precision.
#pragma once

#include <QTimeEdit>

#include "view/editor_interfaces.h"

namespace qv {

class TQvTimeEdit : public QTimeEdit, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvTimeEdit(QWidget* Parent = nullptr);

    // The cell's value read as a number. A value that cannot be read raises
    // its conversion error, after the editor was reset to midnight; the grid
    // catches the error.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // The kept day plus the fraction of the day, as a floating-point value.
    void StoreCell(TQvCell* Cell) override;

private:
    double FDay = 0;
    double FLoadedFraction = 0;
    QTime FLoadedTime{0, 0};
};

}  // namespace qv
