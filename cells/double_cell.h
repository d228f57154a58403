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
    // The record body a cell of this class placed anew writes once V is
    // set, into Body; returns whether its property set then marks the value
    // (setting the value a new cell holds already changes nothing).
    static bool PlainBody(double V, std::string& Body);

private:
    double FValue = 0.0;
};

}  // namespace qv
