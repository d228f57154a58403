// TQvCNumber: the abstract base of the numeric cells; their display text is
// the value formatted with the cell's number format.
#pragma once

#include "grids/cell.h"

namespace qv {

class TQvCNumber : public TQvCell {
    QV_CLASS(TQvCNumber)
public:
    std::string GetText() override;

protected:
    TQvCNumber() = default;
};

}  // namespace qv
