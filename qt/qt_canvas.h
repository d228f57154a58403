// TQvQtCanvas: the canvas over a QPainter.
#pragma once

#include <QPainter>
#include <QRegion>
#include <vector>

#include "platform/canvas.h"

namespace qv {

class TQtCanvas : public TCanvas {
public:
    // Paints on Painter (not owned; it must be active while the canvas draws).
    // Bounds is the device rectangle the painter may touch.
    TQtCanvas(QPainter* Painter, const QRect& Bounds);
    ~TQtCanvas() override;

    QPainter* Painter() const { return FPainter; }

    void FillRect(const TRect& R) override;
    void PolyPolyline(const std::vector<TPoint>& Points, const std::vector<int32_t>& Counts) override;
    void Polygon(const std::vector<TPoint>& Points) override;
    int32_t DrawText(const std::string& Text, TRect& R, TDrawTextFlags Flags) override;
    TSize TextExtent(const std::string& Text) override;
    void DrawEdge(TRect& R, TEdgeKind Edge, TEdgeFlags Flags) override;
    void DrawFrameControl(const TRect& R, TFrameControlKind Kind, TFrameControlState State) override;
    void DrawFocusRect(const TRect& R) override;
    void InvertRect(const TRect& R) override;
    void StretchDraw(const TRect& R, const TGraphic& Graphic) override;
    void SetClipRect(const TRect& R) override;
    void IntersectClipRect(const TRect& R) override;
    void ExcludeClipRect(const TRect& R) override;
    void ResetClip() override;

protected:
    void DrawLine(TPoint From, TPoint To) override;
    void SaveClip() override;
    void RestoreClip() override;

private:
    QPainter* FPainter;
    QRect FBounds;
};

}  // namespace qv
