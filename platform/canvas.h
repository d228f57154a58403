// TCanvas: the drawing surface cells and panes paint on.
//
// The canvas is abstract: the Qt side implements it over a painter, tests
// use a recording canvas. It offers exactly the operations the painting of
// cells and panes needs. Coordinates are pixels; rectangles are half-open
// (Right and Bottom are one past the last pixel).
//
// The font, brush and pen belong to the canvas; implementations read them
// when they draw (or follow their OnChange). Text is always drawn without
// filling its background (the painting of cells wants a transparent
// background mode, and nothing here wants another).
//
// Regions: the canvas has no region type. Clipping is built from
// rectangles (SetClipRect, IntersectClipRect, ExcludeClipRect, ResetClip),
// and a region is inverted by inverting the disjoint rectangles it is made
// of with InvertRect, which gives the same pixels because inversion of
// disjoint parts is independent. Panes keep their own region arithmetic
// and paint only through this interface; a backdrop picture is tiled with
// DrawTiled. An implementation may do either faster than the calls it
// stands for, never differently.
//
// Flag constants keep the classic Windows values so that stored values and
// flags stay comparable with those of other programs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/brush.h"
#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/object.h"

namespace qv {

class TGraphic;

// Text drawing flags (a bit set).
using TDrawTextFlags = uint32_t;
constexpr TDrawTextFlags DT_TOP = 0x0;
constexpr TDrawTextFlags DT_LEFT = 0x0;
constexpr TDrawTextFlags DT_CENTER = 0x1;
constexpr TDrawTextFlags DT_RIGHT = 0x2;
constexpr TDrawTextFlags DT_VCENTER = 0x4;
constexpr TDrawTextFlags DT_BOTTOM = 0x8;
constexpr TDrawTextFlags DT_WORDBREAK = 0x10;
constexpr TDrawTextFlags DT_SINGLELINE = 0x20;
constexpr TDrawTextFlags DT_EXPANDTABS = 0x40;
constexpr TDrawTextFlags DT_TABSTOP = 0x80;
constexpr TDrawTextFlags DT_NOCLIP = 0x100;
constexpr TDrawTextFlags DT_EXTERNALLEADING = 0x200;
constexpr TDrawTextFlags DT_CALCRECT = 0x400;
constexpr TDrawTextFlags DT_NOPREFIX = 0x800;
constexpr TDrawTextFlags DT_EDITCONTROL = 0x2000;
constexpr TDrawTextFlags DT_PATH_ELLIPSIS = 0x4000;
constexpr TDrawTextFlags DT_END_ELLIPSIS = 0x8000;
constexpr TDrawTextFlags DT_WORD_ELLIPSIS = 0x40000;

// Edge kinds for DrawEdge: an outer and an inner ring, each raised or sunken.
using TEdgeKind = uint32_t;
constexpr TEdgeKind BDR_RAISEDOUTER = 0x1;
constexpr TEdgeKind BDR_SUNKENOUTER = 0x2;
constexpr TEdgeKind BDR_RAISEDINNER = 0x4;
constexpr TEdgeKind BDR_SUNKENINNER = 0x8;
constexpr TEdgeKind BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr TEdgeKind BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr TEdgeKind BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr TEdgeKind BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr TEdgeKind EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr TEdgeKind EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr TEdgeKind EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr TEdgeKind EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Which sides DrawEdge draws, and how.
using TEdgeFlags = uint32_t;
constexpr TEdgeFlags BF_LEFT = 0x1;
constexpr TEdgeFlags BF_TOP = 0x2;
constexpr TEdgeFlags BF_RIGHT = 0x4;
constexpr TEdgeFlags BF_BOTTOM = 0x8;
constexpr TEdgeFlags BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr TEdgeFlags BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr TEdgeFlags BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr TEdgeFlags BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr TEdgeFlags BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr TEdgeFlags BF_MIDDLE = 0x800;    // fill the inside with the face colour
constexpr TEdgeFlags BF_SOFT = 0x1000;     // softer colours for the raised parts
constexpr TEdgeFlags BF_ADJUST = 0x2000;   // shrink the rectangle by what was drawn
constexpr TEdgeFlags BF_FLAT = 0x4000;
constexpr TEdgeFlags BF_MONO = 0x8000;

// Frame controls (DrawFrameControl): the kind, then the state bits.
using TFrameControlKind = uint32_t;
constexpr TFrameControlKind DFC_CAPTION = 1;
constexpr TFrameControlKind DFC_MENU = 2;
constexpr TFrameControlKind DFC_SCROLL = 3;
constexpr TFrameControlKind DFC_BUTTON = 4;

using TFrameControlState = uint32_t;
constexpr TFrameControlState DFCS_BUTTONCHECK = 0x0;
constexpr TFrameControlState DFCS_BUTTONRADIO = 0x4;
constexpr TFrameControlState DFCS_BUTTON3STATE = 0x8;
constexpr TFrameControlState DFCS_BUTTONPUSH = 0x10;
constexpr TFrameControlState DFCS_INACTIVE = 0x100;
constexpr TFrameControlState DFCS_PUSHED = 0x200;
constexpr TFrameControlState DFCS_CHECKED = 0x400;
constexpr TFrameControlState DFCS_HOT = 0x1000;
constexpr TFrameControlState DFCS_FLAT = 0x4000;
constexpr TFrameControlState DFCS_MONO = 0x8000;

class TCanvas : public TObject {
public:
    TCanvas() = default;
    ~TCanvas() override = default;

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }
    const TFont& Font() const { return FFont; }
    const TBrush& Brush() const { return FBrush; }
    const TPen& Pen() const { return FPen; }

    // Fills R with the brush (nothing for bsClear); no outline.
    virtual void FillRect(const TRect& R) = 0;
    // Lines with the pen. LineTo draws from the pen position to (X, Y),
    // the end point excluded, and moves the pen position there.
    void MoveTo(int32_t X, int32_t Y) { FPenPos = {X, Y}; }
    void LineTo(int32_t X, int32_t Y);
    TPoint PenPos() const { return FPenPos; }
    // Several open polylines in one call: Counts[i] points of Points, in
    // order, make polyline i. Counts that would read past Points are cut
    // to the points present; polylines of fewer than 2 points draw nothing.
    virtual void PolyPolyline(const std::vector<TPoint>& Points, const std::vector<int32_t>& Counts) = 0;
    // A closed polygon filled with the brush and outlined with the pen.
    virtual void Polygon(const std::vector<TPoint>& Points) = 0;

    // Formatted text in R with the font, aligned and broken by Flags.
    // Returns the height of the text. With DT_CALCRECT nothing is drawn:
    // R's right and bottom are set to fit the text (for word-broken text
    // the width stays and the bottom grows or shrinks) — the only case in
    // which R is changed.
    virtual int32_t DrawText(const std::string& Text, TRect& R, TDrawTextFlags Flags) = 0;
    // Size of one line of text in the font (no line breaking).
    virtual TSize TextExtent(const std::string& Text) = 0;
    int32_t TextWidth(const std::string& Text) { return TextExtent(Text).Width; }
    int32_t TextHeight(const std::string& Text) { return TextExtent(Text).Height; }

    // Three-dimensional edges on R's sides; with BF_ADJUST, R is shrunk by
    // the width drawn.
    virtual void DrawEdge(TRect& R, TEdgeKind Edge, TEdgeFlags Flags) = 0;
    // A standard control face in R (for cells: a check box, DFC_BUTTON with
    // DFCS_BUTTONCHECK, DFCS_FLAT and DFCS_CHECKED when checked).
    virtual void DrawFrameControl(const TRect& R, TFrameControlKind Kind, TFrameControlState State) = 0;
    // The dotted focus rectangle, drawn by inverting, so a second call
    // removes it.
    virtual void DrawFocusRect(const TRect& R) = 0;
    // Inverts every pixel of R.
    virtual void InvertRect(const TRect& R) = 0;

    // Draws the graphic scaled into R (nothing for an empty graphic).
    virtual void StretchDraw(const TRect& R, const TGraphic& Graphic) = 0;
    // Draws the graphic at its natural size with its top-left at (X, Y).
    virtual void Draw(int32_t X, int32_t Y, const TGraphic& Graphic);
    // Copies of the graphic at its natural size, edge to edge, the first
    // with its top-left at R's: as many as it takes to cover R, the last
    // column and row reaching past R where R is no whole number of copies.
    virtual void DrawTiled(const TRect& R, const TGraphic& Graphic);

    // Clipping. SetClipRect replaces the clip area; IntersectClipRect and
    // ExcludeClipRect narrow it; ResetClip removes all clipping.
    virtual void SetClipRect(const TRect& R) = 0;
    virtual void IntersectClipRect(const TRect& R) = 0;
    virtual void ExcludeClipRect(const TRect& R) = 0;
    virtual void ResetClip() = 0;

    // Saves font, brush, pen, pen position and clipping; Restore brings the
    // last saved state back (nothing when none is saved). Saves nest.
    void Save();
    void Restore();
    int SaveDepth() const { return static_cast<int>(FSaved.size()); }

protected:
    // Draws the pen line from From to To, To excluded.
    virtual void DrawLine(TPoint From, TPoint To) = 0;
    // Push and pop the implementation's clipping state alongside Save and
    // Restore.
    virtual void SaveClip() = 0;
    virtual void RestoreClip() = 0;

private:
    struct TSavedState {
        std::unique_ptr<TFont> Font;
        std::unique_ptr<TBrush> Brush;
        std::unique_ptr<TPen> Pen;
        TPoint PenPos;
    };

    TFont FFont;
    TBrush FBrush;
    TPen FPen;
    TPoint FPenPos;
    std::vector<TSavedState> FSaved;
};

}  // namespace qv
