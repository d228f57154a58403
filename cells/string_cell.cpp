#include "cells/string_cell.h"

#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCString, TQvCell)

std::string TQvCString::GetText() { return FValue.str(); }

std::string TQvCString::AsString() { return FValue.str(); }

void TQvCString::SetAsString(const std::string& V) {
    if (FValue == std::string_view(V)) return;
    FValue = TCompactString(V);
    ValueChanged();
    ShareText();
}

void TQvCString::ShareText() { ExcludeState(psTextDirty); }

void TQvCString::UpdateText() { ShareText(); }

TVariant TQvCString::GetValue() { return TVariant(FValue.str()); }

void TQvCString::SetValue(const TVariant& V) { SetAsString(V.AsString()); }

void TQvCString::ReadFromStream(TStream& Stream) {
    TQvCell::ReadFromStream(Stream);
    FValue = TCompactString(Stream.ReadString());
    ShareText();
}

bool TQvCString::PlainBody(std::string_view V, std::string& Body) {
    const auto n = static_cast<int32_t>(V.size());
    Body.assign(reinterpret_cast<const char*>(&n), sizeof n);
    Body.append(V);
    return !V.empty();
}

void TQvCString::WriteToStream(TStream& Stream) {
    TQvCell::WriteToStream(Stream);
    Stream.WriteString(FValue.str());
}

}  // namespace qv
