// TQvView: painting. A paint repaints every pixel of the event rectangle in
// this order: background (base brush and tiled background picture), fills,
// grid lines, contents, hint and design marks, borders, frames, and last the
// selection, which is shown by inverting its region. A selection change
// repaints only the pixels whose inversion changes, which stays consistent
// because inversion is its own inverse.
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <string>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/paint_context.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/union.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "qt/qt_canvas.h"
#include "qt/qt_convert.h"
#include "view/cell_text.h"
#include "view/grid.h"
#include "view/view.h"

namespace qv {

namespace {

// "Unbounded" for a band of title cells: far past any pane's counts.
constexpr int32_t Unbounded = INT32_MAX / 4;

void DrawFrame(TCanvas& Canvas, TRect Q, int32_t Frame) {
    switch (Frame) {
        case frFlatUp: Canvas.DrawEdge(Q, BDR_RAISEDINNER, BF_RECT); break;
        case frFlatDown: Canvas.DrawEdge(Q, BDR_SUNKENINNER, BF_RECT); break;
        case frDeepUp: Canvas.DrawEdge(Q, EDGE_RAISED, BF_RECT | BF_SOFT); break;
        case frDeepDown: Canvas.DrawEdge(Q, EDGE_SUNKEN, BF_RECT); break;
        case frBevelUp: Canvas.DrawEdge(Q, EDGE_BUMP, BF_RECT); break;
        case frBevelDown: Canvas.DrawEdge(Q, EDGE_ETCHED, BF_RECT); break;
        default: break;
    }
}

// Pixel offsets of the boundaries of a run of entries: Edges[k] is the
// first pixel of entry From + k, starting at Start; Edges[Count] is one past
// the run.
std::vector<int32_t> Edges(const TQvSizeList* Sizes, int32_t From, int32_t To, int32_t Start) {
    std::vector<int32_t> e;
    e.reserve(static_cast<size_t>(std::max(0, To - From)) + 1);
    int32_t x = Start;
    e.push_back(x);
    for (int32_t i = From; i < To; ++i) {
        x += Sizes->Size(i);
        e.push_back(x);
    }
    return e;
}

void InvertRegion(TCanvas& Canvas, const QRegion& Region) {
    // The rectangles of a region are disjoint, so inverting each one gives
    // the region's inversion.
    for (const QRect& r : Region) Canvas.InvertRect(FromQRect(r));
}

}  // namespace

// --- paint cycle -----------------------------------------------------------

void TQvView::paintEvent(QPaintEvent* E) {
    // Every pixel comes from this paint; Qt must not erase first.
    if (!testAttribute(Qt::WA_OpaquePaintEvent)) setAttribute(Qt::WA_OpaquePaintEvent);
    QPainter painter(this);
    if (PaintFrozen(painter, E->rect())) return;
    TQtCanvas canvas(&painter, rect());
    try {
        const TRect r = FromQRect(E->rect());
        // 1. The cells under the paint rectangle, grown to whole merged
        //    ranges, and their pixels.
        TRect cells, pixels;
        bool paintCells = false;
        if (FSection && PixelsToCells(r, cells) && !cells.IsEmpty()) {
            cells = ExpandMerged(cells);
            paintCells = CellRectToPixels(cells, paWhole, pixels);
        }
        // 2. Background, then the cells (which end with the selection).
        PaintBackground(canvas, r);
        if (paintCells)
            PaintCells(canvas, cells, pixels);
        else if (FSection)
            // The selection frame reaches past the last cell; its pixels
            // there are repainted here too.
            InvertRegion(canvas, SelectionRegion(FSelRect, FCurrent));
    } catch (const Exception&) {
        // A model error (a value or picture that cannot be shown) ends this
        // paint; what was drawn stays. Programming errors are not caught.
    }
}

// --- sizing feedback ---------------------------------------------------------

bool TQvView::PaintFrozen(QPainter& Painter, const QRect& R) {
    if (FFrozen.isNull()) return false;
    // The picture holds only for the position it was taken at.
    if (FScrollPos != FFrozenScroll) {
        FFrozen = QPixmap();
        return false;
    }
    const qreal ratio = FFrozen.devicePixelRatio();
    Painter.drawPixmap(QRectF(R), FFrozen, QRectF(R.topLeft() * ratio, R.size() * ratio));
    if (SizingLineShown()) {
        // Inverted, as a selection is: it shows on any colour and goes
        // without a trace.
        Painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        Painter.fillRect(SizingLineRect().intersected(R), Qt::black);
    }
    return true;
}

QRect TQvView::SizingLineRect() const {
    const TSize client = ClientSize();
    return FSizingLineAxis == axCols ? QRect(FSizingLine, 0, 1, client.Height) : QRect(0, FSizingLine, client.Width, 1);
}

void TQvView::ShowSizingLine(TQvAxis Axis, int32_t Pos) {
    if (FFrozen.isNull()) {
        // What the cells look like now, without the child widgets over them.
        const qreal ratio = devicePixelRatioF();
        QPixmap picture(size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        render(&picture, QPoint(), QRegion(rect()), QWidget::DrawWindowBackground);
        FFrozen = picture;
        FFrozenScroll = FScrollPos;
    }
    if (SizingLineShown()) update(SizingLineRect());
    FSizingLineAxis = Axis;
    FSizingLine = std::max(0, Pos);
    update(SizingLineRect());
}

void TQvView::HideSizingLine(bool Thaw) {
    if (SizingLineShown()) {
        const QRect line = SizingLineRect();
        FSizingLine = -1;
        // Before thawing, the pixels under the line come back from the
        // picture at once: the new size may move them next.
        if (Thaw) repaint(line);
        else update(line);
    }
    if (Thaw) FFrozen = QPixmap();
}

const TGraphic* TQvView::BackgroundPicture() const {
    if (FKind != skClient || !FGrid->Sheet()) return nullptr;
    const TPicture* picture = FGrid->Sheet()->Background();
    const TGraphic* graphic = picture ? picture->Graphic() : nullptr;
    if (!graphic || graphic->Width() < 1 || graphic->Height() < 1) return nullptr;
    return graphic;
}

void TQvView::PaintBackground(TCanvas& Canvas, const TRect& R) {
    const TQvBaseStyle* base = FSection ? FSection->BaseStyle() : nullptr;
    if (!base) {
        // No sheet: the pane's own colour (the grid's window colour for the
        // client pane, the button face for titles).
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(IsClientPane() ? clWindow : clBtnFace);
        Canvas.FillRect(R);
        return;
    }
    Canvas.Brush().Assign(*base->Brush());
    Canvas.FillRect(R);
    const TGraphic* picture = BackgroundPicture();
    if (!picture) return;
    // Tiles in content coordinates: the picture scrolls with the cells and
    // is anchored at the first cell.
    const int32_t w = picture->Width();
    const int32_t h = picture->Height();
    auto floorDiv = [](int32_t A, int32_t B) { return A >= 0 ? A / B : -((-A + B - 1) / B); };
    const int32_t i0 = floorDiv(R.Left + FScrollPos.X, w);
    const int32_t i1 = floorDiv(R.Right + FScrollPos.X + w - 1, w);
    const int32_t j0 = floorDiv(R.Top + FScrollPos.Y, h);
    const int32_t j1 = floorDiv(R.Bottom + FScrollPos.Y + h - 1, h);
    Canvas.DrawTiled({i0 * w - FScrollPos.X, j0 * h - FScrollPos.Y, i1 * w - FScrollPos.X, j1 * h - FScrollPos.Y}, *picture);
}

// --- cells -----------------------------------------------------------------

// The cells being painted and the pixel edges of their columns and rows.
struct TQvView::TPaintGrid {
    TRect Cells;   // cell coordinates
    TRect Pixels;  // client pixels
    std::vector<int32_t> Xs, Ys;

    int32_t ColX(int32_t C) const { return Xs[static_cast<size_t>(C - Cells.Left)]; }
    int32_t RowY(int32_t R) const { return Ys[static_cast<size_t>(R - Cells.Top)]; }
    TRect CellPixels(int32_t C, int32_t R) const { return {ColX(C), RowY(R), ColX(C + 1), RowY(R + 1)}; }
    // The pixels of merged range U up to the edge of the painted cells.
    TRect RangePixels(const TQvUnion& U) const {
        const TRect ur = U.Rect().Intersected(Cells);
        return {ColX(ur.Left), RowY(ur.Top), ColX(ur.Right), RowY(ur.Bottom)};
    }
};

void TQvView::PaintCells(TCanvas& Canvas, const TRect& CR, const TRect& P) {
    const TPaintGrid g{CR, P, Edges(FColSizes, CR.Left, CR.Right, P.Left), Edges(FRowSizes, CR.Top, CR.Bottom, P.Top)};
    PaintFills(Canvas, g);
    PaintGridLines(Canvas, g);
    // Fills no longer excluded.
    Canvas.ResetClip();
    PaintContents(Canvas, g);
    if (FGrid->HasOption(oAutoTitles)) PaintAutoTitles(Canvas, CR, g.Xs, g.Ys);
    if (IsClientPane()) PaintBorders(Canvas, g);
    PaintDiagonals(Canvas, g);
    PaintFrames(Canvas, g);
    // The selection, inverted last.
    InvertRegion(Canvas, SelectionRegion(FSelRect, FCurrent));
}

void TQvView::PaintFills(TCanvas& Canvas, const TPaintGrid& G) {
    // Runs of equal fill along each row; each run is then excluded from the
    // clip so grid lines stay off filled cells.
    Canvas.Brush().SetStyle(bsSolid);
    for (int32_t r = G.Cells.Top; r < G.Cells.Bottom; ++r) {
        if (G.RowY(r + 1) == G.RowY(r)) continue;
        for (const TQvRun& run : FSection->FillRuns(r, G.Cells.Left, G.Cells.Right)) {
            const TRect q{G.ColX(run.From), G.RowY(r), G.ColX(run.To), G.RowY(r + 1)};
            if (q.IsEmpty()) continue;
            Canvas.Brush().SetColor(LineColor(run.Value));
            Canvas.FillRect(q);
            Canvas.ExcludeClipRect(q);
        }
    }
}

void TQvView::PaintGridLines(TCanvas& Canvas, const TPaintGrid& G) {
    // On the last pixel column and row of every cell.
    const TQvBaseStyle* base = FSection->BaseStyle();
    const TQvOptions options = FGrid->Options();
    if (!base || base->Color() == base->GridColor() || FGrid->Scale() < TQvGrid::MinScale ||
        !(options & (oVertLines | oHorzLines)))
        return;
    // No lines inside merged ranges; their own right and bottom lines stay.
    for (const auto& u : FSection->Unions()) {
        TRect px;
        if (u->Rect().Intersects(G.Cells) && CellRectToPixels(u->Rect(), paWhole, px))
            Canvas.ExcludeClipRect({px.Left, px.Top, px.Right - 1, px.Bottom - 1});
    }
    Canvas.Pen().SetColor(base->GridColor());
    Canvas.Pen().SetWidth(0);
    Canvas.Pen().SetStyle(psSolid);
    std::vector<TPoint> points;
    std::vector<int32_t> counts;
    const TRect& p = G.Pixels;
    if (options & oVertLines) {
        for (int32_t x : G.Xs) {
            if (x - 1 >= p.Right) break;
            points.push_back({x - 1, p.Top});
            points.push_back({x - 1, p.Bottom});
            counts.push_back(2);
        }
        Canvas.PolyPolyline(points, counts);
    }
    if (options & oHorzLines) {
        points.clear();
        counts.clear();
        for (int32_t y : G.Ys) {
            if (y - 1 >= p.Bottom) break;
            points.push_back({p.Left, y - 1});
            points.push_back({p.Right, y - 1});
            counts.push_back(2);
        }
        Canvas.PolyPolyline(points, counts);
    }
}

void TQvView::PaintContents(TCanvas& Canvas, const TPaintGrid& G) {
    // Contents, hint marks and design marks, cell by cell; a merged range
    // paints its cell once over its whole rectangle.
    const bool design = FGrid->DesignMode();
    const int32_t lastRow = std::min(G.Cells.Bottom, FSection->Last() + 1);
    for (int32_t r = G.Cells.Top; r < lastRow; ++r) {
        const TQvRow* row = FSection->Rows(r);
        if (!row) continue;
        const int32_t end = std::min(G.Cells.Right, row->Last() + 1);
        for (int32_t c = G.Cells.Left; c < end;) {
            TRect q = G.CellPixels(c, r);
            TQvCell* cell = nullptr;
            int32_t next = c + 1;
            if (const TQvUnion* u = FSection->FindUnionAt({c, r}, true)) {
                if (u->TopLeft() == TPoint{c, r}) {
                    q = G.RangePixels(*u);
                    cell = u->Cell();
                    next = std::max(next, u->Rect().Intersected(G.Cells).Right);
                }
            } else {
                cell = row->Cells(c);
            }
            if (cell) PaintCellContent(Canvas, cell, q, design);
            c = next;
        }
    }
}

void TQvView::PaintBorders(TCanvas& Canvas, const TPaintGrid& G) {
    // Vertical line i lies on the left of column i, horizontal line i above
    // row i. Each segment runs from the last pixel of its own cell toward
    // that of the previous one, which is left out.
    auto drawLine = [&](TQvLine V, TPoint From, TPoint To) {
        const TQvLineInfo info = UnpackLine(V);
        if (info.Style == lsNone) return;
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetWidth(info.Style);
        Canvas.Pen().SetColor(info.Color);
        Canvas.MoveTo(From.X, From.Y);
        Canvas.LineTo(To.X, To.Y);
    };
    const TRect& cr = G.Cells;
    for (int32_t i = cr.Left; i <= cr.Right; ++i) {
        if (i > 0 && FColSizes->Size(i - 1) == 0) continue;
        const int32_t x = G.ColX(i) - 1;
        for (const TQvRun& run : FSection->VertLineRuns(i, cr.Top, cr.Bottom))
            for (int32_t j = run.From; j < run.To; ++j)
                if (G.RowY(j + 1) != G.RowY(j)) drawLine(run.Value, {x, G.RowY(j + 1) - 1}, {x, G.RowY(j) - 1});
    }
    for (int32_t i = cr.Top; i <= cr.Bottom; ++i) {
        if (i > 0 && FRowSizes->Size(i - 1) == 0) continue;
        const int32_t y = G.RowY(i) - 1;
        for (const TQvRun& run : FSection->HorzLineRuns(i, cr.Left, cr.Right))
            for (int32_t j = run.From; j < run.To; ++j)
                if (G.ColX(j + 1) != G.ColX(j)) drawLine(run.Value, {G.ColX(j + 1) - 1, y}, {G.ColX(j) - 1, y});
    }
}

void TQvView::PaintDiagonals(TCanvas& Canvas, const TPaintGrid& G) {
    // A merged range is crossed once, with the value of its top-left cell;
    // each line stays inside its cell or range.
    for (const bool second : {false, true}) {
        for (int32_t r = G.Cells.Top; r < G.Cells.Bottom; ++r) {
            for (const TQvRun& run : FSection->DiagonalRuns(second, r, G.Cells.Left, G.Cells.Right)) {
                const TQvLineInfo info = UnpackLine(run.Value);
                if (info.Style == lsNone) continue;
                for (int32_t c = run.From; c < run.To; ++c) {
                    TRect q = G.CellPixels(c, r);
                    if (const TQvUnion* u = FSection->FindUnionAt({c, r}, true)) {
                        if (u->TopLeft() != TPoint{c, r}) continue;
                        q = G.RangePixels(*u);
                    }
                    if (q.IsEmpty()) continue;
                    Canvas.Save();
                    Canvas.IntersectClipRect(q);
                    Canvas.Pen().SetStyle(psSolid);
                    Canvas.Pen().SetWidth(info.Style);
                    Canvas.Pen().SetColor(info.Color);
                    const int32_t top = second ? q.Bottom - 1 : q.Top;
                    const int32_t bottom = second ? q.Top : q.Bottom - 1;
                    // LineTo leaves out the end point: aim one pixel beyond.
                    Canvas.MoveTo(q.Left, top);
                    Canvas.LineTo(q.Right, second ? bottom - 1 : bottom + 1);
                    Canvas.Restore();
                }
            }
        }
    }
}

void TQvView::PaintFrames(TCanvas& Canvas, const TPaintGrid& G) {
    // Three-dimensional frames, one per cell or merged range.
    for (int32_t r = G.Cells.Top; r < G.Cells.Bottom; ++r) {
        for (int32_t c = G.Cells.Left; c < G.Cells.Right; ++c) {
            TRect q = G.CellPixels(c, r);
            if (const TQvUnion* u = FSection->FindUnionAt({c, r}, true)) {
                if (u->TopLeft() != TPoint{c, r}) continue;
                q = G.RangePixels(*u);
            }
            if (q.IsEmpty()) continue;
            DrawFrame(Canvas, q, FrameAt(c, r));
        }
    }
}

std::string TQvView::ColumnLetters(int32_t Index) {
    std::string s;
    for (int64_t n = int64_t(Index) + 1; n > 0; n = (n - 1) / 26) s.insert(s.begin(), char('A' + (n - 1) % 26));
    return s;
}

int32_t TQvView::FrameAt(int32_t Col, int32_t Row) const {
    // With three-dimensional looks, title panes other than the active one
    // show the selected columns and rows as raised buttons; flat, every
    // title cell keeps its own frame.
    const bool titleButtons = !IsClientPane() && FGrid->Ctl3D() && FGrid->ActiveView() != this;
    return titleButtons ? TitleFrame(Col, Row) : FSection->AreaValue(Col, Row);
}

// Column letters in the title row next to the cells, row numbers in the title
// column next to them, wherever the title cell there holds no cell.
void TQvView::PaintAutoTitles(TCanvas& Canvas, const TRect& CR, const std::vector<int32_t>& Xs,
                              const std::vector<int32_t>& Ys) {
    const bool letters = FKind == skColTitles;
    if (!letters && FKind != skRowTitles) return;
    const int32_t line = letters ? RowCount() - 1 : ColCount() - 1;
    if (line < (letters ? CR.Top : CR.Left) || line >= (letters ? CR.Bottom : CR.Right)) return;
    static const TFont fallback;
    TQvBaseStyle* base = FSection->BaseStyle();
    Canvas.Font().Assign(base ? *base->Font() : fallback);
    ScaleFont(Canvas.Font(), FGrid->Scale());
    Canvas.Brush().SetStyle(bsClear);
    const int32_t from = letters ? CR.Left : CR.Top;
    const int32_t to = letters ? CR.Right : CR.Bottom;
    for (int32_t i = from; i < to; ++i) {
        const TPoint at = letters ? TPoint{i, line} : TPoint{line, i};
        if (FSection->FindCell(at) || FSection->FindUnionAt(at, true)) continue;
        const TRect q{Xs[static_cast<size_t>(at.X - CR.Left)], Ys[static_cast<size_t>(at.Y - CR.Top)],
                      Xs[static_cast<size_t>(at.X + 1 - CR.Left)], Ys[static_cast<size_t>(at.Y + 1 - CR.Top)]};
        if (q.IsEmpty()) continue;
        TRect t = FrameInset(q, FrameAt(at.X, at.Y));
        Canvas.IntersectClipRect(q);
        Canvas.DrawText(letters ? ColumnLetters(i) : std::to_string(int64_t(i) + 1), t,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        Canvas.ResetClip();
    }
}

void TQvView::PaintCellContent(TCanvas& Canvas, TQvCell* Cell, const TRect& Q, bool Design) {
    const TPoint at{Cell->Col(), Cell->Row() ? Cell->Row()->Index() : 0};
    if (Design || Cell->Showing()) {
        // The text rectangle: inside the frame, narrowed by the indent.
        TRect t = FrameInset(Q, FSection->AreaValue(at.X, at.Y));
        const TFont& font = CellFont(Cell);
        TQvPaintContext context;
        context.Canvas = &Canvas;
        context.SetLayout(Cell->Layout());
        context.Font = const_cast<TFont*>(&font);
        context.ErrorColor = FSection->BaseStyle() ? FSection->BaseStyle()->ErrorColor() : clRed;
        context.Scale = FGrid->Scale();
        t.Left += context.Indent;
        t.Right -= context.Indent;
        try {
            if (Cell->HasState(psTextDirty)) Cell->UpdateText();
            Canvas.Font().Assign(font);
            ScaleFont(Canvas.Font(), context.Scale);
            if (Cell->HasState(psError)) Canvas.Font().SetColor(context.ErrorColor);
            Canvas.IntersectClipRect(Q);
            Cell->DrawValue(context, t);
            if (FShowHint && !Cell->GetHint().empty()) {
                Canvas.Brush().SetStyle(bsSolid);
                Canvas.Brush().SetColor(clRed);
                Canvas.Pen().SetStyle(psSolid);
                Canvas.Pen().SetWidth(1);
                Canvas.Pen().SetColor(clRed);
                Canvas.Polygon({{Q.Right - 4, Q.Top}, {Q.Right - 1, Q.Top}, {Q.Right - 1, Q.Top + 3}});
            }
        } catch (const Exception&) {
            // A value that cannot be shown (a failed conversion of its text)
            // leaves the cell empty; the paint goes on.
        }
        Canvas.ResetClip();
    }
    Cell->ExcludeState(psInvalidated);
    if (Design && Cell->Protected()) Canvas.InvertRect({Q.Left, Q.Top, Q.Left + 3, Q.Top + 3});
}

// --- titles and selection --------------------------------------------------

int TQvView::TitleFrame(int32_t Col, int32_t Row) const {
    if (!FSection) return frNoFrame;
    const TRect s = FGrid->Views(skClient) ? FGrid->Views(skClient)->SelRect() : TRect{};
    switch (FKind) {
        case skColTitles: {
            if (s.IsEmpty()) break;
            const TRect band = FSection->ExpandToUnions({s.Left, 0, s.Right, Unbounded});
            if (Col >= band.Left && Col < band.Right) return frDeepUp;
            break;
        }
        case skRowTitles: {
            if (s.IsEmpty()) break;
            const TRect band = FSection->ExpandToUnions({0, s.Top, Unbounded, s.Bottom});
            if (Row >= band.Top && Row < band.Bottom) return frDeepUp;
            break;
        }
        case skCorner: return frDeepUp;
        default: break;
    }
    return FSection->AreaValue(Col, Row);
}

QRegion TQvView::SelectionRegion(const TRect& Sel, TPoint Cur) const {
    if (Sel.IsEmpty()) return QRegion();
    const TSize client = ClientSize();
    // Far-away coordinates are pulled in to just outside the pane, so huge
    // selections keep small regions and frames outside stay outside.
    auto limit = [&](TRect R) {
        auto clamp = [](int32_t V, int32_t Hi) { return std::clamp(V, -10, Hi + 10); };
        return QRect(QPoint(clamp(R.Left, client.Width), clamp(R.Top, client.Height)),
                     QPoint(clamp(R.Right, client.Width) - 1, clamp(R.Bottom, client.Height) - 1));
    };
    TRect a;
    if (FGrid->ActiveView() != this) {
        if (!CellRectToPixels(Sel, paWhole, a)) return QRegion();
        return QRegion(limit(a));
    }
    if (!CellRectToPixels(Sel, paInsideSelFrame, a)) return QRegion();
    const QRect inside = limit(a);
    QRegion region(inside);
    if (FGrid->Ctl3D()) {
        // The frame: three pixels around the selection, and its inside but
        // for a one-pixel margin.
        region = region.xored(QRegion(inside.adjusted(-3, -3, 3, 3)));
        const QRect deflated = inside.adjusted(1, 1, -1, -1);
        if (deflated.isValid()) region = region.xored(QRegion(deflated));
    }
    if (FGrid->Options() & (oDrawFocus | oPermEdit)) {
        TRect current;
        if (CellRectToPixels(ExpandMerged({Cur.X, Cur.Y, Cur.X + 1, Cur.Y + 1}), paInsideCurFrame, current) && !current.IsEmpty())
            region = region.xored(QRegion(limit(current)));
    }
    return region;
}

void TQvView::ChangeSelection(const TRect& NewSel, TPoint OldCurrent) {
    // Only the pixels whose inversion changes are repainted.
    const QRegion changed = SelectionRegion(FSelRect, OldCurrent).xored(SelectionRegion(NewSel, FCurrent));
    const TRect old = FSelRect;
    FSelRect = NewSel;
    if (!changed.isEmpty()) update(changed);
    // The title buttons of the selected columns and rows follow the client
    // pane's selection.
    if (IsClientPane() && FGrid->ActiveView() == this && FGrid->Ctl3D()) {
        TRect u = NewSel;
        if (u.IsEmpty())
            u = old;
        else if (!old.IsEmpty())
            u = {std::min(u.Left, old.Left), std::min(u.Top, old.Top), std::max(u.Right, old.Right),
                 std::max(u.Bottom, old.Bottom)};
        if (u.IsEmpty()) return;
        if (NewSel.Left != old.Left || NewSel.Right != old.Right)
            if (TQvView* titles = FGrid->Views(skColTitles))
                titles->InvalidateCells({u.Left, 0, u.Right, titles->RowCount()}, true, raCells);
        if (NewSel.Top != old.Top || NewSel.Bottom != old.Bottom)
            if (TQvView* titles = FGrid->Views(skRowTitles))
                titles->InvalidateCells({0, u.Top, titles->ColCount(), u.Bottom}, true, raCells);
    }
}

void TQvView::SetShowHint(bool V) {
    if (FShowHint == V) return;
    FShowHint = V;
    InvalidatePane();
}

}  // namespace qv
