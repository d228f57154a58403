// TQvEdit: the in-place editor of text cells, one line without a frame.
#pragma once

#include "editors/align_edit.h"
#include "view/editor_interfaces.h"

namespace qv {

class TQvEdit : public TAlignEdit, public IQvEditor, public IQvLayout {
    Q_OBJECT
public:
    explicit TQvEdit(QWidget* Parent = nullptr);

    // The value as text (empty for an empty value), caret at the end.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // The text, as a string value.
    void StoreCell(TQvCell* Cell) override;
    void SetLayout(const TQvLayout& Layout) override;
};

}  // namespace qv
