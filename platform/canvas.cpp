#include "platform/canvas.h"

#include "platform/graphic.h"

namespace qv {

void TCanvas::LineTo(int32_t X, int32_t Y) {
    DrawLine(FPenPos, {X, Y});
    FPenPos = {X, Y};
}

void TCanvas::Draw(int32_t X, int32_t Y, const TGraphic& Graphic) {
    if (Graphic.Empty()) return;
    StretchDraw({X, Y, X + Graphic.Width(), Y + Graphic.Height()}, Graphic);
}

void TCanvas::DrawTiled(const TRect& R, const TGraphic& Graphic) {
    const int32_t w = Graphic.Width();
    const int32_t h = Graphic.Height();
    if (Graphic.Empty() || w <= 0 || h <= 0) return;
    for (int32_t x = R.Left; x < R.Right; x += w)
        for (int32_t y = R.Top; y < R.Bottom; y += h) Draw(x, y, Graphic);
}

void TCanvas::Save() {
    TSavedState s{std::make_unique<TFont>(), std::make_unique<TBrush>(), std::make_unique<TPen>(), FPenPos};
    s.Font->Assign(FFont);
    s.Brush->Assign(FBrush);
    s.Pen->Assign(FPen);
    SaveClip();
    FSaved.push_back(std::move(s));
}

void TCanvas::Restore() {
    if (FSaved.empty()) return;
    TSavedState s = std::move(FSaved.back());
    FSaved.pop_back();
    FFont.Assign(*s.Font);
    FBrush.Assign(*s.Brush);
    FPen.Assign(*s.Pen);
    FPenPos = s.PenPos;
    RestoreClip();
}

}  // namespace qv
