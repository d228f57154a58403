// TQvCDouble: a cell holding a double-precision floating-point number.
#pragma once

#include "cells/number_cell.h"

namespace qv {

class TQvCDouble : public TQvCNumber {
    QV_CLASS(TQvCDouble)
public:
    TQvCDouble() = default;

    double AsFloat() override;
    void SetAsFloat(double V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

private:
    double FValue = 0.0;
};

}  // namespace qv
