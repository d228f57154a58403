#include "qt/qt_picture.h"

namespace qv {

QImage GraphicToImage(const TGraphic&) { return QImage(); }
void RegisterQtPictureFormats() {}

}  // namespace qv
