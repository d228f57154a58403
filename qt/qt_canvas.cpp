#include "qt/qt_canvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

#include "platform/graphic.h"
#include "qt/qt_convert.h"
#include "qt/qt_picture.h"

namespace qv {

namespace {

// On/off run lengths of the patterned pen styles, in pixels.
const std::vector<int>& PenPattern(TPenStyle Style) {
    static const std::vector<int> solid;
    static const std::vector<int> dash{6, 2};
    static const std::vector<int> dot{1, 1};
    static const std::vector<int> dashDot{6, 2, 1, 2};
    static const std::vector<int> dashDotDot{6, 2, 1, 2, 1, 2};
    switch (Style) {
        case psDash: return dash;
        case psDot: return dot;
        case psDashDot: return dashDot;
        case psDashDotDot: return dashDotDot;
        default: return solid;
    }
}

// Tabs to spaces, stops every eight characters.
QString ExpandTabs(const QString& S) {
    if (!S.contains(QLatin1Char('\t'))) return S;
    QString r;
    int column = 0;
    for (QChar c : S) {
        if (c == QLatin1Char('\t')) {
            do {
                r += QLatin1Char(' ');
                ++column;
            } while (column % 8 != 0);
        } else {
            r += c;
            column = (c == QLatin1Char('\n')) ? 0 : column + 1;
        }
    }
    return r;
}

// Removes mnemonic prefixes: "&&" stays one ampersand, "&x" becomes "x".
QString StripPrefixes(const QString& S) {
    QString r;
    for (int i = 0; i < S.size(); ++i) {
        if (S[i] == QLatin1Char('&') && i + 1 < S.size()) ++i;
        r += S[i];
    }
    return r;
}

// Greedy breaking at spaces; a word wider than Width keeps a line of its own
// and overflows rather than being cut.
void BreakWords(const QString& Paragraph, int Width, const QFontMetrics& Fm, std::vector<QString>& Lines) {
    if (Paragraph.isEmpty()) {
        Lines.push_back(Paragraph);
        return;
    }
    QString line;
    int i = 0;
    const int n = static_cast<int>(Paragraph.size());
    while (i < n) {
        int start = i;
        while (i < n && Paragraph[i] == QLatin1Char(' ')) ++i;
        const QString spaces = Paragraph.mid(start, i - start);
        start = i;
        while (i < n && Paragraph[i] != QLatin1Char(' ')) ++i;
        const QString word = Paragraph.mid(start, i - start);
        const QString candidate = line + spaces + word;
        if (line.isEmpty() || Fm.horizontalAdvance(candidate) <= Width) {
            line = candidate;
        } else {
            Lines.push_back(line);
            line = word;
        }
    }
    Lines.push_back(line);
}

}  // namespace

TQtCanvas::TQtCanvas(QPainter* Painter, const QRect& Bounds) : FPainter(Painter), FBounds(Bounds) {
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setBackgroundMode(Qt::TransparentMode);
}

TQtCanvas::~TQtCanvas() = default;

const QFont& TQtCanvas::QtFont() {
    if (!FFontValid || !FFontKey.Equals(Font())) {
        FFontKey.Assign(Font());
        FQtFont = ToQFont(Font());
        FFontValid = true;
    }
    return FQtFont;
}

// --- fills and lines -----------------------------------------------------

void TQtCanvas::FillRect(const TRect& R) {
    if (R.IsEmpty() || Brush().Style() == bsClear) return;
    const QColor color = ToQColor(Brush().Color());
    if (color.alpha() == 0) return;
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (Brush().Style()) {
        case bsHorizontal: style = Qt::HorPattern; break;
        case bsVertical: style = Qt::VerPattern; break;
        case bsFDiagonal: style = Qt::FDiagPattern; break;
        case bsBDiagonal: style = Qt::BDiagPattern; break;
        case bsCross: style = Qt::CrossPattern; break;
        case bsDiagCross: style = Qt::DiagCrossPattern; break;
        default: break;
    }
    FPainter->fillRect(ToQRect(R), QBrush(color, style));
}

void TQtCanvas::DrawLine(TPoint From, TPoint To) {
    if (Pen().Style() == psClear || From == To) return;
    const QColor color = ToQColor(Pen().Color());
    if (color.alpha() == 0) return;
    const int w = std::max<int32_t>(1, Pen().Width());
    if (From.X != To.X && From.Y != To.Y) {
        if (w == 1) {
            // Slanted one-pixel lines step pixel by pixel (Bresenham), the
            // end point left out like every other line.
            const std::vector<int>& pattern = PenPattern(Pen().Style());
            const int32_t dx = std::abs(To.X - From.X), dy = -std::abs(To.Y - From.Y);
            const int32_t sx = From.X < To.X ? 1 : -1, sy = From.Y < To.Y ? 1 : -1;
            int32_t err = dx + dy, x = From.X, y = From.Y;
            size_t k = 0;
            int left = pattern.empty() ? 0 : pattern[0];
            while (x != To.X || y != To.Y) {
                if (pattern.empty() || k % 2 == 0) FPainter->fillRect(QRect(x, y, 1, 1), color);
                if (!pattern.empty() && --left == 0) {
                    k = (k + 1) % pattern.size();
                    left = pattern[k];
                }
                const int32_t e2 = 2 * err;
                if (e2 >= dy) {
                    err += dy;
                    x += sx;
                }
                if (e2 <= dx) {
                    err += dx;
                    y += sy;
                }
            }
            return;
        }
        QPen pen(color, w, Pen().Style() == psSolid ? Qt::SolidLine : Qt::DotLine, Qt::FlatCap);
        FPainter->save();
        FPainter->setPen(pen);
        FPainter->drawLine(From.X, From.Y, To.X, To.Y);
        FPainter->restore();
        return;
    }
    const bool vertical = From.X == To.X;
    const int32_t a = vertical ? From.Y : From.X;
    const int32_t b = vertical ? To.Y : To.X;
    // Pixels [first, last) along the line: the start is drawn, the end not.
    int32_t first = a < b ? a : b + 1;
    int32_t last = a < b ? b : a + 1;
    const int before = w / 2;
    if (w > 1) {
        // Wide pens reach past both ends by half their width, so borders of
        // neighbouring sides meet at their corners.
        first -= before;
        last += w - 1 - before;
    }
    const int32_t across = (vertical ? From.X : From.Y) - before;
    auto run = [&](int32_t from, int32_t to) {
        if (vertical)
            FPainter->fillRect(QRect(across, from, w, to - from), color);
        else
            FPainter->fillRect(QRect(from, across, to - from, w), color);
    };
    const std::vector<int>& pattern = PenPattern(Pen().Style());
    if (pattern.empty()) {
        run(first, last);
        return;
    }
    size_t k = 0;
    for (int32_t p = first; p < last; k = (k + 1) % pattern.size()) {
        const int32_t end = std::min<int32_t>(last, p + pattern[k]);
        if (k % 2 == 0) run(p, end);
        p = end;
    }
}

void TQtCanvas::PolyPolyline(const std::vector<TPoint>& Points, const std::vector<int32_t>& Counts) {
    size_t start = 0;
    for (int32_t count : Counts) {
        if (start >= Points.size()) break;
        const size_t n = std::min(Points.size() - start, static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 1; i < n; ++i) DrawLine(Points[start + i - 1], Points[start + i]);
        start += n;
    }
}

void TQtCanvas::Polygon(const std::vector<TPoint>& Points) {
    if (Points.size() < 2) return;
    // The inside with the brush, then the closed outline with the pen's own
    // line drawing, so every vertex and edge pixel is covered.
    const QColor brush = ToQColor(Brush().Color());
    if (Points.size() >= 3 && Brush().Style() != bsClear && brush.alpha() != 0) {
        QPolygon polygon;
        for (TPoint p : Points) polygon << QPoint(p.X, p.Y);
        FPainter->save();
        FPainter->setPen(Qt::NoPen);
        FPainter->setBrush(brush);
        FPainter->drawPolygon(polygon);
        FPainter->restore();
    }
    for (size_t i = 0; i < Points.size(); ++i) DrawLine(Points[i], Points[(i + 1) % Points.size()]);
}

// --- text ----------------------------------------------------------------

int32_t TQtCanvas::DrawText(const std::string& Text, TRect& R, TDrawTextFlags Flags) {
    const QFont& font = QtFont();
    const QFontMetrics fm(font);
    QString text = QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
    if (!(Flags & DT_NOPREFIX)) text = StripPrefixes(text);
    if (Flags & DT_EXPANDTABS) text = ExpandTabs(text);

    // 1. Lines: one for single-line text, else one per paragraph, broken
    //    at spaces to R's width with word breaking.
    std::vector<QString> lines;
    const int width = std::max<int32_t>(0, R.Width());
    if (Flags & DT_SINGLELINE) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.push_back(text);
    } else {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
            if (Flags & DT_WORDBREAK)
                BreakWords(paragraph, width, fm, lines);
            else
                lines.push_back(paragraph);
        }
    }
    // 2. Ellipsis: a line wider than R ends in "..." instead.
    if (Flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        for (QString& line : lines)
            if (fm.horizontalAdvance(line) > width)
                line = fm.elidedText(line, (Flags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight, width);

    const int lineHeight = fm.height() + ((Flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight;

    // 3. Measuring only.
    if (Flags & DT_CALCRECT) {
        if (!(Flags & DT_WORDBREAK) || (Flags & DT_SINGLELINE)) {
            int widest = 0;
            for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
            R.Right = R.Left + widest;
        }
        R.Bottom = R.Top + height;
        return height;
    }

    // 4. Vertical placement applies to single lines only.
    int32_t top = R.Top;
    if (Flags & DT_SINGLELINE) {
        if (Flags & DT_VCENTER)
            top = (R.Top + R.Bottom - height) / 2;
        else if (Flags & DT_BOTTOM)
            top = R.Bottom - height;
    }
    const QColor color = ToQColor(Font().Color());
    if (color.alpha() == 0) return height;

    FPainter->save();
    if (!(Flags & DT_NOCLIP)) FPainter->setClipRect(ToQRect(R), FClipped ? Qt::IntersectClip : Qt::ReplaceClip);
    FPainter->setFont(font);
    FPainter->setPen(color);
    int32_t y = top;
    for (const QString& line : lines) {
        const int w = fm.horizontalAdvance(line);
        int32_t x = R.Left;
        if (Flags & DT_RIGHT)
            x = R.Right - w;
        else if (Flags & DT_CENTER)
            x = (R.Left + R.Right - w) / 2;
        if (!line.isEmpty()) FPainter->drawText(QPoint(x, y + fm.ascent()), line);
        y += lineHeight;
    }
    FPainter->restore();
    return height;
}

TSize TQtCanvas::TextExtent(const std::string& Text) {
    const QFontMetrics fm(QtFont());
    return {fm.horizontalAdvance(QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()))), fm.height()};
}

// --- edges and controls --------------------------------------------------

void TQtCanvas::EdgeRing(const QRect& R, TEdgeFlags Flags, const QColor& TopLeft, const QColor& BottomRight) {
    if (R.width() <= 0 || R.height() <= 0) return;
    // Top and left first; right and bottom run the full length over them,
    // so the top-right and bottom-left corners take the shadow colour.
    if (Flags & BF_TOP) FPainter->fillRect(QRect(R.left(), R.top(), R.width(), 1), TopLeft);
    if (Flags & BF_LEFT) FPainter->fillRect(QRect(R.left(), R.top(), 1, R.height()), TopLeft);
    if (Flags & BF_RIGHT) FPainter->fillRect(QRect(R.right(), R.top(), 1, R.height()), BottomRight);
    if (Flags & BF_BOTTOM) FPainter->fillRect(QRect(R.left(), R.bottom(), R.width(), 1), BottomRight);
}

void TQtCanvas::DrawEdge(TRect& R, TEdgeKind Edge, TEdgeFlags Flags) {
    const QColor highlight = ToQColor(clBtnHighlight);
    const QColor light = ToQColor(cl3DLight);
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor darkShadow = ToQColor(cl3DDkShadow);
    const bool soft = (Flags & BF_SOFT) != 0;
    QRect r = ToQRect(R);
    auto shrink = [&](QRect& q) {
        if (Flags & BF_LEFT) q.setLeft(q.left() + 1);
        if (Flags & BF_TOP) q.setTop(q.top() + 1);
        if (Flags & BF_RIGHT) q.setRight(q.right() - 1);
        if (Flags & BF_BOTTOM) q.setBottom(q.bottom() - 1);
    };
    // Outer ring: raised is light over dark shadow, sunken shadow over
    // highlight; the inner ring is one step softer. BF_SOFT swaps the two
    // top-left colours so raised parts look brighter at the very edge.
    QColor outerTL, outerBR, innerTL, innerBR;
    if (Flags & BF_MONO) {
        outerTL = outerBR = ToQColor(clWindowFrame);
        innerTL = innerBR = ToQColor(clWindow);
    } else if (Flags & BF_FLAT) {
        outerTL = outerBR = shadow;
        innerTL = innerBR = ToQColor(clBtnFace);
    } else {
        if (Edge & BDR_RAISEDOUTER) {
            outerTL = soft ? highlight : light;
            outerBR = darkShadow;
        } else if (Edge & BDR_SUNKENOUTER) {
            outerTL = soft ? darkShadow : shadow;
            outerBR = highlight;
        }
        if (Edge & BDR_RAISEDINNER) {
            innerTL = soft ? light : highlight;
            innerBR = shadow;
        } else if (Edge & BDR_SUNKENINNER) {
            innerTL = soft ? shadow : darkShadow;
            innerBR = light;
        }
    }
    if (Edge & BDR_OUTER) {
        EdgeRing(r, Flags, outerTL, outerBR);
        shrink(r);
    }
    if (Edge & BDR_INNER) {
        EdgeRing(r, Flags, innerTL, innerBR);
        shrink(r);
    }
    if ((Flags & BF_MIDDLE) && r.width() > 0 && r.height() > 0) FPainter->fillRect(r, ToQColor(clBtnFace));
    if (Flags & BF_ADJUST) R = FromQRect(r);
}

void TQtCanvas::CheckBox(const QRect& R, TFrameControlState State) {
    const int side = std::min(R.width(), R.height());
    if (side <= 0) return;
    QRect box(R.left() + (R.width() - side) / 2, R.top() + (R.height() - side) / 2, side, side);
    const bool greyed = (State & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
    if (State & (DFCS_FLAT | DFCS_MONO)) {
        // Flat: a one-pixel frame around the face.
        const QColor frame = ToQColor((State & DFCS_MONO) ? clWindowFrame : clBtnShadow);
        FPainter->fillRect(box, frame);
        box.adjust(1, 1, -1, -1);
    } else {
        TRect edge = FromQRect(box);
        DrawEdge(edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        box = ToQRect(edge);
    }
    if (box.width() <= 0) return;
    FPainter->fillRect(box, ToQColor(greyed ? clBtnFace : clWindow));
    if (!(State & DFCS_CHECKED)) return;
    // The tick: two strokes through the box's lower middle.
    const double s = box.width();
    QPainterPath tick;
    tick.moveTo(box.left() + 0.2 * s, box.top() + 0.5 * s);
    tick.lineTo(box.left() + 0.42 * s, box.top() + 0.72 * s);
    tick.lineTo(box.left() + 0.8 * s, box.top() + 0.28 * s);
    FPainter->save();
    FPainter->setRenderHint(QPainter::Antialiasing, true);
    FPainter->setClipRect(box, FClipped ? Qt::IntersectClip : Qt::ReplaceClip);
    FPainter->setPen(QPen(ToQColor((State & DFCS_INACTIVE) ? clGrayText : clWindowText), std::max(1.5, s / 6.5),
                          Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    FPainter->setBrush(Qt::NoBrush);
    FPainter->drawPath(tick);
    FPainter->restore();
}

void TQtCanvas::DrawFrameControl(const TRect& R, TFrameControlKind Kind, TFrameControlState State) {
    if (R.IsEmpty()) return;
    const QRect r = ToQRect(R);
    if (Kind == DFC_BUTTON) {
        const TFrameControlState type = State & 0x1F;
        if (type == DFCS_BUTTONCHECK || type == DFCS_BUTTON3STATE) {
            CheckBox(r, State);
            return;
        }
        if (type == DFCS_BUTTONRADIO) {
            const int side = std::min(r.width(), r.height());
            const QRect box(r.left() + (r.width() - side) / 2, r.top() + (r.height() - side) / 2, side, side);
            FPainter->save();
            FPainter->setRenderHint(QPainter::Antialiasing, true);
            FPainter->setPen(ToQColor(clBtnShadow));
            FPainter->setBrush(ToQColor(clWindow));
            FPainter->drawEllipse(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
            if (State & DFCS_CHECKED) {
                FPainter->setPen(Qt::NoPen);
                FPainter->setBrush(ToQColor(clWindowText));
                const double d = side / 4.0;
                FPainter->drawEllipse(QRectF(box).adjusted(d, d, -d, -d));
            }
            FPainter->restore();
            return;
        }
    }
    // Push buttons and the other kinds: a raised face, sunken while pushed.
    TRect edge = R;
    DrawEdge(edge, (State & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_MIDDLE | ((State & DFCS_FLAT) ? BF_FLAT : 0));
}

void TQtCanvas::DrawFocusRect(const TRect& R) {
    if (R.IsEmpty()) return;
    // Every other pixel of the outline on a checkerboard anchored at the
    // top-left, each inverted once (corners included), so a second call
    // restores the pixels.
    QRegion dots;
    QVector<QRect> rects;
    auto dot = [&](int32_t x, int32_t y) {
        if (((x - R.Left) + (y - R.Top)) % 2 == 0) rects.push_back(QRect(x, y, 1, 1));
    };
    for (int32_t x = R.Left; x < R.Right; ++x) {
        dot(x, R.Top);
        if (R.Bottom - 1 > R.Top) dot(x, R.Bottom - 1);
    }
    for (int32_t y = R.Top + 1; y < R.Bottom - 1; ++y) {
        dot(R.Left, y);
        if (R.Right - 1 > R.Left) dot(R.Right - 1, y);
    }
    dots.setRects(rects.constData(), static_cast<int>(rects.size()));
    InvertRegion(dots);
}

void TQtCanvas::InvertRect(const TRect& R) {
    if (R.IsEmpty()) return;
    InvertRegion(QRegion(ToQRect(R)));
}

void TQtCanvas::InvertRegion(const QRegion& Region) {
    if (Region.isEmpty()) return;
    FPainter->save();
    // NOT of the destination: its own inverse, whatever the colours.
    FPainter->setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& r : Region) FPainter->fillRect(r, Qt::black);
    FPainter->restore();
}

void TQtCanvas::StretchDraw(const TRect& R, const TGraphic& Graphic) {
    if (R.IsEmpty() || Graphic.Empty()) return;
    const QImage image = GraphicToImage(Graphic);
    if (image.isNull()) return;
    FPainter->drawImage(ToQRect(R), image);
}

void TQtCanvas::DrawTiled(const TRect& R, const TGraphic& Graphic) {
    const int32_t w = Graphic.Width();
    const int32_t h = Graphic.Height();
    if (R.IsEmpty() || Graphic.Empty() || w <= 0 || h <= 0) return;
    const QImage image = GraphicToImage(Graphic);
    if (image.isNull()) return;
    // Whole copies, as the drawing one by one would give.
    const int32_t cols = (R.Right - R.Left + w - 1) / w;
    const int32_t rows = (R.Bottom - R.Top + h - 1) / h;
    FPainter->drawTiledPixmap(QRect(R.Left, R.Top, cols * w, rows * h), QPixmap::fromImage(image.scaled(w, h)));
}

// --- clipping ------------------------------------------------------------

void TQtCanvas::ApplyClip() {
    if (FClipped)
        FPainter->setClipRegion(FClip);
    else
        FPainter->setClipping(false);
}

void TQtCanvas::SetClipRect(const TRect& R) {
    FClipped = true;
    FClip = R.IsEmpty() ? QRegion() : QRegion(ToQRect(R));
    ApplyClip();
}

void TQtCanvas::IntersectClipRect(const TRect& R) {
    const QRegion r = R.IsEmpty() ? QRegion() : QRegion(ToQRect(R));
    FClip = FClipped ? FClip.intersected(r) : r;
    FClipped = true;
    ApplyClip();
}

void TQtCanvas::ExcludeClipRect(const TRect& R) {
    if (!FClipped) {
        FClip = QRegion(FBounds);
        FClipped = true;
    }
    if (!R.IsEmpty()) FClip = FClip.subtracted(QRegion(ToQRect(R)));
    ApplyClip();
}

void TQtCanvas::ResetClip() {
    FClipped = false;
    FClip = QRegion();
    ApplyClip();
}

void TQtCanvas::SaveClip() { FClipStack.push_back({FClipped, FClip}); }

void TQtCanvas::RestoreClip() {
    if (FClipStack.empty()) return;
    FClipped = FClipStack.back().Clipped;
    FClip = FClipStack.back().Clip;
    FClipStack.pop_back();
    ApplyClip();
}

}  // namespace qv
