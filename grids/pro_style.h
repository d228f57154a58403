// TQvProStyle: a property set tied to no cell. It keeps its own ten line
// values (eight borders, fill colour, frame) and its own cell class, reports
// every line as defined, and is based on no other style.
#pragma once

#include "grids/pro.h"

namespace qv {

class TQvProStyle : public TQvPro {
    QV_CLASS(TQvProStyle)
public:
    // AlwaysNotify; the cell class is the registry's first class and the
    // format that class's first predefined format, if any.
    explicit TQvProStyle(TObject* Owner);

    TQvStyle* GetStyle() const override { return nullptr; }
    void SetStyle(TQvStyle*) override {}
    TClass GetCellClass() const override { return FCellClass; }
    // A different class resets the editor index to 0 and notifies Control.
    void SetCellClass(TClass Cls) override;
    TQvLine GetLine(int Index, bool& IsAssigned) const override;
    // Notifies Border (0..7), Color (8) or Frame (9) on a difference.
    void SetLine(int Index, TQvLine Value) override;
    // The property-set record, then the fill colour (when Color is assigned)
    // and the ten line values (when Border is assigned).
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

    TQvLine Lines(int Index) const { return FLines[Index]; }

protected:
    TQvLine FLines[10] = {};
    TClass FCellClass = nullptr;
};

}  // namespace qv
