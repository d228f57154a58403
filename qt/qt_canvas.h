// TQtCanvas: the canvas over a QPainter.
//
// Drawing is pixel exact, as cell painting expects: no antialiasing,
// rectangles half-open, a line from A to B covers the pixels from A up to
// but not including B, and a wide pen of width w covers w pixels across
// the line (w / 2 of them before it). Axis-parallel lines — everything the
// grid draws — are filled as rectangles so no rasteriser rule can move them.
//
// The panes paint through TCanvas only; the overrides of InvertRect and
// DrawTiled are the fast paths, not another way in.
//
// Clipping is kept as a QRegion of device pixels on top of whatever the
// painter's device already clips to (a widget's paint region).
#pragma once

#include <QPainter>
#include <QRegion>
#include <vector>

#include "platform/canvas.h"

namespace qv {

class TQtCanvas : public TCanvas {
public:
    // Paints on Painter (not owned; it must stay active while the canvas
    // draws). Bounds is the device rectangle the painter may touch; a
    // clip exclusion without an earlier clip starts from it.
    TQtCanvas(QPainter* Painter, const QRect& Bounds);
    ~TQtCanvas() override;

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
    // All copies in one call: a tiny picture would otherwise take a draw
    // call per copy.
    void DrawTiled(const TRect& R, const TGraphic& Graphic) override;
    void SetClipRect(const TRect& R) override;
    void IntersectClipRect(const TRect& R) override;
    void ExcludeClipRect(const TRect& R) override;
    void ResetClip() override;

    // Whether a clip is set, and which.
    bool Clipped() const { return FClipped; }
    QRegion ClipRegion() const { return FClip; }

protected:
    void DrawLine(TPoint From, TPoint To) override;
    void SaveClip() override;
    void RestoreClip() override;

private:
    struct TClipState {
        bool Clipped;
        QRegion Clip;
    };
    void ApplyClip();
    // Inverts every pixel of a region: InvertRect and the focus rectangle
    // in one painter state.
    void InvertRegion(const QRegion& Region);
    // One ring of an edge: top-left and bottom-right colours.
    void EdgeRing(const QRect& R, TEdgeFlags Flags, const QColor& TopLeft, const QColor& BottomRight);
    void CheckBox(const QRect& R, TFrameControlState State);
    // The QFont of the canvas font, rebuilt only when the font changed.
    const QFont& QtFont();

    QPainter* FPainter;
    QRect FBounds;
    bool FClipped = false;
    QRegion FClip;
    std::vector<TClipState> FClipStack;
    TFont FFontKey;
    QFont FQtFont;
    bool FFontValid = false;
};

// Qt rectangles of canvas rectangles (half-open both).
inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
inline TRect FromQRect(const QRect& R) { return {R.left(), R.top(), R.left() + R.width(), R.top() + R.height()}; }

}  // namespace qv
