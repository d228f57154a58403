// TQvCInteger: a cell holding a 32-bit signed integer.
#pragma once

#include "cells/number_cell.h"

namespace qv {

class TQvCInteger : public TQvCNumber {
    QV_CLASS(TQvCInteger)
public:
    TQvCInteger() = default;

    int32_t AsInteger() override;
    void SetAsInteger(int32_t V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;
    // The record body a cell of this class placed anew writes once V is
    // set, into Body; returns whether its property set then marks the value
    // (setting the value a new cell holds already changes nothing).
    static bool PlainBody(int32_t V, std::string& Body);

private:
    int32_t FValue = 0;
};

}  // namespace qv
