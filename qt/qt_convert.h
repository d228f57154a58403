// Conversions between the core's colours and fonts and Qt's.
//
// System colours (bit 31 set) follow the application palette, so a grid
// painted with clWindow and clBtnFace matches the widgets around it; without
// a QGuiApplication they fall back to the core's fixed default palette.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "grids/types.h"
#include "platform/color.h"
#include "platform/font.h"

namespace qv {

// The QColor of a colour: system colours from the application palette;
// clNone and clDefault give a fully transparent colour (nothing painted).
QColor ToQColor(TColor Color);
// The palette role a system colour index maps to; false for an index that
// has no role (those use the default palette).
bool SystemColorRole(int Index, QPalette::ColorGroup& Group, QPalette::ColorRole& Role);

// The QFont of a font at Scale percent (100 = natural size). A negative
// Height is the character (em) height in pixels at 96 dpi; at another scale
// the point size is scaled with integer division, as the painter scales a
// cell's font. A positive Height is the cell height (character height plus
// internal leading): the pixel size is chosen so that the font's line height
// does not exceed it. The colour is not part of a QFont (the painter's pen
// carries it).
QFont ToQFont(const TFont& Font, int Scale = 100);
// Copies a QFont's family, character height, style and pitch into Font;
// colour and charset are left alone.
void FromQFont(const QFont& Source, TFont& Font);
// Font := Font's size × Scale / 100 (integer division of points); nothing at
// 100. Used to prepare a cell font for painting at the grid's scale.
void ScaleFont(TFont& Font, int Scale);

// The brush colour of a fill value. Fill values are packed line values:
// their style bits (29..30, a fill is stored with style 1) are not part of
// the colour and are cleared, and the rest is converted as a TColor, system
// colours included. 0 (no fill) gives a transparent colour.
QColor FillToQColor(TQvLine Fill);
// The pen colour and width of a border line value (Single 1 px, Medium 2,
// Double 3 — one solid line); width 0 for no line.
int LineWidth(TQvLine Line);

}  // namespace qv
