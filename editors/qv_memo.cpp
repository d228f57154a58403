#include "editors/qv_memo.h"

#include <QTextDocument>

#include "editors/align_edit.h"
#include "editors/cell_text.h"
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
    document()->setDocumentMargin(1);
}

void TQvMemo::LoadCell(TQvCell* Cell, TColor) {
    setPlainText(CellPlainText(Cell));
    moveCursor(QTextCursor::End);
}

void TQvMemo::StoreCell(TQvCell* Cell) { Cell->SetAsString(LinesText(toPlainText())); }

void TQvMemo::SetLayout(const TQvLayout& Layout) {
    QTextOption o = document()->defaultTextOption();
    o.setAlignment(LineAlignment(Layout.HAlign));
    document()->setDefaultTextOption(o);
    setViewportMargins(Layout.Indent, 0, Layout.Indent, 0);
}

}  // namespace qv
