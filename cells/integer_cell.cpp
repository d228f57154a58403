#include "cells/integer_cell.h"

#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCInteger, TQvCNumber)

int32_t TQvCInteger::AsInteger() { return FValue; }

void TQvCInteger::SetAsInteger(int32_t V) {
    if (V == FValue) return;
    FValue = V;
    ValueChanged();
}

TVariant TQvCInteger::GetValue() { return TVariant(FValue); }

// The conversion runs before anything is stored, so a failed conversion
// leaves the value as it was.
void TQvCInteger::SetValue(const TVariant& V) { SetAsInteger(V.AsInteger()); }

void TQvCInteger::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Stream.ReadInt32();
    IncludeState(psTextDirty);
}

void TQvCInteger::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteInt32(FValue);
}

}  // namespace qv
