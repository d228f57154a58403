#include "cells/double_cell.h"

#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCDouble, TQvCNumber)

double TQvCDouble::AsFloat() { return FValue; }

void TQvCDouble::SetAsFloat(double V) {
    if (V == FValue) return;
    FValue = V;
    ValueChanged();
}

TVariant TQvCDouble::GetValue() { return TVariant(FValue); }

void TQvCDouble::SetValue(const TVariant& V) { SetAsFloat(V.AsFloat()); }

void TQvCDouble::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Stream.ReadDouble();
    IncludeState(psTextDirty);
}

void TQvCDouble::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteDouble(FValue);
}

}  // namespace qv
