// TQvCString: a cell holding a text. The value and the display text are the
// same characters, so the value is kept as a compact string that the cached
// display text can share.
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

protected:
    // The display text of a text cell is its value whatever the format: the
    // cached text shares the value's block and is current at once.
    void ShareText();

    TCompactString FValue;
};

}  // namespace qv
