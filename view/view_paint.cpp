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
#include "platform/font.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "qt/qt_canvas.h"
#include "qt/qt_convert.h"
#include "qt/qt_picture.h"
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
    if (auto* qt = dynamic_cast<TQtCanvas*>(&Canvas)) {
        qt->InvertRegion(Region);
        return;
    }
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
            paintCells = CellRectToPixels(cells, 0, pixels);
        }
        // 2. Background, then the cells (which end with the selection).
        PaintBackground(canvas, r);
        if (paintCells)
            PaintCells(canvas, cells, pixels);
        else if (FSection)
            // The selection frame reaches past the last cell; its pixels
            // there are repainted here too.
            InvertRegion(canvas, SelectionRegion(FSelRect, FCurrent));
    } catch (...) {
        // Painting never raises; what was drawn stays.
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
    if (auto* qt = dynamic_cast<TQtCanvas*>(&Canvas)) {
        // The same tiles in one call: a tiny picture would otherwise take a
        // draw call per tile.
        const QImage image = GraphicToImage(*picture);
        if (image.isNull()) return;
        const QPixmap tile = QPixmap::fromImage(image.scaled(w, h));
        qt->Painter()->drawTiledPixmap(QRect(i0 * w - FScrollPos.X, j0 * h - FScrollPos.Y, (i1 - i0) * w, (j1 - j0) * h),
                                       tile);
        return;
    }
    for (int32_t i = i0; i < i1; ++i)
        for (int32_t j = j0; j < j1; ++j) Canvas.Draw(i * w - FScrollPos.X, j * h - FScrollPos.Y, *picture);
}

// --- cells -----------------------------------------------------------------

void TQvView::PaintCells(TCanvas& Canvas, const TRect& CR, const TRect& P) {
    const TQvBaseStyle* base = FSection->BaseStyle();
    const std::vector<int32_t> xs = Edges(FColSizes, CR.Left, CR.Right, P.Left);
    const std::vector<int32_t> ys = Edges(FRowSizes, CR.Top, CR.Bottom, P.Top);
    auto colX = [&](int32_t C) { return xs[static_cast<size_t>(C - CR.Left)]; };
    auto rowY = [&](int32_t R) { return ys[static_cast<size_t>(R - CR.Top)]; };

    // 1. Fills, merged into runs of equal value along each row; each run is
    //    then excluded from the clip so grid lines stay off filled cells.
    if (const TListSList* fills = FSection->Tables(4)) {
        Canvas.Brush().SetStyle(bsSolid);
        for (int32_t r = CR.Top; r < CR.Bottom; ++r) {
            const TSList* row = fills->List(r);
            if (!row || rowY(r + 1) == rowY(r)) continue;
            const int32_t end = std::min(CR.Right, row->Last() + 1);
            int32_t runStart = CR.Left;
            auto flush = [&](int32_t From, int32_t To) {
                const TQvLine v = static_cast<TQvLine>(row->Items(From));
                const TRect q{colX(From), rowY(r), colX(To), rowY(r + 1)};
                if (v == 0 || q.IsEmpty()) return;
                // The style bits of a fill value are not part of its colour.
                Canvas.Brush().SetColor(static_cast<TColor>(v & 0x9FFFFFFFu));
                Canvas.FillRect(q);
                Canvas.ExcludeClipRect(q);
            };
            for (int32_t c = CR.Left + 1; c < end; ++c)
                if (row->Items(c) != row->Items(runStart)) {
                    flush(runStart, c);
                    runStart = c;
                }
            if (runStart < end) flush(runStart, end);
        }
    }

    // 2. Grid lines on the last pixel column and row of every cell.
    const TQvOptions options = FGrid->Options();
    if (base && base->Color() != base->GridColor() && FGrid->Scale() >= TQvGrid::MinScale &&
        (options & (oVertLines | oHorzLines))) {
        // No lines inside merged ranges; their own right and bottom lines stay.
        for (const auto& u : FSection->Unions()) {
            TRect px;
            if (u->Rect().Intersects(CR) && CellRectToPixels(u->Rect(), 0, px))
                Canvas.ExcludeClipRect({px.Left, px.Top, px.Right - 1, px.Bottom - 1});
        }
        Canvas.Pen().SetColor(base->GridColor());
        Canvas.Pen().SetWidth(0);
        Canvas.Pen().SetStyle(psSolid);
        std::vector<TPoint> points;
        std::vector<int32_t> counts;
        if (options & oVertLines) {
            for (int32_t x : xs) {
                if (x - 1 >= P.Right) break;
                points.push_back({x - 1, P.Top});
                points.push_back({x - 1, P.Bottom});
                counts.push_back(2);
            }
            Canvas.PolyPolyline(points, counts);
        }
        if (options & oHorzLines) {
            points.clear();
            counts.clear();
            for (int32_t y : ys) {
                if (y - 1 >= P.Bottom) break;
                points.push_back({P.Left, y - 1});
                points.push_back({P.Right, y - 1});
                counts.push_back(2);
            }
            Canvas.PolyPolyline(points, counts);
        }
    }

    // 3. Fills no longer excluded.
    Canvas.ResetClip();

    // 4. Contents, hint marks and design marks, cell by cell.
    const bool design = FGrid->DesignMode();
    const int32_t lastRow = std::min(CR.Bottom, FSection->Last() + 1);
    for (int32_t r = CR.Top; r < lastRow; ++r) {
        const TQvRow* row = FSection->Rows(r);
        if (!row) continue;
        const int32_t end = std::min(CR.Right, row->Last() + 1);
        for (int32_t c = CR.Left; c < end;) {
            TRect q{colX(c), rowY(r), colX(c + 1), rowY(r + 1)};
            TQvCell* cell = nullptr;
            int32_t next = c + 1;
            if (const TQvUnion* u = FSection->FindUnionAt({c, r}, true)) {
                if (u->TopLeft() == TPoint{c, r}) {
                    const TRect ur = u->Rect().Intersected(CR);
                    q.Right = colX(ur.Right);
                    q.Bottom = rowY(ur.Bottom);
                    cell = u->Cell();
                    next = std::max(next, ur.Right);
                }
            } else {
                cell = row->Cells(c);
            }
            if (cell) PaintCellContent(Canvas, cell, q, design);
            c = next;
        }
    }

    // 4b. Automatic titles in the title cells that hold no cell.
    if (FGrid->HasOption(oAutoTitles)) PaintAutoTitles(Canvas, CR, xs, ys);

    // 5. Borders (client pane only): table 0 holds the vertical lines, line i
    //    on the left of column i; table 1 the horizontal lines, line i above
    //    row i. Each segment runs from the last pixel of its own cell toward
    //    that of the previous one, which is left out.
    if (IsClientPane()) {
        auto drawLine = [&](TQvLine V, TPoint From, TPoint To) {
            const TQvLineInfo info = UnpackLine(V);
            if (info.Style == lsNone) return;
            Canvas.Pen().SetStyle(psSolid);
            Canvas.Pen().SetWidth(info.Style);
            Canvas.Pen().SetColor(info.Color);
            Canvas.MoveTo(From.X, From.Y);
            Canvas.LineTo(To.X, To.Y);
        };
        if (const TListSList* vert = FSection->Tables(0)) {
            for (int32_t i = CR.Left; i <= CR.Right; ++i) {
                const TSList* list = vert->List(i);
                if (!list || (i > 0 && FColSizes->Size(i - 1) == 0)) continue;
                const int32_t x = colX(i) - 1;
                const int32_t last = std::min(CR.Bottom - 1, list->Last());
                for (int32_t j = CR.Top; j <= last; ++j)
                    if (rowY(j + 1) != rowY(j)) drawLine(static_cast<TQvLine>(list->Items(j)), {x, rowY(j + 1) - 1}, {x, rowY(j) - 1});
            }
        }
        if (const TListSList* horz = FSection->Tables(1)) {
            for (int32_t i = CR.Top; i <= CR.Bottom; ++i) {
                const TSList* list = horz->List(i);
                if (!list || (i > 0 && FRowSizes->Size(i - 1) == 0)) continue;
                const int32_t y = rowY(i) - 1;
                const int32_t last = std::min(CR.Right - 1, list->Last());
                for (int32_t j = CR.Left; j <= last; ++j)
                    if (colX(j + 1) != colX(j)) drawLine(static_cast<TQvLine>(list->Items(j)), {colX(j + 1) - 1, y}, {colX(j) - 1, y});
            }
        }
    }

    // 6. Three-dimensional frames.
    for (int32_t r = CR.Top; r < CR.Bottom; ++r) {
        for (int32_t c = CR.Left; c < CR.Right; ++c) {
            TRect q{colX(c), rowY(r), colX(c + 1), rowY(r + 1)};
            if (const TQvUnion* u = FSection->FindUnionAt({c, r}, true)) {
                if (u->TopLeft() != TPoint{c, r}) continue;
                const TRect ur = u->Rect().Intersected(CR);
                q.Right = colX(ur.Right);
                q.Bottom = rowY(ur.Bottom);
            }
            if (q.IsEmpty()) continue;
            DrawFrame(Canvas, q, FrameAt(c, r));
        }
    }

    // 7. The selection, inverted last.
    InvertRegion(Canvas, SelectionRegion(FSelRect, FCurrent));
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
        } catch (...) {
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
        if (!CellRectToPixels(Sel, 0, a)) return QRegion();
        return QRegion(limit(a));
    }
    if (!CellRectToPixels(Sel, 1, a)) return QRegion();
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
        if (CellRectToPixels(ExpandMerged({Cur.X, Cur.Y, Cur.X + 1, Cur.Y + 1}), 2, current) && !current.IsEmpty())
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
                titles->InvalidateCells({u.Left, 0, u.Right, titles->RowCount()}, true, 0);
        if (NewSel.Top != old.Top || NewSel.Bottom != old.Bottom)
            if (TQvView* titles = FGrid->Views(skRowTitles))
                titles->InvalidateCells({0, u.Top, titles->ColCount(), u.Bottom}, true, 0);
    }
}

void TQvView::SetShowHint(bool V) {
    if (FShowHint == V) return;
    FShowHint = V;
    InvalidatePane();
}

}  // namespace qv
