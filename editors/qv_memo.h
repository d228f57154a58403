// TQvMemo: the in-place editor of text cells over several lines, without a
// frame.
#pragma once

#include <QPlainTextEdit>

#include "view/editor_interfaces.h"

namespace qv {

class TQvMemo : public QPlainTextEdit, public IQvEditor, public IQvLayout {
    Q_OBJECT
public:
    explicit TQvMemo(QWidget* Parent = nullptr);

    // The lines of a string list the cell holds, else its value as text;
    // caret at the end.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    // The lines' text exactly as edited (CR LF between lines) as the cell's
    // string.
    void StoreCell(TQvCell* Cell) override;
    // Alignment of every line, and the indent as left and right margins.
    void SetLayout(const TQvLayout& Layout) override;

protected:
    // Ctrl+Enter and Shift+Enter start a new line (plain Enter and Escape
    // belong to the grid).
    void keyPressEvent(QKeyEvent* Event) override;
};

}  // namespace qv
