// TQvCDateTime: a cell holding a date and time (days since 30 December 1899
// plus the fraction of the day). Like a numeric cell it may hold no value
// (Blank): it shows nothing and its value is the unassigned variant.
#pragma once

#include "grids/cell.h"

namespace qv {

class TQvCDateTime : public TQvCell {
    QV_CLASS(TQvCDateTime)
public:
    TQvCDateTime() = default;

    std::string GetText() override;
    TDateTime AsDateTime() override;
    bool Blank() const { return FBlank; }
    void SetAsDateTime(TDateTime V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

private:
    TDateTime FValue = 0.0;
    bool FBlank = false;
};

}  // namespace qv
