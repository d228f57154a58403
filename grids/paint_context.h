// What a cell is given to draw its content: the canvas with the font already
// prepared, the cell's effective layout, its font, the base style's error
// text colour and the grid's scale in percent.
#pragma once

#include "grids/types.h"

namespace qv {

class TCanvas;
class TFont;

struct TQvPaintContext {
    TCanvas* Canvas = nullptr;
    uint8_t HAlign = haLeft;
    uint8_t VAlign = vaTop;
    uint16_t Indent = 0;
    uint8_t WrapMode = wmClipped;
    TFont* Font = nullptr;  // the cell's font, unscaled
    TColor ErrorColor = 255;
    int32_t Scale = 100;

    TQvLayout Layout() const { return {HAlign, VAlign, Indent, WrapMode}; }
    void SetLayout(const TQvLayout& L) {
        HAlign = L.HAlign;
        VAlign = L.VAlign;
        Indent = L.Indent;
        WrapMode = L.WrapMode;
    }
};

}  // namespace qv
