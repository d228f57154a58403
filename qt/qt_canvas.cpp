#include "qt/qt_canvas.h"

namespace qv {

TQtCanvas::TQtCanvas(QPainter* Painter, const QRect& Bounds) : FPainter(Painter), FBounds(Bounds) {}
TQtCanvas::~TQtCanvas() = default;

void TQtCanvas::FillRect(const TRect&) {}
void TQtCanvas::PolyPolyline(const std::vector<TPoint>&, const std::vector<int32_t>&) {}
void TQtCanvas::Polygon(const std::vector<TPoint>&) {}
int32_t TQtCanvas::DrawText(const std::string&, TRect&, TDrawTextFlags) { return 0; }
TSize TQtCanvas::TextExtent(const std::string&) { return {}; }
void TQtCanvas::DrawEdge(TRect&, TEdgeKind, TEdgeFlags) {}
void TQtCanvas::DrawFrameControl(const TRect&, TFrameControlKind, TFrameControlState) {}
void TQtCanvas::DrawFocusRect(const TRect&) {}
void TQtCanvas::InvertRect(const TRect&) {}
void TQtCanvas::StretchDraw(const TRect&, const TGraphic&) {}
void TQtCanvas::SetClipRect(const TRect&) {}
void TQtCanvas::IntersectClipRect(const TRect&) {}
void TQtCanvas::ExcludeClipRect(const TRect&) {}
void TQtCanvas::ResetClip() {}
void TQtCanvas::DrawLine(TPoint, TPoint) {}
void TQtCanvas::SaveClip() {}
void TQtCanvas::RestoreClip() {}

}  // namespace qv
