// Loading a cell into a numeric edit control: the part the numeric and the
// spin cell editors share.
#pragma once

#include "platform/color.h"

namespace qv {

class TNumEdit;
class TQvCell;

// Valid text keeps the colour the control has now (the cell's font colour,
// set by the grid), invalid text takes ErrorColor; then the cell's format
// and its exact value (an integer format shows it rounded but does not
// round it). A value that is not a number loads as 0; a cell without a
// value loads as an empty text.
void LoadNumCell(TNumEdit& Edit, TQvCell* Cell, TColor ErrorColor);
// Writes the control's Value back, or clears the cell's value when the
// text is empty: an emptied number is no value, not 0.
void StoreNumCell(const TNumEdit& Edit, TQvCell* Cell);

}  // namespace qv
