#include "cells/date_time_cell.h"

#include "cells/blank_mark.h"
#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCDateTime, TQvCell)

// A value outside the calendar (possible through SetAsDateTime or a stored
// record) has no date text; the cell shows nothing rather than failing
// while it is painted.
std::string TQvCDateTime::GetText() {
    if (FBlank) return {};
    try {
        return FormatDateTime(Format(), FValue);
    } catch (const EConvertError&) {
        return {};
    }
}

TDateTime TQvCDateTime::AsDateTime() { return FValue; }

void TQvCDateTime::SetAsDateTime(TDateTime V) {
    if (V == FValue && !FBlank) return;
    FValue = V;
    FBlank = false;
    ValueChanged();
}

TVariant TQvCDateTime::GetValue() { return FBlank ? TVariant() : TVariant::FromDate(FValue); }

void TQvCDateTime::SetValue(const TVariant& V) {
    if (!V.IsEmpty()) {
        SetAsDateTime(V.AsDateTime());
    } else if (!FBlank) {
        FValue = 0;
        FBlank = true;
        ValueChanged();
    }
}

void TQvCDateTime::ReadFromStream(TStream& Stream) {
    TQvCell::ReadFromStream(Stream);
    FValue = Stream.ReadDouble();
    FBlank = ReadBlankMark(Stream);
    IncludeState(psTextDirty);
}

bool TQvCDateTime::PlainBody(TDateTime V, std::string& Body) {
    // A new cell holds +0, which -0 equals: setting it stores nothing.
    const bool set = !(V == 0.0);
    if (!set) V = 0.0;
    Body.assign(reinterpret_cast<const char*>(&V), sizeof V);
    return set;
}

void TQvCDateTime::WriteToStream(TStream& Stream) {
    TQvCell::WriteToStream(Stream);
    Stream.WriteDouble(FValue);
    WriteBlankMark(Stream, FBlank);
}

}  // namespace qv
