// TQvBaseStyle: the last link of every cell's inheritance chain. A sheet owns
// two: the client style serves section 3, the title style sections 0, 1, 2.
// A base style is permanently Silent with a fixed Assigned set (everything
// but Frame); its changes are pushed into the cells of the sections it
// serves instead of being recorded.
#pragma once

#include <memory>

#include "grids/pro_style.h"

namespace qv {

class TBrush;
class TQvSheet;

class TQvBaseStyle : public TQvProStyle {
    QV_CLASS(TQvBaseStyle)
public:
    TQvBaseStyle(TQvSheet* Sheet, bool IsClient);
    ~TQvBaseStyle() override;

    TQvSheet* Sheet() const;
    bool IsClient() const { return FIsClient; }
    // Always carries the fill colour.
    TBrush* Brush() const { return FBrush.get(); }
    TColor ErrorColor() const { return FErrorColor; }
    TColor GridColor() const { return FGridColor; }
    // Repaint the served sections; the sheet is not marked modified.
    void SetErrorColor(TColor C);
    void SetGridColor(TColor C);

    // Marks the sheet modified and pushes the change into the served
    // sections (Color repaints, Frame resets per-cell frames).
    void Changed(int Id) override;
    // Copies as every property set does, then restores the fixed Assigned set.
    void Assign(const TPersistent* Source) override;
    // Base-style record: the style record, then ErrorColor and GridColor.
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;
    // "<sheet path>.BaseClientStyle" or "<sheet path>.BaseTitleStyle".
    std::string GetNamePath() const override;

private:
    // Calls Fn for each section this style serves.
    template <typename F>
    void ForServedSections(F&& Fn) const;
    // The brush's change notification: its colour becomes the fill colour.
    void BrushChanged();
    // Brush colour := fill colour, without coming back through BrushChanged.
    void SyncBrush();
    // After a record was read: the fixed Assigned set and the brush again.
    void Restore();

    std::unique_ptr<TBrush> FBrush;
    TColor FErrorColor = 255;
    TColor FGridColor = 0;
    bool FIsClient;
    bool FSyncingBrush = false;
};

}  // namespace qv
