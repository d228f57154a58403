#include "editors/qv_memo.h"

#include <QKeyEvent>
#include <QTextDocument>

#include "editors/align_edit.h"
#include "editors/editor_text.h"
#include "grids/cell.h"

namespace qv {

namespace {

Qt::Alignment LineAlignment(int HAlign) {
    switch (AlignmentOfCode(HAlign)) {
        case taRightJustify: return Qt::AlignRight;
        case taCenter: return Qt::AlignHCenter;
        default: return Qt::AlignLeft;
    }
}

}  // namespace

TQvMemo::TQvMemo(QWidget* Parent) : QPlainTextEdit(Parent) {
    setFrameShape(QFrame::NoFrame);
    // A cell is a few pixels high: scroll bars would cover its text. The
    // caret keeps the line being typed in view.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The text starts where the cell paints it: no margin of its own.
    document()->setDocumentMargin(0);
    // The indent is kept as viewport margins, which only the widget's own
    // background covers.
    setAutoFillBackground(true);
}

void TQvMemo::LoadCell(TQvCell* Cell, TColor) {
    setPlainText(CellPlainText(Cell));
    moveCursor(QTextCursor::End);
}

void TQvMemo::StoreCell(TQvCell* Cell) { Cell->SetAsString(LinesText(DocumentText(document()))); }

void TQvMemo::keyPressEvent(QKeyEvent* Event) {
    if (IsLineBreakKey(Event)) {
        insertPlainText(QStringLiteral("\n"));
        Event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(Event);
}

void TQvMemo::SetLayout(const TQvLayout& Layout) {
    QTextOption o = document()->defaultTextOption();
    o.setAlignment(LineAlignment(Layout.HAlign));
    document()->setDefaultTextOption(o);
    setViewportMargins(Layout.Indent, 0, Layout.Indent, 0);
}

}  // namespace qv
