// TQvRichEdit: the in-place editor of text cells that grows downwards to
// show all its lines. The text is plain: the cell's value is the lines'
// text.
//
// EditHeight is the height of the last external positioning (SetBounds, or
// setGeometry and resize that change the height). When the content needs more height than that, the
// editor makes itself as high as the content needs; it never shrinks below
// EditHeight that way, and only the next external positioning sets a new
// EditHeight.
#pragma once

#include <QTextEdit>

#include "view/editor_interfaces.h"

namespace qv {

class TQvRichEdit : public QTextEdit, public IQvEditor, public IQvLayout {
    Q_OBJECT
public:
    explicit TQvRichEdit(QWidget* Parent = nullptr);

    int IndentWidth() const { return FIndentWidth; }
    int EditHeight();

    // Positioning from outside (the grid places its editor this way):
    // EditHeight becomes R's height every time, also when R equals the
    // present geometry, which Qt reports by no event at all.
    Q_INVOKABLE void SetBounds(const QRect& R);

    // Clears the lines, then loads as the memo does; caret at the start.
    void LoadCell(TQvCell* Cell, TColor ErrorColor) override;
    void StoreCell(TQvCell* Cell) override;
    // Alignment of every line; IndentWidth, applied as the side margins.
    void SetLayout(const TQvLayout& Layout) override;

protected:
    // Ctrl+Enter and Shift+Enter start a new line.
    void keyPressEvent(QKeyEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    // The content asks for Height pixels.
    virtual void RequestResize(int Height);

private:
    // Notices positioning done while the editor was hidden (Qt delivers the
    // resize event of a hidden widget only when it is shown).
    void SyncBounds();
    // Takes the present height as the height of an outside positioning.
    void TakeOutsideHeight();
    void ApplyMargins();
    void ContentSizeChanged();

    int FIndentWidth = 0;
    int FEditHeight = 0;
    int FKnownHeight = -1;  // the height last seen or set by the editor itself
    bool FSelfResizing = false;
};

}  // namespace qv
