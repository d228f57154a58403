// TQvProRange: a property set standing for a rectangle of cells.
//
// Reading gives the top-left cell's attributes and value (or the base
// style's, where that cell does not exist). Writing applies to every cell of
// the rectangle, creating cells where needed; borders, fill and frame go
// straight into the section's tables over the whole rectangle. Font, layout
// and control are applied as differences from snapshots taken when the range
// was loaded or last applied them, so making a range bold touches only the
// bold flag of each cell's font.
#pragma once

#include <functional>
#include <memory>

#include "grids/pro_cell.h"

namespace qv {

class TQvCell;

class TQvProRange : public TQvProCell {
    QV_CLASS(TQvProRange)
public:
    explicit TQvProRange(TObject* Owner);
    ~TQvProRange() override;

    // TQvProCell::Assign, then the snapshots of font, layout and control.
    void Assign(const TPersistent* Source) override;
    TQvStyle* GetStyle() const override;
    // Sets S on the top-left cell (created if needed) when it differs, then
    // Changed(Style) in every case. A style of a foreign styler raises
    // before anything is applied.
    void SetStyle(TQvStyle* S) override;
    TClass GetCellClass() const override;
    void SetCellClass(TClass Cls) override;
    // Applies property Id to the rectangle; never records into Assigned.
    void Changed(int Id) override;
    TVariant GetValue() override;
    // The value goes into every cell of the rectangle, each converting it
    // to its own kind; the top-left cell takes it first, so that a value it
    // cannot take raises before any cell changes. Item lists of pick lists
    // are kept: a text becomes their lines, as for a single cell.
    void SetValue(const TVariant& V) override;
    // An integer is each cell's own integer: a pick list chooses that line.
    void SetAsInteger(int32_t V) override;
    // The data object (pick list, picture) of the top-left cell.
    TObject* AsObject() override;

    // Merges the rectangle into one range; false when it is a single cell
    // or exactly one range already.
    virtual bool Merge();
    // Merges each row of the rectangle separately, top to bottom.
    virtual bool MergeLines();
    // Releases every cell of the rectangle.
    virtual bool Clear();
    // Removes the hint of every existing cell (creates none).
    void ClearHints() { Changed(piHint); }

    const TFont& OldFont() const { return *FOldFont; }
    const TQvLayout& OldLayout() const { return FOldLayout; }
    const TQvControl& OldControl() const { return FOldControl; }

protected:
    void TakeSnapshots();

private:
    TQvCell* TopLeftCell() const;
    // Writes a value into the top-left cell, then into every other cell of
    // the rectangle through Changed(Value).
    void ApplyValue(const std::function<void(TQvCell*)>& Write);
    void ApplyControl();
    void ApplyLayout();
    void ApplyFont();
    // Every cell of the rectangle (created where missing), marked
    // Invalidated first so that it queues no repaint of its own; with
    // SkipPacked, packed cells (formatted in place before) are left out.
    template <typename F>
    void ForEachCellCreating(F&& Fn, bool SkipPacked = false);

    std::unique_ptr<TFont> FOldFont;
    TQvLayout FOldLayout;
    TQvControl FOldControl;
    // Set while ApplyValue hands the value to the cells.
    const std::function<void(TQvCell*)>* FValueWriter = nullptr;
};

}  // namespace qv
