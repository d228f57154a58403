// Selection, keyboard navigation and mouse routing of a pane.
#include <QKeyEvent>
#include <QMouseEvent>

#include "view/grid.h"
#include "view/view.h"

namespace qv {

bool TQvView::CanSelect(TPoint) const { return false; }
bool TQvView::CanEdit(TPoint) const { return false; }
void TQvView::SetCurrent(TPoint, bool, bool) {}
void TQvView::SetSelection(TRect, TPoint, TQvView*) {}
bool TQvView::StepCell(TPoint&, TQvDirection, bool, bool) const { return false; }
void TQvView::CellClick(TPoint) {}
void TQvView::CellDblClick(TPoint) {}
void TQvView::ResetState() {}
void TQvView::SelectRect(const TRect&) {}
void TQvView::SelectionChanged() {}
bool TQvView::event(QEvent* E) { return QWidget::event(E); }
void TQvView::keyPressEvent(QKeyEvent* E) { QWidget::keyPressEvent(E); }
void TQvView::mousePressEvent(QMouseEvent* E) { QWidget::mousePressEvent(E); }
void TQvView::mouseMoveEvent(QMouseEvent* E) { QWidget::mouseMoveEvent(E); }
void TQvView::mouseReleaseEvent(QMouseEvent* E) { QWidget::mouseReleaseEvent(E); }
void TQvView::mouseDoubleClickEvent(QMouseEvent* E) { QWidget::mouseDoubleClickEvent(E); }
bool TQvView::focusNextPrevChild(bool Next) { return QWidget::focusNextPrevChild(Next); }

}  // namespace qv
