#include "editors/qv_rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "editors/align_edit.h"
#include "editors/editor_text.h"
#include "grids/cell.h"

namespace qv {

TQvRichEdit::TQvRichEdit(QWidget* Parent) : QTextEdit(Parent) {
    setFrameShape(QFrame::NoFrame);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The lines start where the cell paints its text: no margin of their own.
    document()->setDocumentMargin(0);
    // The indent is kept as viewport margins, which only the widget's own
    // background covers.
    setAutoFillBackground(true);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { ContentSizeChanged(); });
}

int TQvRichEdit::EditHeight() {
    SyncBounds();
    return FEditHeight;
}

void TQvRichEdit::LoadCell(TQvCell* Cell, TColor) {
    clear();
    setPlainText(CellPlainText(Cell));
    moveCursor(QTextCursor::Start);
}

void TQvRichEdit::StoreCell(TQvCell* Cell) { Cell->SetAsString(LinesText(DocumentText(document()))); }

void TQvRichEdit::keyPressEvent(QKeyEvent* Event) {
    if (IsLineBreakKey(Event)) {
        insertPlainText(QStringLiteral("\n"));
        Event->accept();
        return;
    }
    QTextEdit::keyPressEvent(Event);
}

void TQvRichEdit::SetLayout(const TQvLayout& Layout) {
    QTextOption o = document()->defaultTextOption();
    switch (AlignmentOfCode(Layout.HAlign)) {
        case taRightJustify: o.setAlignment(Qt::AlignRight); break;
        case taCenter: o.setAlignment(Qt::AlignHCenter); break;
        default: o.setAlignment(Qt::AlignLeft); break;
    }
    document()->setDefaultTextOption(o);
    FIndentWidth = Layout.Indent;
    // Applied now as well: the grid positions the editor before it hands
    // over the layout, so waiting for the next positioning would show the
    // previous cell's indent.
    ApplyMargins();
}

void TQvRichEdit::resizeEvent(QResizeEvent* Event) {
    QTextEdit::resizeEvent(Event);
    if (!FSelfResizing) SyncBounds();
}

void TQvRichEdit::SetBounds(const QRect& R) {
    setGeometry(R);
    TakeOutsideHeight();
}

void TQvRichEdit::SyncBounds() {
    if (FSelfResizing || height() == FKnownHeight) return;
    TakeOutsideHeight();
}

void TQvRichEdit::TakeOutsideHeight() {
    FKnownHeight = height();
    FEditHeight = height();
    ApplyMargins();
}

void TQvRichEdit::ApplyMargins() {
    // The indent at each side, where the cell paints its text; no inset
    // above or below, so that one line fits a cell of the default height.
    const int h = std::max(FIndentWidth, 0);
    setViewportMargins(h, 0, h, 0);
}

void TQvRichEdit::ContentSizeChanged() {
    const QSizeF s = document()->documentLayout()->documentSize();
    RequestResize(static_cast<int>(std::ceil(s.height())) + 2 * frameWidth());
}

void TQvRichEdit::RequestResize(int Height) {
    SyncBounds();
    if (Height <= FEditHeight || Height == height()) return;
    FSelfResizing = true;
    resize(width(), Height);
    FKnownHeight = Height;
    FSelfResizing = false;
}

}  // namespace qv
