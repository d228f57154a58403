// TQvCombobox: the in-place editor of pick-list cells, a drop-down list
// that cannot be typed into. The cell keeps the index of the chosen line.
#pragma once

#include <QComboBox>

#include "view/editor_interfaces.h"

namespace qv {

class TQvCombobox : public QComboBox, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvCombobox(QWidget* Parent = nullptr);

    // The lines of a string list the cell holds, with the cell's index
    // chosen; else one item per line of the cell's value as text, the
    // chosen index staying where it was (none when it is past the end).
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // The chosen index (-1 for none) as the cell's integer.
    void StoreCell(TQvCell* Cell) override;
};

}  // namespace qv
