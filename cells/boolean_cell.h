// TQvCBoolean: a check-box cell. It has no display text: the value is
// painted as a flat check box, toggled by a double click or the space key.
#pragma once

#include "grids/cell.h"

namespace qv {

class TQvCBoolean : public TQvCell {
    QV_CLASS(TQvCBoolean)
public:
    TQvCBoolean() = default;

    void DrawValue(TQvPaintContext& Context, TRect R) override;
    bool AsBoolean() override;
    void SetAsBoolean(bool V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;
    // Toggles the value.
    void DblClick() override;
    void KeyPress(char32_t& Key) override;

    void Toggle() { SetAsBoolean(!AsBoolean()); }

private:
    bool FValue = false;
};

}  // namespace qv
