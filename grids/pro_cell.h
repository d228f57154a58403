// TQvProCell: a value that addresses a rectangle of cells in one section.
// Its line values (borders, fill colour, frame) are read from and written to
// the section's attribute tables over that rectangle. Abstract: a cell
// addresses itself, a selection the selected rectangle of its pane.
#pragma once

#include "grids/value.h"

namespace qv {

class TQvSection;
class TQvSheet;

class TQvProCell : public TQvValue {
    QV_CLASS(TQvProCell)
public:
    explicit TQvProCell(TObject* Owner) : TQvValue(Owner) {}

    virtual TQvSection* Section() const = 0;
    // The addressed rectangle, section-local, right and bottom exclusive.
    virtual TRect GetRect() const = 0;
    virtual void SetRect(const TRect& R) = 0;

    TQvLine GetLine(int Index, bool& IsAssigned) const override;
    // Writes the tables over the rectangle, tidies the merged ranges it
    // touches (their inner lines and fill; outer edges stay as written) and
    // repaints (lines only for the outer edges). A write the section would
    // refuse as too large (TQvSection::CheckAreaWrite) raises EQvGridError
    // before anything changes. Ignored while Silent; never calls Changed.
    void SetLine(int Index, TQvLine Value) override;
    void Assign(const TPersistent* Source) override;
    // "Cell [x, y]" for a single cell or merged range, else
    // "Cells [l, t : r, b]" with the last column and row.
    std::string GetNamePath() const override;

    TQvSheet* Sheet() const;
    TQvSectionKind Kind() const;
    TPoint TopLeft() const { const TRect r = GetRect(); return {r.Left, r.Top}; }
    void SetCoord(TPoint P) { SetRect({P.X, P.Y, P.X + 1, P.Y + 1}); }
    // One cell, or exactly one merged range of the section.
    bool IsSingle() const;
    // Some merged range of the section meets the rectangle.
    bool HasUnions() const;
    // Removes every merged range that meets the rectangle.
    void Split();
};

}  // namespace qv
