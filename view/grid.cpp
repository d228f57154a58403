// TQvGrid: construction, sheet attachment, scaling, options, links, layout
// and the sheet's calls into its views.
#include "view/grid.h"

namespace qv {

TQvGrid::TQvGrid(QWidget* Parent) : QFrame(Parent) {
    for (auto& axis : FSizes)
        for (auto& part : axis) part = std::make_unique<TQvSizeList>();
    for (int k = 0; k < 4; ++k) FViews[k] = new TQvView(this, static_cast<TQvSectionKind>(k));
    FActiveView = FViews[skClient];
}

TQvGrid::~TQvGrid() = default;

void TQvGrid::SetSheet(TQvSheet* S) { FSheet = S; }
void TQvGrid::SetScale(int V) { FScale = static_cast<uint16_t>(V); }
void TQvGrid::SetOptions(TQvOptions V) { FOptions = V; }
void TQvGrid::SetScrolls(TQvScrolls V) { FScrolls = V; }
void TQvGrid::SetHorzLink(TQvGrid* G) { FHorzLink = G; }
void TQvGrid::SetVertLink(TQvGrid* G) { FVertLink = G; }
void TQvGrid::SetEditorParent(QWidget* W) { FEditorParent = W; }
void TQvGrid::SetActiveView(TQvView* Pane) { FActiveView = Pane; }
TQvSelection* TQvGrid::Selection() const { return FSheet ? FActiveView->Selection() : nullptr; }
void TQvGrid::SetDesignMode(bool V) { FDesignMode = V; }
TPoint TQvGrid::CurrentCell() const { return FActiveView->Current(); }
void TQvGrid::EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }
int32_t TQvGrid::ScaleValue(int32_t V) const { return V; }
int32_t TQvGrid::UnscaleValue(int32_t V) const { return V; }
void TQvGrid::ResetSelection() {}
void TQvGrid::SelChanged(TQvView*) {}
void TQvGrid::CurChanged(TQvView*) {}
void TQvGrid::AlignControls() {}
void TQvGrid::UpdateAllSizes() {}
void TQvGrid::PropagateScroll(TPoint) {}
void TQvGrid::EndEdit() { FEditCell = nullptr; }
void TQvGrid::UpdateSizes(TQvAxis Axis) { UpdateSizesOf(Axis); }
void TQvGrid::ApplySize(TQvAxis, TQvSizePart, int32_t) {}
void TQvGrid::InvalidateAll() { for (auto* v : FViews) v->InvalidatePane(); }
void TQvGrid::ReadLayout() {}
void TQvGrid::RepaintClient() { FViews[skClient]->InvalidatePane(); }
void TQvGrid::MergeChanged(TQvSectionKind) {}
void TQvGrid::InvalidateCells(TQvSectionKind Kind, const TRect& R, int Mode) { FViews[Kind]->InvalidateCells(R, false, Mode); }
void TQvGrid::InvalidatePane(TQvSectionKind Kind) { FViews[Kind]->InvalidatePane(); }
void TQvGrid::SheetDestroying(TQvSheet*) { SetSheet(nullptr); }
void TQvGrid::resizeEvent(QResizeEvent* E) { QFrame::resizeEvent(E); }
void TQvGrid::focusInEvent(QFocusEvent* E) { QFrame::focusInEvent(E); }
void TQvGrid::SheetChanged() {}
void TQvGrid::UpdateSizesOf(TQvAxis) {}

}  // namespace qv
