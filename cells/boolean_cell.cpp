#include "cells/boolean_cell.h"

#include "cells/placement.h"
#include "grids/paint_context.h"
#include "platform/canvas.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCBoolean, TQvCell)

void TQvCBoolean::DrawValue(TQvPaintContext& Context, TRect R) {
    if (!Context.Canvas) return;
    const int32_t side = 13 * Context.Scale / 100;
    const TRect box = QvPlaceRect(R, {side, side}, Context.Layout());
    TFrameControlState state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (FValue) state |= DFCS_CHECKED;
    Context.Canvas->DrawFrameControl(box, DFC_BUTTON, state);
}

bool TQvCBoolean::AsBoolean() { return FValue; }

void TQvCBoolean::SetAsBoolean(bool V) {
    if (V == FValue) return;
    FValue = V;
    ValueChanged();
}

TVariant TQvCBoolean::GetValue() { return TVariant(FValue); }

void TQvCBoolean::SetValue(const TVariant& V) { SetAsBoolean(V.AsBoolean()); }

void TQvCBoolean::ReadFromStream(TStream& Stream) {
    TQvCell::ReadFromStream(Stream);
    // Any non-zero stored value reads as true.
    FValue = Stream.ReadInt32() != 0;
    IncludeState(psTextDirty);
}

void TQvCBoolean::WriteToStream(TStream& Stream) {
    TQvCell::WriteToStream(Stream);
    Stream.WriteInt32(FValue ? 1 : 0);
}

void TQvCBoolean::DblClick() { Toggle(); }

void TQvCBoolean::KeyPress(char32_t& Key) {
    if (Key != U' ') return;
    DblClick();
    Key = 0;
}

}  // namespace qv
