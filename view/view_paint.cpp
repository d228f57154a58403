#include <QPaintEvent>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "view/grid.h"
#include "view/view.h"

namespace qv {

void TQvView::paintEvent(QPaintEvent*) {}
void TQvView::PaintBackground(TCanvas&, const TRect&) {}
void TQvView::PaintCells(TCanvas&, const TRect&, const TRect&) {}
QRegion TQvView::SelectionRegion(const TRect&, TPoint) const { return QRegion(); }
void TQvView::ChangeSelection(const TRect& NewSel, TPoint) { FSelRect = NewSel; }
const TGraphic* TQvView::BackgroundPicture() const { return nullptr; }
int TQvView::TitleFrame(int32_t, int32_t) const { return 0; }

}  // namespace qv
