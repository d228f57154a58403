// TQvCString: a cell holding a text. The value and the display text are the
// same characters, so the cell shows its value and caches no text of its
// own.
#pragma once

#include "grids/cell.h"

namespace qv {

class TQvCString : public TQvCell {
    QV_CLASS(TQvCString)
public:
    TQvCString() = default;

    std::string GetText() override;
    std::string AsString() override;
    void SetAsString(const std::string& V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;
    // The record body a cell of this class placed anew writes once V is
    // set, into Body; returns whether its property set then marks the value
    // (setting the value a new cell holds already changes nothing).
    static bool PlainBody(std::string_view V, std::string& Body);
    void UpdateText() override;
    const TCompactString& Text() const override { return FValue; }

protected:
    // The display text of a text cell is its value whatever the format, so
    // it is current as soon as the value is.
    void ShareText();

    TCompactString FValue;
};

}  // namespace qv
