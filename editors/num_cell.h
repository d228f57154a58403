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
// round it). A value that is not a number loads as 0.
void LoadNumCell(TNumEdit& Edit, TQvCell* Cell, TColor ErrorColor);

}  // namespace qv
