// Conversions between the core's colours and fonts and Qt's.
#pragma once

#include <QColor>
#include <QFont>

#include "platform/color.h"
#include "platform/font.h"

namespace qv {

// The QColor of a colour: system colours from the application palette,
// clNone (and clDefault) as a transparent colour.
QColor ToQColor(TColor Color);
// The QFont of a font at Scale percent (100 = natural size).
QFont ToQFont(const TFont& Font, int Scale = 100);
// Copies a QFont's family, size and style into Font (colour unchanged).
void FromQFont(const QFont& Source, TFont& Font);

}  // namespace qv
