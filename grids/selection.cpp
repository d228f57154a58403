#include "grids/selection.h"

#include "grids/base_style.h"
#include "grids/section.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvSelection, TQvProRange)

TQvSelection::TQvSelection(IQvSelectionOwner* View) : TQvProRange(nullptr), FView(View) {}

TQvSection* TQvSelection::Section() const { return FView ? FView->SelectionSection() : nullptr; }

TRect TQvSelection::GetRect() const { return FView ? FView->SelectionRect() : TRect{}; }

void TQvSelection::SetRect(const TRect& R) {
    if (FView) FView->SelectRect(R);
}

void TQvSelection::Changed(int Id) {
    TQvProRange::Changed(Id);
    if (!HasState(psSilent) && FView) FView->SelectionChanged();
}

bool TQvSelection::Merge() {
    const bool done = TQvProRange::Merge();
    if (done && FView) FView->SelectionChanged();
    return done;
}

bool TQvSelection::MergeLines() {
    const bool done = TQvProRange::MergeLines();
    if (done && FView) FView->SelectionChanged();
    return done;
}

bool TQvSelection::Clear() {
    const bool done = TQvProRange::Clear();
    if (done && FView) FView->SelectionChanged();
    return done;
}

void TQvSelection::Load() {
    TQvSection* s = Section();
    if (!s) return;
    const bool wasSilent = HasState(psSilent);
    IncludeState(psSilent);
    TQvPro* source = s->FindCell(TopLeft());
    if (!source) source = s->BaseStyle();
    if (source) Assign(source);
    if (!wasSilent) ExcludeState(psSilent);
}

}  // namespace qv
