#include "editors/qv_edit.h"

#include "grids/cell.h"

namespace qv {

TQvEdit::TQvEdit(QWidget* Parent) : TAlignEdit(Parent) { setFrame(false); }

void TQvEdit::LoadCell(TQvCell* Cell, TColor) {
    setText(QString::fromStdString(Cell->GetValue().AsString()));
    end(false);
}

void TQvEdit::StoreCell(TQvCell* Cell) { Cell->SetValue(TVariant(text().toStdString())); }

void TQvEdit::SetLayout(const TQvLayout& Layout) {
    SetAlignment(AlignmentOfCode(Layout.HAlign));
    SetCellMargins(Layout.Indent, Layout.VAlign);
}

}  // namespace qv
