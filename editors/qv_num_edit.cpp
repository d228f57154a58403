#include "editors/qv_num_edit.h"

#include "editors/num_cell.h"
#include "grids/cell.h"

namespace qv {

TQvNumEdit::TQvNumEdit(QWidget* Parent) : TNumEdit(Parent) { setFrame(false); }

void TQvNumEdit::SetLayout(const TQvLayout& Layout) {
    SetAlignment(AlignmentOfCode(Layout.HAlign));
    SetCellMargins(Layout.Indent, Layout.VAlign);
}

void TQvNumEdit::LoadCell(TQvCell* Cell, TColor ErrorColor) { LoadNumCell(*this, Cell, ErrorColor); }

void TQvNumEdit::StoreCell(TQvCell* Cell) { StoreNumCell(*this, Cell); }

}  // namespace qv
