// TQvView: geometry, scrolling and invalidation of a pane.
#include "view/view.h"

#include <QScrollBar>

#include "view/grid.h"

namespace qv {

TQvView::TQvView(TQvGrid* Grid, TQvSectionKind Kind)
    : QWidget(Grid), FGrid(Grid), FSelection(std::make_unique<TQvSelection>(this)), FKind(Kind) {
    const bool titleCols = Kind == skRowTitles || Kind == skCorner;
    const bool titleRows = Kind == skColTitles || Kind == skCorner;
    FColSizes = Grid->Sizes(axCols, titleCols ? spTitle : spClient);
    FRowSizes = Grid->Sizes(axRows, titleRows ? spTitle : spClient);
}

TQvView::~TQvView() = default;

TSize TQvView::ClientSize() const { return {width(), height()}; }
bool TQvView::CellRectToPixels(const TRect&, int, TRect&) const { return false; }
bool TQvView::PixelsToCells(const TRect&, TRect&) const { return false; }
bool TQvView::ClipToCounts(TRect&) const { return false; }
TPoint TQvView::Clamp(TPoint Cell) const { return Cell; }
TPoint TQvView::MergedOrigin(TPoint Cell) const { return Cell; }
TRect TQvView::ExpandMerged(const TRect& Cells) const { return Cells; }
bool TQvView::CellAt(TPoint, bool, TPoint& Cell) const { Cell = {}; return false; }
TQvView::THitZone TQvView::HitTest(TPoint, TPoint& Cell) const { Cell = {}; return hzNone; }
bool TQvView::ScrollTo(TPoint) { return false; }
bool TQvView::ClampScroll(TPoint) { return false; }
void TQvView::ScrollIntoView(const TRect&) {}
int32_t TQvView::ScrollCode(TQvAxis, int, int32_t) const { return 0; }
void TQvView::UpdateScrollBars(bool) {}
void TQvView::SyncScroll() {}
void TQvView::SetContentSize(int32_t Width, int32_t Height) { FContentSize = {Width, Height}; }
void TQvView::ChangeSize(TQvAxis, int32_t, int32_t, int32_t) {}
void TQvView::InvalidateCells(const TRect&, bool, int) { update(); }
void TQvView::InvalidatePane() { update(); }
void TQvView::resizeEvent(QResizeEvent* E) { QWidget::resizeEvent(E); }
void TQvView::OnScrollBar(Qt::Orientation, int) {}

}  // namespace qv
