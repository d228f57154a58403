// Decoding graphics for drawing, and the picture file formats Qt adds.
//
// The core keeps graphics as their file images; pixels are made here, when
// a canvas draws one. Bitmaps and icons decode through QImage; metafiles
// are not rendered on this platform and draw nothing.
#pragma once

#include <QImage>

#include "platform/graphic.h"

namespace qv {

// The pixels of a graphic: a null image for an empty graphic, a metafile or
// bytes Qt cannot decode. Recently decoded graphics are kept in a small
// cache keyed by the graphic and checked against its bytes, so a repaint
// does not decode again and a changed graphic is never shown stale.
QImage GraphicToImage(const TGraphic& Graphic);
// Drops every cached image (tests, and applications freeing memory).
void ClearPictureCache();

// Lets TPicture::LoadFromFile read PNG and JPEG files: they are decoded and
// held as a bitmap (a BMP file image), since no graphic class of the core
// keeps those formats. Safe to call more than once.
void RegisterQtPictureFormats();
// The BMP file image of an image (empty for a null image).
std::string ImageToBmpBytes(const QImage& Image);

}  // namespace qv
