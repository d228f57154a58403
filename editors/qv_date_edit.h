// TQvDateEdit: the in-place editor of date cells, an up-down date field.
//
// Only the day is edited: the time of day the cell held is kept and written
// back with the new day, so that a date-and-time value does not lose its
// time by passing through the editor.
#pragma once

#include <QDateEdit>

#include "view/editor_interfaces.h"

namespace qv {

class TQvDateEdit : public QDateEdit, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvDateEdit(QWidget* Parent = nullptr);

    // The cell's value read as a number. A value that cannot be read raises
    // its conversion error, after the editor was reset to day 0 (30 December
    // 1899) so that it never shows the previous cell's date; the grid
    // catches the error.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // Days since day 0 plus the kept time of day, as a floating-point value.
    void StoreCell(TQvCell* Cell) override;

private:
    double FTimeOfDay = 0;
};

}  // namespace qv
