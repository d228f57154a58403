#include "cells/currency_cell.h"

#include "platform/format_float.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCCurrency, TQvCNumber)

// Formatted from the exact scaled value: a double holds only 15 significant
// digits, fewer than a large amount with four decimals needs.
std::string TQvCCurrency::GetText() { return FormatCurr(Format(), FValue); }

Currency TQvCCurrency::AsCurrency() { return FValue; }

void TQvCCurrency::SetAsCurrency(Currency V) {
    if (V == FValue) return;
    FValue = V;
    ValueChanged();
}

TVariant TQvCCurrency::GetValue() { return TVariant(FValue); }

void TQvCCurrency::SetValue(const TVariant& V) { SetAsCurrency(V.AsCurrency()); }

void TQvCCurrency::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Currency::FromScaled(Stream.ReadInt64());
    IncludeState(psTextDirty);
}

void TQvCCurrency::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteInt64(FValue.Scaled);
}

}  // namespace qv
