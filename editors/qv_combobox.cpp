#include "editors/qv_combobox.h"

#include "editors/editor_text.h"
#include "grids/cell.h"
#include "platform/string_list.h"

namespace qv {

TQvCombobox::TQvCombobox(QWidget* Parent) : QComboBox(Parent) { setEditable(false); }

void TQvCombobox::LoadCell(TQvCell* Cell, TColor) {
    const bool isList = dynamic_cast<TStrings*>(Cell->AsObject()) != nullptr;
    const int index = isList ? Cell->AsInteger() : currentIndex();
    const QStringList lines = CellLines(Cell);
    clear();
    addItems(lines);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TQvCombobox::StoreCell(TQvCell* Cell) { Cell->SetAsInteger(currentIndex()); }

}  // namespace qv
