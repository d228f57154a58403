// Where a cell's content goes inside its pixel rectangle. The painter draws
// the text there, and the grid lays its in-place editor over the same area
// so that the editor's text starts where the painted text was.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

class QWidget;

namespace qv {

class TFont;
class TQvCell;

// The text rectangle inside cell rectangle Q for frame style Frame: a cell
// without a frame keeps off its grid line, flat frames take one pixel on
// each side, deep and bevelled ones two.
TRect FrameInset(const TRect& Q, int32_t Frame);

// Positions an in-place editor at R. An editor with a SetBounds(QRect)
// method is positioned through it, so that it learns of every positioning,
// also one that leaves its geometry as it was.
void PlaceEditor(QWidget* Editor, const TRect& R);

// The font a cell is drawn with: its own, else its supplier's (named style,
// then base style), without creating a font object on the cell.
const TFont& CellFont(TQvCell* Cell);

}  // namespace qv
