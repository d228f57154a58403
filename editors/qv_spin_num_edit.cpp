#include "editors/qv_spin_num_edit.h"

#include "editors/num_cell.h"
#include "grids/cell.h"

namespace qv {

TQvSpinNumEdit::TQvSpinNumEdit(QWidget* Parent) : TSpinNumEdit(Parent) { setFrame(false); }

void TQvSpinNumEdit::SetLayout(const TQvLayout& Layout) {
    SetAlignment(AlignmentOfCode(Layout.HAlign));
    SetCellMargins(Layout.Indent, Layout.VAlign);
}

void TQvSpinNumEdit::LoadCell(TQvCell* Cell, TColor ErrorColor) { LoadNumCell(*this, Cell, ErrorColor); }

void TQvSpinNumEdit::StoreCell(TQvCell* Cell) { StoreNumCell(*this, Cell); }

}  // namespace qv
