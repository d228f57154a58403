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

private:
    int32_t FValue = 0;
};

}  // namespace qv
