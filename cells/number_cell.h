// TQvCNumber: the abstract base of the numeric cells; their display text is
// the value formatted with the cell's number format.
//
// A numeric cell may hold no value (Blank): it shows nothing, its value is
// the unassigned variant and reads as 0, and it keeps its class and format.
// Setting the unassigned variant makes a cell blank; any number ends it.
#pragma once

#include "grids/cell.h"

namespace qv {

class TQvCNumber : public TQvCell {
    QV_CLASS(TQvCNumber)
public:
    std::string GetText() override;
    bool Blank() const { return FBlank; }

protected:
    TQvCNumber() = default;

    bool FBlank = false;
};

}  // namespace qv
