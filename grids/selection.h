// TQvSelection: the range a grid pane owns; its rectangle is the pane's
// selection. Designers format cells exclusively through it.
//
// The pane is reached through IQvSelectionOwner, so the model does not
// depend on the widgets that show it.
#pragma once

#include "grids/pro_range.h"

namespace qv {

class IQvSelectionOwner {
public:
    virtual ~IQvSelectionOwner() = default;
    // The section the pane shows.
    virtual TQvSection* SelectionSection() const = 0;
    // The selected rectangle, section-local.
    virtual TRect SelectionRect() const = 0;
    // Selects R with its top-left as the previous current cell.
    virtual void SelectRect(const TRect& R) = 0;
    // The selection's cells changed: the grid tells its listeners.
    virtual void SelectionChanged() = 0;
};

class TQvSelection : public TQvProRange {
    QV_CLASS(TQvSelection)
public:
    explicit TQvSelection(IQvSelectionOwner* View);

    IQvSelectionOwner* View() const { return FView; }
    TQvSection* Section() const override;
    TRect GetRect() const override;
    void SetRect(const TRect& R) override;
    // The range behaviour, then the owner's notification unless Silent.
    void Changed(int Id) override;
    bool Merge() override;
    bool MergeLines() override;
    bool Clear() override;

    // Reloads silently from the top-left cell (or the base style when there
    // is none): applies nothing, refreshes the snapshots.
    void Load();

private:
    IQvSelectionOwner* FView;
};

}  // namespace qv
