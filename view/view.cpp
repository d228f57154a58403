// TQvView: construction, geometry, scrolling, scroll bars and invalidation of
// a pane. Painting lives in view_paint.cpp, selection and input in
// view_input.cpp.
#include "view/view.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "grids/section.h"
#include "grids/union.h"
#include "view/grid.h"

namespace qv {

namespace {

// The slider reports a released thumb with this pseudo action (the thumb's
// final position, as opposed to the positions while it is dragged).
constexpr int ThumbReleased = -1;

// The ranges a scroll bar is given stay at or below this many units; larger
// contents scroll in units of a power of two pixels.
constexpr int32_t MaxScrollUnits = 32000;

// One notch of a mouse wheel, in eighths of a degree; Ctrl+wheel changes the
// scale by this many percent per notch.
constexpr int WheelNotch = 120;
constexpr int WheelScaleStep = 10;

// Hands the wheel events of the client pane's scroll bars to the pane, so the
// wheel scrolls by whole rows and columns over the bars too.
class TWheelToPane : public QObject {
public:
    explicit TWheelToPane(QObject* Parent) : QObject(Parent) {}
    bool eventFilter(QObject* Watched, QEvent* E) override {
        if (E->type() != QEvent::Wheel) return QObject::eventFilter(Watched, E);
        QCoreApplication::sendEvent(parent(), E);
        return true;
    }
};

int32_t& At(TPoint& P, TQvAxis A) { return A == axCols ? P.X : P.Y; }
int32_t At(const TPoint& P, TQvAxis A) { return A == axCols ? P.X : P.Y; }
int32_t At(const TSize& S, TQvAxis A) { return A == axCols ? S.Width : S.Height; }
int32_t& At(TSize& S, TQvAxis A) { return A == axCols ? S.Width : S.Height; }

QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

// A rectangle running from A to B on Axis and across the whole of Client on
// the other axis.
QRect Band(TQvAxis Axis, int32_t A, int32_t B, const TSize& Client) {
    if (Axis == axCols) return QRect(A, 0, B - A, Client.Height);
    return QRect(0, A, Client.Width, B - A);
}

}  // namespace

// --- construction ----------------------------------------------------------

TQvView::TQvView(TQvGrid* Grid, TQvSectionKind Kind)
    : QWidget(Grid), FGrid(Grid), FSelection(std::make_unique<TQvSelection>(this)), FKind(Kind) {
    // For each axis a pane reads the client list when it is the client pane
    // or the title pane running along that axis, else the title list.
    FColSizes = Grid->Sizes(axCols, (Kind == skClient || Kind == skColTitles) ? spClient : spTitle);
    FRowSizes = Grid->Sizes(axRows, (Kind == skClient || Kind == skRowTitles) ? spClient : spTitle);

    // Only the client pane is a tab stop; the panes receive mouse moves
    // without a button so the grid can show the sizing cursor while hovering.
    setFocusPolicy(Kind == skClient ? Qt::StrongFocus : Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled, Kind == skClient);

    if (IsClientPane()) {
        FHorzBar = new QScrollBar(Qt::Horizontal, this);
        FVertBar = new QScrollBar(Qt::Vertical, this);
        for (QScrollBar* bar : {FHorzBar, FVertBar}) {
            // The bars never take the focus away from the cells.
            bar->setFocusPolicy(Qt::NoFocus);
            bar->setSingleStep(1);
            bar->hide();
            const Qt::Orientation o = bar->orientation();
            connect(bar, &QAbstractSlider::actionTriggered, this, [this, o](int Action) { OnScrollBar(o, Action); });
            connect(bar, &QAbstractSlider::sliderReleased, this, [this, o]() { OnScrollBar(o, ThumbReleased); });
        }
        // The square between the two bars shows no cells.
        FSizeBox = new QWidget(this);
        FSizeBox->setBackgroundRole(QPalette::Button);
        FSizeBox->setAutoFillBackground(true);
        FSizeBox->hide();
        auto* wheel = new TWheelToPane(this);
        for (QWidget* w : {static_cast<QWidget*>(FHorzBar), static_cast<QWidget*>(FVertBar), FSizeBox})
            w->installEventFilter(wheel);
    }
}

TQvView::~TQvView() = default;

// --- mapping ---------------------------------------------------------------

TSize TQvView::ClientSize() const {
    TSize s{width(), height()};
    if (FVertBar && !FVertBar->isHidden()) s.Width -= FVertBar->width();
    if (FHorzBar && !FHorzBar->isHidden()) s.Height -= FHorzBar->height();
    return {std::max(0, s.Width), std::max(0, s.Height)};
}

bool TQvView::CellRectToPixels(const TRect& Cells, TPixelArea Mode, TRect& Pixels) const {
    Pixels = {FColSizes->Offset(Cells.Left), FRowSizes->Offset(Cells.Top), FColSizes->Offset(Cells.Right),
              FRowSizes->Offset(Cells.Bottom)};
    const bool valid = Cells.Left < ColCount() && Cells.Right <= ColCount() && Cells.Top < RowCount() &&
                       Cells.Bottom <= RowCount() && !Pixels.IsEmpty();
    Pixels = Pixels.Offset(-FScrollPos.X, -FScrollPos.Y);
    if (!valid) return false;
    if (Mode == paInsideSelFrame) Pixels = {Pixels.Left + 1, Pixels.Top + 1, Pixels.Right - 2, Pixels.Bottom - 2};
    else if (Mode == paInsideCurFrame) Pixels = {Pixels.Left + 2, Pixels.Top + 2, Pixels.Right - 3, Pixels.Bottom - 3};
    return true;
}

bool TQvView::PixelsToCells(const TRect& Pixels, TRect& Cells) const {
    int32_t x = Pixels.Left + FScrollPos.X;
    Cells.Left = FColSizes->IndexAt(x);
    if (Cells.Left >= ColCount()) return false;
    int32_t y = Pixels.Top + FScrollPos.Y;
    Cells.Top = FRowSizes->IndexAt(y);
    if (Cells.Top >= RowCount()) return false;
    // A partly covered column or row at the far edge counts.
    const int32_t right = Pixels.Right + FScrollPos.X;
    x = right;
    Cells.Right = FColSizes->IndexAt(x);
    if (right > x) ++Cells.Right;
    const int32_t bottom = Pixels.Bottom + FScrollPos.Y;
    y = bottom;
    Cells.Bottom = FRowSizes->IndexAt(y);
    if (bottom > y) ++Cells.Bottom;
    return ClipToCounts(Cells);
}

bool TQvView::ClipToCounts(TRect& Cells) const {
    Cells = Cells.Intersected(TRect{0, 0, ColCount(), RowCount()});
    return !Cells.IsEmpty();
}

TPoint TQvView::Clamp(TPoint Cell) const {
    Cell.X = std::max(0, std::min(Cell.X, ColCount() - 1));
    Cell.Y = std::max(0, std::min(Cell.Y, RowCount() - 1));
    return Cell;
}

TPoint TQvView::MergedOrigin(TPoint Cell) const { return Clamp(FSection ? FSection->OwnerOf(Cell) : Cell); }

TRect TQvView::ExpandMerged(const TRect& Cells) const { return FSection ? FSection->ExpandToUnions(Cells) : Cells; }

bool TQvView::CellAt(TPoint ClientPoint, bool AllowOutside, TPoint& Cell) const {
    int32_t x = ClientPoint.X + FScrollPos.X;
    int32_t y = ClientPoint.Y + FScrollPos.Y;
    const bool inside = AllowOutside || (x >= 0 && x < FContentSize.Width && y >= 0 && y < FContentSize.Height);
    const int32_t col = FColSizes->IndexAt(x);
    const int32_t row = FRowSizes->IndexAt(y);
    Cell = MergedOrigin({col, row});
    return inside;
}

TQvView::THitZone TQvView::HitTest(TPoint ClientPoint, TPoint& Cell) const {
    const int32_t x = ClientPoint.X + FScrollPos.X;
    const int32_t y = ClientPoint.Y + FScrollPos.Y;
    Cell = {};
    if (x >= FContentSize.Width || y >= FContentSize.Height) return hzNone;

    // The index under the point on one axis and whether the point lies on a
    // sizing edge: the last pixel of an index, or the first two pixels of the
    // next one, which then count for the index that ends there.
    const auto locate = [this](const TQvSizeList* L, int32_t Pos, int32_t& Index) {
        int32_t start = Pos;
        Index = L->IndexAt(start);
        if (IsClientPane()) return false;
        if (Pos - start <= 1) {
            --Index;
            return true;
        }
        return start + L->Size(Index) - Pos <= 1;
    };
    int32_t col = 0, row = 0;
    bool colEdge = locate(FColSizes, x, col);
    bool rowEdge = locate(FRowSizes, y, row);
    // The row and column the point itself lies in, before edges moved them.
    int32_t pcol = x, prow = y;
    pcol = FColSizes->IndexAt(pcol);
    prow = FRowSizes->IndexAt(prow);

    // A boundary between two cells of one merged range is no edge: both
    // sides share the range's top-left.
    const auto sameRange = [this](TPoint A, TPoint B) {
        return FSection && A.X >= 0 && A.Y >= 0 && FSection->OwnerOf(A) == FSection->OwnerOf(B);
    };
    if (colEdge && sameRange({col, prow}, {col + 1, prow})) colEdge = false;
    if (rowEdge && sameRange({pcol, row}, {pcol, row + 1})) rowEdge = false;

    if (!colEdge && !rowEdge) {
        Cell = MergedOrigin({pcol, prow});
        return hzCell;
    }
    if (colEdge && col >= 0) {
        Cell = {col, prow};
        return hzColEdge;
    }
    if (rowEdge && row >= 0) {
        Cell = {pcol, row};
        return hzRowEdge;
    }
    Cell = {col, row};
    return hzNone;
}

// --- scrolling -------------------------------------------------------------

bool TQvView::ScrollTo(TPoint ContentPos) {
    if (ContentPos == FScrollPos) return false;
    const int dx = FScrollPos.X - ContentPos.X;
    const int dy = FScrollPos.Y - ContentPos.Y;
    // Move the cell area's pixels (the bars stay put); child windows over
    // the cells, such as an editor, travel with them.
    const TSize cs = ClientSize();
    if (cs.Width > 0 && cs.Height > 0) scroll(dx, dy, QRect(0, 0, cs.Width, cs.Height));
    for (QObject* o : children()) {
        QWidget* w = qobject_cast<QWidget*>(o);
        if (w && w != FHorzBar && w != FVertBar && w != FSizeBox) w->move(w->pos() + QPoint(dx, dy));
    }
    FScrollPos = ContentPos;
    UpdateScrollBars(false);
    SyncScroll();
    return true;
}

bool TQvView::ClampScroll(TPoint ContentPos) {
    const TSize cs = ClientSize();
    for (TQvAxis a : {axCols, axRows}) {
        int32_t& c = At(ContentPos, a);
        const int32_t content = At(FContentSize, a);
        const int32_t client = At(cs, a);
        if (c < 0) c = 0;
        if (int64_t(content) < int64_t(c) + client) c = content > client ? content - client : 0;
    }
    if (ContentPos == FScrollPos) return false;
    return ScrollTo(ContentPos);
}

void TQvView::ScrollIntoView(const TRect& Cells) {
    TRect p;
    if (!CellRectToPixels(Cells, paWhole, p)) return;
    const TSize cs = ClientSize();
    TPoint n = FScrollPos;
    if (p.Left <= 0) n.X += p.Left;
    else if (p.Right > cs.Width) n.X += p.Right - cs.Width;
    if (p.Top <= 0) n.Y += p.Top;
    else if (p.Bottom > cs.Height) n.Y += p.Bottom - cs.Height;
    if (n == FScrollPos) return;
    // The first visible column or row is not left cut off on the side the
    // view moved away from.
    for (TQvAxis a : {axCols, axRows}) {
        const TQvSizeList* list = a == axCols ? FColSizes : FRowSizes;
        int32_t s = At(n, a);
        const int32_t index = list->IndexAt(s);
        const int32_t first = a == axCols ? Cells.Left : Cells.Top;
        if (At(n, a) > s && index < first) At(n, a) = s + list->Size(index);
    }
    ClampScroll(n);
}

int32_t TQvView::ScrollCode(TQvAxis Axis, TScrollCode Code, int32_t Param) const {
    const TQvSizeList* list = Axis == axCols ? FColSizes : FRowSizes;
    const int32_t client = At(ClientSize(), Axis);
    const int32_t max = At(FContentSize, Axis) - client;
    const int32_t pos = At(FScrollPos, Axis);
    const bool tracking = FGrid->HasOption(oTracking);
    int32_t p = pos;
    switch (Code) {
        case scLineUp:
            p = pos - 1;
            list->IndexAt(p);
            break;
        case scLineDown: {
            p = pos;
            const int32_t index = list->IndexAt(p);
            p += list->Size(index);
            break;
        }
        case scPageUp:
            p = pos - client;
            list->IndexAt(p);
            break;
        case scPageDown:
            p = pos + client;
            list->IndexAt(p);
            break;
        case scThumbPosition:
            p = Param;
            if (!tracking) list->IndexAt(p);
            break;
        case scThumbTrack:
            p = tracking ? Param : pos;
            break;
        case scTop: p = 0; break;
        case scBottom: p = max; break;
        default: break;
    }
    p = std::min(p, max);
    return std::max(p, 0);
}

void TQvView::OnScrollBar(Qt::Orientation Orientation, int Action) {
    const TQvAxis axis = Orientation == Qt::Horizontal ? axCols : axRows;
    QScrollBar* bar = axis == axCols ? FHorzBar : FVertBar;
    // A unit is a power of two of pixels, so on a long axis (ten million
    // rows) the last unit starts thousands of pixels short of the end: the
    // thumb at the bar's end stands for the end itself.
    const bool atEnd = bar->maximum() > 0 && bar->sliderPosition() >= bar->maximum();
    const int32_t thumb = atEnd ? ScrollCode(axis, scBottom, 0) : bar->sliderPosition() * At(FScrollFactor, axis);
    TScrollCode code;
    switch (Action) {
        case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
        case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
        case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
        case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
        case QAbstractSlider::SliderToMinimum: code = scTop; break;
        case QAbstractSlider::SliderToMaximum: code = scBottom; break;
        case QAbstractSlider::SliderMove: code = bar->isSliderDown() ? scThumbTrack : scThumbPosition; break;
        case ThumbReleased: code = scThumbPosition; break;
        default: return;
    }
    TPoint p = FScrollPos;
    At(p, axis) = ScrollCode(axis, code, thumb);
    // A request that did not move the cells still puts the thumb back where
    // the position is, except while the thumb is being dragged.
    if (!ScrollTo(p) && code != scThumbTrack) UpdateScrollBars(false);
}

// --- mouse wheel -------------------------------------------------------------

void TQvView::wheelEvent(QWheelEvent* E) {
    // Every pane scrolls the client pane, which its siblings follow.
    TQvView* client = FGrid->Views(skClient);
    if (!FSection || !client) {
        E->ignore();
        return;
    }
    client->WheelScroll(E->angleDelta(), E->modifiers());
    E->accept();
}

void TQvView::WheelScroll(QPoint AngleDelta, Qt::KeyboardModifiers Modifiers) {
    // Shift turns a vertical wheel into a horizontal one; some platforms
    // deliver Shift+wheel as horizontal already.
    if ((Modifiers & Qt::ShiftModifier) && AngleDelta.x() == 0) AngleDelta = {AngleDelta.y(), 0};
    // Wheels with finer steps than a notch add up until a notch is full.
    if (AngleDelta.x() * FWheelRest.x() < 0) FWheelRest.setX(0);
    if (AngleDelta.y() * FWheelRest.y() < 0) FWheelRest.setY(0);
    FWheelRest += AngleDelta;
    const QPoint notches(FWheelRest.x() / WheelNotch, FWheelRest.y() / WheelNotch);
    FWheelRest -= notches * WheelNotch;

    if (Modifiers & Qt::ControlModifier) {
        const int n = notches.y() != 0 ? notches.y() : notches.x();
        if (n == 0) return;
        const int scale = std::clamp(FGrid->Scale() + n * WheelScaleStep, int(TQvGrid::MinScale),
                                     int(TQvGrid::MaxScale));
        FGrid->SetScale(scale);
        return;
    }
    // Away from the user is back toward the first row or column.
    const int lines = std::max(1, QApplication::wheelScrollLines());
    TPoint target = FScrollPos;
    target.X = WheelTarget(axCols, -notches.x() * lines);
    target.Y = WheelTarget(axRows, -notches.y() * lines);
    ClampScroll(target);
}

int32_t TQvView::WheelTarget(TQvAxis Axis, int32_t Lines) const {
    const TQvSizeList* list = Axis == axCols ? FColSizes : FRowSizes;
    const int32_t pos = At(FScrollPos, Axis);
    if (Lines == 0 || list->Count() == 0) return pos;
    int32_t start = pos;
    int32_t index = list->IndexAt(start);
    // A row cut off at the top counts as one of the rows scrolled back.
    if (Lines < 0 && pos > start) ++Lines;
    // Hidden rows and columns take no room and count for nothing.
    const int32_t step = Lines > 0 ? 1 : -1;
    for (int32_t n = std::abs(Lines); n > 0;) {
        const int32_t next = index + step;
        if (next < 0 || next >= list->Count()) break;
        index = next;
        if (list->Size(index) > 0) --n;
    }
    return list->Offset(index);
}

void TQvView::UpdateScrollBars(bool CheckRange) {
    if (!IsClientPane()) return;
    if (CheckRange && ClampScroll(FScrollPos)) return;
    const TSize start = ClientSize();
    SetScrollBars();
    // A bar that came or went changed the cell area, and a hidden child bar
    // sends the pane no resize: the position may now lie past the end.
    if (ClientSize() != start) ClampScroll(FScrollPos);
}

void TQvView::SetScrollBars() {
    const TQvScrolls scrolls = FGrid->Scrolls();
    // The bars the grid does not want are gone at once.
    if (!(scrolls & ssVertical)) FVertBar->hide();
    if (!(scrolls & ssHorizontal)) FHorzBar->hide();
    if (scrolls == 0) {
        LayoutScrollBars();
        return;
    }

    // A bar shows when the content exceeds the page, which changes the page
    // of the other axis: settle in a few rounds (two suffice; one spare).
    for (int round = 0; round < 3; ++round) {
        const TSize before = ClientSize();
        const auto setBar = [this](QScrollBar* Bar, TQvAxis Axis, int32_t Range, int32_t Page, int32_t Pos) {
            int32_t factor = 1;
            while (Range > MaxScrollUnits) {
                Range >>= 1;
                Page >>= 1;
                Pos >>= 1;
                factor <<= 1;
            }
            At(FScrollFactor, Axis) = factor;
            // Units nMin 0 .. nMax = Range - 1 with a page of Page: the thumb
            // runs from 0 to Range - Page, and the bar hides when the page
            // covers the whole range.
            const QSignalBlocker block(Bar);
            Bar->setRange(0, std::max(0, Range - Page));
            Bar->setPageStep(std::max(1, Page));
            Bar->setValue(Pos);
            Bar->setVisible(Range > Page);
        };
        if (scrolls & ssVertical)
            setBar(FVertBar, axRows, FContentSize.Height, ClientSize().Height, FScrollPos.Y);
        if (scrolls & ssHorizontal)
            setBar(FHorzBar, axCols, FContentSize.Width, ClientSize().Width, FScrollPos.X);
        LayoutScrollBars();
        if (ClientSize() == before) break;
    }
}

void TQvView::LayoutScrollBars() {
    if (!IsClientPane()) return;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool v = !FVertBar->isHidden();
    const bool h = !FHorzBar->isHidden();
    if (v) FVertBar->setGeometry(width() - extent, 0, extent, height() - (h ? extent : 0));
    if (h) FHorzBar->setGeometry(0, height() - extent, width() - (v ? extent : 0), extent);
    FSizeBox->setVisible(v && h);
    if (v && h) FSizeBox->setGeometry(width() - extent, height() - extent, extent, extent);
}

void TQvView::SyncScroll() {
    TQvView* client = FGrid->Views(skClient);
    switch (FKind) {
        case skColTitles: client->ScrollTo({FScrollPos.X, client->FScrollPos.Y}); break;
        case skRowTitles: client->ScrollTo({client->FScrollPos.X, FScrollPos.Y}); break;
        case skCorner: break;
        case skClient:
            FGrid->Views(skColTitles)->ScrollTo({FScrollPos.X, 0});
            FGrid->Views(skRowTitles)->ScrollTo({0, FScrollPos.Y});
            FGrid->PropagateScroll(FScrollPos);
            break;
    }
}

// --- content size ----------------------------------------------------------

void TQvView::SetContentSize(int32_t Width, int32_t Height) {
    if (FGrid->UpdateCount() > 0) {
        FContentSize = {Width, Height};
        UpdateScrollBars(true);
        return;
    }
    if (TSize{Width, Height} == FContentSize) return;
    const auto area = [this](const TSize& Content) {
        const TSize cs = ClientSize();
        return QRect(0, 0, cs.Width, cs.Height)
            .intersected(QRect(0, 0, Content.Width - FScrollPos.X, Content.Height - FScrollPos.Y));
    };
    const QRect a = area(FContentSize);
    FContentSize = {Width, Height};
    UpdateScrollBars(true);
    const QRect b = area(FContentSize);
    // Only what the content gained or lost is painted again.
    if (!a.isEmpty() || !b.isEmpty()) update(QRegion(a).xored(QRegion(b)));
}

void TQvView::ChangeSize(TQvAxis Axis, int32_t Offset, int32_t Old, int32_t New) {
    if (New != Old) {
        const int32_t d = New - Old;
        const int32_t v = At(FScrollPos, Axis);
        const bool picture = BackgroundPicture() != nullptr;
        const TSize cs = ClientSize();
        const int32_t client = At(cs, Axis);
        const bool idle = FGrid->UpdateCount() == 0;

        // 1. Move the pixels after the item so the rest stays in place.
        if (v + client > Offset) {
            const int32_t e1 = Offset + Old;
            const int32_t e2 = Offset + New;
            if (v >= e1 && v >= e2) {
                // The item lies wholly before the visible part.
                At(FScrollPos, Axis) += d;
                SyncScroll();
                if (picture) InvalidatePane();
            } else if (picture) {
                // The picture is tiled from the pane's origin: repaint from
                // the item on.
                if (idle) update(Band(Axis, Offset - v, std::max(client, Offset - v), cs));
            } else {
                // Scroll what follows the old end, together with the part of
                // the old item it moves onto when shrinking.
                const int32_t from = std::min(e1, e2) - v;
                const QRect s = Band(Axis, from, std::max(from, client), cs);
                if (!s.isEmpty()) scroll(Axis == axCols ? d : 0, Axis == axRows ? d : 0, s);
                if (idle) {
                    update(Band(Axis, Offset - v, from, cs));
                    // The far part the scroll did not uncover.
                    if (client + d < e1 - v) update(Band(Axis, client + d, e1 - v, cs));
                }
            }
        }
        // 2. The content grows or shrinks by the difference.
        At(FContentSize, Axis) += d;
        // 3. Merged ranges crossing the item's column or row are drawn whole.
        if (IsClientPane() && FSection && idle) {
            const int32_t i = TQvGridAccess::SizingIndex(*FGrid);
            const TRect band = TQvGridAccess::SizingAxis(*FGrid) == axCols ? TRect{i, 0, i + 1, 0x3FFFFFFF}
                                                            : TRect{0, i, 0x3FFFFFFF, i + 1};
            for (const auto& u : FSection->Unions()) {
                TRect p;
                if (u->Rect().Intersects(band) && CellRectToPixels(u->Rect(), paWhole, p)) update(ToQRect(p));
            }
        }
        UpdateScrollBars(false);
    }
    // 4. A title pane is always exactly as wide (row titles) or as high
    // (column titles) as its content.
    if (width() > 0 && height() > 0) {
        if (FKind == skRowTitles || FKind == skCorner) resize(FContentSize.Width, height());
        if (FKind == skColTitles || FKind == skCorner) resize(width(), FContentSize.Height);
    }
}

// --- invalidation ----------------------------------------------------------

void TQvView::InvalidateCells(const TRect& Cells, bool Expand, TQvRepaintArea Mode) {
    if (FGrid->UpdateCount() > 0) return;
    const TRect r = Expand ? ExpandMerged(Cells) : Cells;
    TRect p;
    if (!CellRectToPixels(r, paInsideCurFrame, p)) return;
    const QRect q = ToQRect(p);
    switch (Mode) {
        case raCells: update(q.adjusted(-3, -3, 3, 3)); break;
        case raOutline: update(QRegion(q.adjusted(-4, -4, 4, 4)).subtracted(QRegion(q))); break;
        default: update(q); break;
    }
}

void TQvView::InvalidatePane() {
    if (FGrid->UpdateCount() > 0) return;
    update();
}

void TQvView::resizeEvent(QResizeEvent* E) {
    QWidget::resizeEvent(E);
    LayoutScrollBars();
    UpdateScrollBars(true);
}

}  // namespace qv
