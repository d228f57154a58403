// TQvDateEdit: the in-place editor of date cells, an up-down date field.
//
// It shows the cell's date, with its time of day when it has one, and
// takes a complete date typed in the short form, as yyyy-mm-dd or with the
// month's name, optionally followed by a time; a time typed alone keeps the
// day. Leaving it unchanged keeps the cell's exact value; emptying it
// clears the value; any other text is refused and the value kept.
#pragma once

#include <QDate>
#include <string>

#include "editors/date_time_field.h"

namespace qv {

class TQvDateEdit : public TDateTimeField, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvDateEdit(QWidget* Parent = nullptr);

    // The day shown, or an invalid date when the text holds none.
    QDate date() const;
    // Shows day D with the time of day shown now.
    void setDate(const QDate& D);

    // The cell's value read as a number. A value that cannot be read raises
    // its conversion error, after the editor was emptied so that it never
    // shows the previous cell's date; the grid catches the error.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // The value typed, as a floating-point value; nothing when the text is
    // as loaded; an empty value for an empty text. Unreadable text raises
    // EConvertError naming it, and the cell keeps its value.
    void StoreCell(TQvCell* Cell) override;

private:
    std::string FLoadedText;
};

// The shared part of the two editors' LoadCell and StoreCell.
void LoadDateTimeField(TDateTimeField& Field, TQvCell* Cell, TColor ErrorColor, std::string& LoadedText);
void StoreDateTimeField(const TDateTimeField& Field, TQvCell* Cell, const std::string& LoadedText);

}  // namespace qv
