// TQvCCurrency: a cell holding a fixed-point currency amount (four decimals).
#pragma once

#include "cells/number_cell.h"

namespace qv {

class TQvCCurrency : public TQvCNumber {
    QV_CLASS(TQvCCurrency)
public:
    TQvCCurrency() = default;

    std::string GetText() override;
    Currency AsCurrency() override;
    void SetAsCurrency(Currency V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

private:
    Currency FValue;
};

}  // namespace qv
