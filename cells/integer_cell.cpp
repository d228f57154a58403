#include "cells/integer_cell.h"

#include "cells/blank_mark.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCInteger, TQvCNumber)

int32_t TQvCInteger::AsInteger() { return FValue; }

void TQvCInteger::SetAsInteger(int32_t V) {
    if (V == FValue && !FBlank) return;
    FValue = V;
    FBlank = false;
    ValueChanged();
}

TVariant TQvCInteger::GetValue() { return FBlank ? TVariant() : TVariant(FValue); }

// The conversion runs before anything is stored, so a failed conversion
// leaves the value as it was.
void TQvCInteger::SetValue(const TVariant& V) {
    if (!V.IsEmpty()) {
        SetAsInteger(V.AsInteger());
    } else if (!FBlank) {
        FValue = {};
        FBlank = true;
        ValueChanged();
    }
}

void TQvCInteger::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Stream.ReadInt32();
    FBlank = ReadBlankMark(Stream);
    IncludeState(psTextDirty);
}

bool TQvCInteger::PlainBody(int32_t V, std::string& Body) {
    Body.assign(reinterpret_cast<const char*>(&V), sizeof V);
    return V != 0;
}

void TQvCInteger::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteInt32(FValue);
    WriteBlankMark(Stream, FBlank);
}

}  // namespace qv
