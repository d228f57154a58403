// TQvUnion: a merged range. The cell at its top-left stands for the whole
// rectangle; the other positions hold no cells.
//
// Invariants kept by the section: ranges of one section never overlap; Cell,
// when set, is the cell at (Left, Top); inner grid lines hold no border line;
// the fill colour is the same at every position. An outer edge is a grid
// line shared with the neighbouring cells and may hold different values
// along it (a neighbour's border); merging clears such a mixed edge.
#pragma once

#include "platform/geometry.h"
#include "platform/object.h"

namespace qv {

class TQvCell;
class TQvSection;

class TQvUnion : public TObject {
public:
    TQvUnion(TQvSection* Section, const TRect& Rect, TQvCell* Cell)
        : FSection(Section), FRect(Rect), FCell(Cell) {}

    TQvSection* Section() const { return FSection; }
    const TRect& Rect() const { return FRect; }
    TQvCell* Cell() const { return FCell; }
    void SetCell(TQvCell* C);
    TPoint TopLeft() const { return {FRect.Left, FRect.Top}; }

    // Gives the range a new rectangle: repaints the old one, stores R and
    // normalises (deleting ranges it now overlaps, clearing inner lines,
    // unifying fill and releasing covered cells). Nothing when R is equal.
    void SetRect(const TRect& R);

private:
    friend class TQvSection;
    TQvSection* FSection;
    TRect FRect;
    TQvCell* FCell;
    uint64_t FOrder = 0;  // ranges made later have higher numbers
};

}  // namespace qv
