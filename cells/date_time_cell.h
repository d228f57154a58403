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
    // The record body a cell of this class placed anew writes once V is
    // set, into Body; returns whether its property set then marks the value
    // (setting the value a new cell holds already changes nothing).
    static bool PlainBody(TDateTime V, std::string& Body);

private:
    TDateTime FValue = 0.0;
    bool FBlank = false;
};

}  // namespace qv
