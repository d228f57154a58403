#include "qt/qt_convert.h"

namespace qv {

QColor ToQColor(TColor) { return QColor(); }
QFont ToQFont(const TFont&, int) { return QFont(); }
void FromQFont(const QFont&, TFont&) {}

}  // namespace qv
