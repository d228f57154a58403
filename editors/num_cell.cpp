#include "editors/num_cell.h"

#include "cells/integer_cell.h"
#include "qt/qt_convert.h"
#include "editors/num_edit.h"
#include "grids/cell.h"
#include "platform/exceptions.h"

namespace qv {

void LoadNumCell(TNumEdit& Edit, TQvCell* Cell, TColor ErrorColor) {
    Edit.SetValidColor(FromQColor(Edit.palette().color(QPalette::Text)));
    Edit.SetInvalidColor(ErrorColor);
    std::string format = Cell->Format();
    // A cell without a format shows its value in the general format. The
    // edit control would take that as "0", an integer format that rounds
    // the value, so that merely entering and leaving a cell of 2.5 would
    // store 2; fractional cells get a format that keeps their digits.
    if (format.empty() && !dynamic_cast<TQvCInteger*>(Cell)) format = "0.###############";
    Edit.SetFormat(format);
    double v = 0;
    bool blank = false;
    try {
        const TVariant value = Cell->GetValue();
        blank = value.IsEmpty();
        v = value.AsFloat();
    } catch (const EConvertError&) {
        v = 0;  // text that reads as no number
    } catch (const EVariantError&) {
        v = 0;  // a value of no numeric kind
    }
    if (blank) Edit.LoadBlank();
    else Edit.LoadValue(v);
    Edit.end(false);
    // A loaded value is valid: leaving the cell without typing must not
    // mark it as an error, whatever the previous cell left behind.
    Edit.AcceptValue();
}

void StoreNumCell(const TNumEdit& Edit, TQvCell* Cell) {
    if (Edit.text().trimmed().isEmpty()) Cell->SetValue(TVariant());
    else Cell->SetValue(TVariant(Edit.Value()));
}

}  // namespace qv
