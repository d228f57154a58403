#include "cells/currency_cell.h"

#include "platform/format_float.h"
#include "cells/blank_mark.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCCurrency, TQvCNumber)

// Formatted from the exact scaled value: a double holds only 15 significant
// digits, fewer than a large amount with four decimals needs.
std::string TQvCCurrency::GetText() { return FBlank ? std::string() : FormatCurr(Format(), FValue); }

Currency TQvCCurrency::AsCurrency() { return FValue; }

void TQvCCurrency::SetAsCurrency(Currency V) {
    if (V == FValue && !FBlank) return;
    FValue = V;
    FBlank = false;
    ValueChanged();
}

TVariant TQvCCurrency::GetValue() { return FBlank ? TVariant() : TVariant(FValue); }

void TQvCCurrency::SetValue(const TVariant& V) {
    if (!V.IsEmpty()) {
        SetAsCurrency(V.AsCurrency());
    } else if (!FBlank) {
        FValue = {};
        FBlank = true;
        ValueChanged();
    }
}

void TQvCCurrency::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Currency::FromScaled(Stream.ReadInt64());
    FBlank = ReadBlankMark(Stream);
    IncludeState(psTextDirty);
}

void TQvCCurrency::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteInt64(FValue.Scaled);
    WriteBlankMark(Stream, FBlank);
}

}  // namespace qv
