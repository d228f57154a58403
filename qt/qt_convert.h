// Conversions between the core's colours and fonts and Qt's.
//
// System colours (bit 31 set) follow the application palette, so a grid
// painted with clWindow and clBtnFace matches the widgets around it; without
// a QGuiApplication they fall back to the core's fixed default palette.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "platform/color.h"
#include "platform/font.h"

namespace qv {

// The QColor of a colour: system colours from the application palette;
// clNone and clDefault give a fully transparent colour (nothing painted).
QColor ToQColor(TColor Color);
// The plain colour of a QColor (alpha dropped).
TColor FromQColor(const QColor& C);
// The palette role a system colour index maps to; false for an index that
// has no role (those use the default palette: the desktop, clBackground,
// is one of them and always dark).
bool SystemColorRole(int Index, QPalette::ColorGroup& Group, QPalette::ColorRole& Role);

// The QFont of a font at Scale percent (100 = natural size). A negative
// Height is the character (em) height in pixels at 96 dpi; at another scale
// the point size is scaled with integer division, as the painter scales a
// cell's font. A positive Height is the cell height (character height plus
// internal leading): the pixel size is chosen so that the font's line height
// does not exceed it. The colour is not part of a QFont (the painter's pen
// carries it).
QFont ToQFont(const TFont& Font, int Scale = 100);
// Font := Font's size × Scale / 100 (integer division of points); nothing at
// 100. Used to prepare a cell font for painting at the grid's scale.
void ScaleFont(TFont& Font, int Scale);

}  // namespace qv
