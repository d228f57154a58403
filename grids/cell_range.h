// TQvCellRange: a selection object over a fixed rectangle of one section of
// a sheet, for code that formats or fills cells without a grid (file import,
// sample sheets, benchmarks, tests). It is its own selection owner: the
// rectangle never moves, and a change is reported to nobody.
#pragma once

#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"

namespace qv {

class TQvCellRange : public IQvSelectionOwner {
public:
    // R is section-local, right and bottom exclusive. The range reads its
    // cells' common attributes at once, as a pane's selection does.
    TQvCellRange(TQvSheet& Sheet, const TRect& R, TQvSectionKind Kind = skClient)
        : FSection(Sheet.Sections(Kind)), FRect(R), FRange(this) {
        FRange.Load();
    }

    TQvSelection* operator->() { return &FRange; }
    TQvSelection& Range() { return FRange; }

    TQvSection* SelectionSection() const override { return FSection; }
    TRect SelectionRect() const override { return FRect; }
    void SelectRect(const TRect& R) override { FRect = R; }
    void SelectionChanged() override {}

private:
    TQvSection* FSection;
    TRect FRect;
    TQvSelection FRange;
};

}  // namespace qv
