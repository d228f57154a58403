// Decoding of graphics for drawing, and extra picture file formats.
#pragma once

#include <QImage>

#include "platform/graphic.h"

namespace qv {

// The pixels of a graphic; a null image for an empty graphic, a metafile or
// bytes Qt cannot decode.
QImage GraphicToImage(const TGraphic& Graphic);
// Lets TPicture::LoadFromFile read PNG and JPEG files (as bitmaps).
void RegisterQtPictureFormats();

}  // namespace qv
