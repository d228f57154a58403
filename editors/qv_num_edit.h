// TQvNumEdit: the in-place editor of number cells, without a frame.
#pragma once

#include "editors/num_edit.h"
#include "view/editor_interfaces.h"

namespace qv {

class TQvNumEdit : public TNumEdit, public IQvValidator, public IQvLayout, public IQvEditor {
    Q_OBJECT
public:
    explicit TQvNumEdit(QWidget* Parent = nullptr);

    // The outcome of the last validation (the load establishes it).
    bool IsValid() const override { return Valid(); }
    void SetLayout(const TQvLayout& Layout) override;
    // The cell's format and value; a value that is not a number loads as 0.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // Value as a floating-point value: the last text that parsed.
    void StoreCell(TQvCell* Cell) override;
};

}  // namespace qv
