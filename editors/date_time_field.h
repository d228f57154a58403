// TDateTimeField: the up-down field of the date and time editors. What is
// typed is free text, read when the cell is left by TryReadDateTimeEntry
// (a complete date, a time, or both); the arrows step the day (a date
// field) or the minute (a time field) of the value shown.
//
// The field shows its value in the cell's own format when that text reads
// back as the same value, else in the settings' short date and time forms,
// so that the text shown is always text the field accepts. A time typed
// alone keeps the day of the value that was loaded. Text that is neither
// empty nor readable is painted in the invalid colour and makes the field
// invalid; an empty text stands for "no value".
#pragma once

#include <QAbstractSpinBox>
#include <string>

#include "platform/color.h"
#include "platform/date_time.h"
#include "view/editor_interfaces.h"

namespace qv {

class TDateTimeField : public QAbstractSpinBox, public IQvValidator {
    Q_OBJECT
public:
    enum TKind : uint8_t { fkDate, fkTime };
    TDateTimeField(TKind Kind, QWidget* Parent);

    // Empty, or a value TryReadDateTimeEntry reads.
    bool IsValid() const override { return FValid; }
    // The text shown or typed.
    std::string Text() const;
    // Nothing but blanks typed.
    bool IsBlank() const;
    // The value the text stands for; false for an empty or unreadable text.
    bool ReadValue(TDateTime& V) const;
    // Shows V in Format when that text reads back as V, else in the short
    // forms; a value outside the calendar shows nothing.
    void ShowValue(TDateTime V, const std::string& Format = {});
    // Shows nothing; a time typed next keeps the day of Base.
    void ShowBlank(TDateTime Base = 0);
    void SetColors(TColor Valid, TColor Invalid);

    // Placed by the grid: at least as wide as the text needs, also when the
    // text grows later.
    Q_INVOKABLE void SetBounds(QRect R);
    QSize sizeHint() const override;

protected:
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
    void fixup(QString&) const override {}
    // Reports an exception a handler raises through the grid; none leaves
    // the event loop.
    bool event(QEvent* E) override;
    StepEnabled stepEnabled() const override;
    void stepBy(int Steps) override;

private:
    void TextChanged();

    TKind FKind;
    TDateTime FBase = 0;    // supplies the day of a time typed alone
    std::string FFormat;    // the cell's format, tried first when shown
    bool FValid = true;
    TColor FValidColor = clWindowText;
    TColor FInvalidColor = clRed;
    QRect FBounds;  // the rectangle the grid gave
};

}  // namespace qv
