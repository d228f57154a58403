// TQvTimeEdit: the in-place editor of time cells, an up-down time field to
// the second (the arrows step a minute).
//
// A time typed alone keeps the day the cell held; a date and time typed
// together is taken whole. As for TQvDateEdit, unchanged text keeps the
// cell's exact value, an empty text clears it and unreadable text is
// refused.
#pragma once

#include <QTime>
#include <string>

#include "editors/date_time_field.h"

namespace qv {

class TQvTimeEdit : public TDateTimeField, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvTimeEdit(QWidget* Parent = nullptr);

    // The time of day shown, or an invalid time when the text holds none.
    QTime time() const;
    // Shows time T on the day loaded.
    void setTime(const QTime& T);

    // As TQvDateEdit::LoadCell and StoreCell.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    void StoreCell(TQvCell* Cell) override;

private:
    std::string FLoadedText;
    TDateTime FDay = 0;
};

}  // namespace qv
