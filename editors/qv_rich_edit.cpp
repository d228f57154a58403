#include "editors/qv_rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "editors/align_edit.h"
#include "editors/cell_text.h"
#include "grids/cell.h"

namespace qv {

TQvRichEdit::TQvRichEdit(QWidget* Parent) : QTextEdit(Parent) {
    setFrameShape(QFrame::NoFrame);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The lines sit as close to the cell's edges as the painted text does.
    document()->setDocumentMargin(1);
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

void TQvRichEdit::StoreCell(TQvCell* Cell) { Cell->SetAsString(LinesText(toPlainText())); }

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

void TQvRichEdit::SyncBounds() {
    if (FSelfResizing || height() == FKnownHeight) return;
    FKnownHeight = height();
    FEditHeight = height();
    ApplyMargins();
}

void TQvRichEdit::ApplyMargins() {
    // One pixel less than the indent at each side; no inset above or below,
    // so that one line fits a cell of the default height.
    const int h = std::max(FIndentWidth - 1, 0);
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
