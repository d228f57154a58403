#include "cells/double_cell.h"

#include "cells/blank_mark.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCDouble, TQvCNumber)

double TQvCDouble::AsFloat() { return FValue; }

void TQvCDouble::SetAsFloat(double V) {
    if (V == FValue && !FBlank) return;
    FValue = V;
    FBlank = false;
    ValueChanged();
}

TVariant TQvCDouble::GetValue() { return FBlank ? TVariant() : TVariant(FValue); }

void TQvCDouble::SetValue(const TVariant& V) {
    if (!V.IsEmpty()) {
        SetAsFloat(V.AsFloat());
    } else if (!FBlank) {
        FValue = {};
        FBlank = true;
        ValueChanged();
    }
}

void TQvCDouble::ReadFromStream(TStream& Stream) {
    TQvCNumber::ReadFromStream(Stream);
    FValue = Stream.ReadDouble();
    FBlank = ReadBlankMark(Stream);
    IncludeState(psTextDirty);
}

bool TQvCDouble::PlainBody(double V, std::string& Body) {
    // A new cell holds +0, which -0 equals: setting it stores nothing.
    const bool set = !(V == 0.0);
    if (!set) V = 0.0;
    Body.assign(reinterpret_cast<const char*>(&V), sizeof V);
    return set;
}

void TQvCDouble::WriteToStream(TStream& Stream) {
    TQvCNumber::WriteToStream(Stream);
    Stream.WriteDouble(FValue);
    WriteBlankMark(Stream, FBlank);
}

}  // namespace qv
