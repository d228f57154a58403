#include "cells/date_time_cell.h"

#include "cells/double_cell.h"

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

// Stored as a double cell stores its value, and set the same way.
bool TQvCDateTime::PlainBody(TDateTime V, std::string& Body) { return TQvCDouble::PlainBody(V, Body); }

void TQvCDateTime::WriteToStream(TStream& Stream) {
    TQvCell::WriteToStream(Stream);
    Stream.WriteDouble(FValue);
    WriteBlankMark(Stream, FBlank);
}

}  // namespace qv
