// TQvGrid: construction, sheet attachment, scaling, options, links, layout
// and the sheet's calls into its views. Mouse gestures live in
// grid_mouse.cpp.
#include "view/grid.h"

#include <QFocusEvent>
#include <QtGlobal>
#include <new>
#include <QResizeEvent>
#include <algorithm>
#include <limits>
#include <string>

#include "grids/section.h"
#include "platform/exceptions.h"
#include "platform/published.h"

namespace qv {

namespace {

// The two panes that read the grid's list of (Axis, Part): for the title part
// the corner and the title pane across the axis, for the client part the
// client pane and the title pane along it.
void PanesSharing(const TQvGrid* G, TQvAxis Axis, TQvSizePart Part, TQvView*& A, TQvView*& B) {
    if (Part == spTitle) {
        A = G->Views(Axis == axCols ? skRowTitles : skColTitles);
        B = G->Views(skCorner);
    } else {
        A = G->Views(Axis == axCols ? skColTitles : skRowTitles);
        B = G->Views(skClient);
    }
}

int32_t Total(const TQvSizeList* L) { return L->Offset(L->Count()); }

}  // namespace

// --- construction and destruction ------------------------------------------

QV_CLASS_IMPL(TQvGrid, TComponent)

TQvGrid::TQvGrid(QWidget* Parent) : QFrame(Parent) {
    // The stored properties, in the order the stream writes them; the values
    // a new grid has are not written.
    static const bool published = [] {
        using P = TPublished<TQvGrid>;
        RegisterPublished(StaticClass(),
                          {P::Reference<TQvSheet>("Sheet", &TQvGrid::Sheet, &TQvGrid::SetSheet),
                           P::Integer("Scale", &TQvGrid::Scale, &TQvGrid::SetScale, 100),
                           P::Integer("Options", &TQvGrid::Options, &TQvGrid::SetStoredOptions, DefaultQvOptions),
                           P::Integer("Scrolls", &TQvGrid::Scrolls, &TQvGrid::SetStoredScrolls, DefaultQvScrolls),
                           P::Boolean("Ctl3D", &TQvGrid::Ctl3D, &TQvGrid::SetCtl3D, true),
                           P::Integer("EnterDir", &TQvGrid::EnterDir, &TQvGrid::SetStoredEnterDir, dDown)});
        return true;
    }();
    (void)published;
    RegisterEditors();
    // A raised one-pixel panel by default, painted with the window colour.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    setPalette(pal);
    setAutoFillBackground(true);

    for (auto& axis : FSizes)
        for (auto& part : axis) part = std::make_unique<TQvSizeList>();
    // The client pane first: it is the active pane; the title panes are
    // created after it and so lie above it when they overlap during sizing.
    FViews[skClient] = new TQvView(this, skClient);
    FActiveView = FViews[skClient];
    for (TQvSectionKind k : {skColTitles, skRowTitles, skCorner}) FViews[k] = new TQvView(this, k);
    setFocusPolicy(Qt::StrongFocus);
    AlignControls();
}

TQvGrid::~TQvGrid() {
    FDestroying = true;
    FAutoScrollTimer.stop();
    EndEdit();
    DestroyEditor();
    SetHorzLink(nullptr);
    SetVertLink(nullptr);
    SetSheet(nullptr);
    // The panes read the size lists and call back into the grid: they go
    // before the lists do.
    for (TQvView*& v : FViews) {
        delete v;
        v = nullptr;
    }
    FActiveView = nullptr;
}

// --- sheet -----------------------------------------------------------------

void TQvGrid::SetSheet(TQvSheet* S) {
    if (S == FSheet) return;
    if (FSheet) {
        EndEdit();
        FSheet->RemoveView(this);
    }
    FSheet = S;
    if (FSheet) FSheet->AddView(this);
    // A grid being destroyed neither lays out again nor reports the change
    // to handlers that may already be gone with its owner.
    if (FDestroying) return;
    SheetChanged();
    if (OnSheetChanged) OnSheetChanged(this);
}

void TQvGrid::SheetChanged() {
    for (TQvSectionKind k : AllSectionKinds) FViews[k]->SetSection(FSheet ? FSheet->Sections(k) : nullptr);
    UpdateAllSizes();
    InvalidateAll();
    ResetSelection();
}

void TQvGrid::ResetSelection() {
    TQvView* pane = FActiveView;
    pane->ResetState();
    if (FSheet && pane->CanSelect({0, 0})) pane->Selection()->SetRect(TRect{0, 0, 1, 1});
}

void TQvGrid::SetDesignMode(bool V) {
    if (V == FDesignMode) return;
    FDesignMode = V;
    SheetChanged();
}

// --- published properties --------------------------------------------------

void TQvGrid::SetScale(int V) {
    if (V < MinScale || V > MaxScale)
        throw EQvGridError("Scale " + std::to_string(V) + " is outside " + std::to_string(MinScale) + ".." +
                           std::to_string(MaxScale));
    if (V == FScale) return;
    FScale = static_cast<uint16_t>(V);
    BeginUpdate();
    UpdateAllSizes();
    FollowEditCell();
    EndUpdate();
}

void TQvGrid::SetOptions(TQvOptions V) {
    if (V == FOptions) return;
    const TQvOptions changed = V ^ FOptions;
    FOptions = V;
    if (changed & (oTitleCols | oTitleRows)) AlignControls();
    if (changed & (oVertLines | oHorzLines)) FViews[skClient]->InvalidatePane();
    if (changed & oAutoTitles) {
        FViews[skColTitles]->InvalidatePane();
        FViews[skRowTitles]->InvalidatePane();
    }
}

void TQvGrid::SetScrolls(TQvScrolls V) {
    if (V == FScrolls) return;
    FScrolls = V;
    FViews[skClient]->UpdateScrollBars(true);
    // The bars took or gave back room of the cell area.
    FViews[skClient]->InvalidatePane();
}

// Stored values arrive as integers: one outside the property's range is
// refused with its name rather than cut to size.
void TQvGrid::SetStoredOptions(int32_t V) {
    if (V < 0 || V > 0xFFFF) throw EQvGridError("Options value " + std::to_string(V) + " is not a set of grid options");
    SetOptions(static_cast<TQvOptions>(V));
}

void TQvGrid::SetStoredScrolls(int32_t V) {
    if (V & ~int32_t(ssHorizontal | ssVertical))
        throw EQvGridError("Scrolls value " + std::to_string(V) + " is not a set of scroll bars");
    SetScrolls(static_cast<TQvScrolls>(V));
}

void TQvGrid::SetStoredEnterDir(int32_t V) {
    if (V < dNone || V > dUp) throw EQvGridError("EnterDir value " + std::to_string(V) + " is not a direction");
    SetEnterDir(static_cast<TQvDirection>(V));
}

void TQvGrid::Loaded() {
    TComponent::Loaded();
    UpdateAllSizes();
}

void TQvGrid::SetCtl3D(bool V) {
    if (V == FCtl3D) return;
    FCtl3D = V;
    // Frames, title buttons and the selection's look all change.
    InvalidateAll();
}

void TQvGrid::SetEditorParent(QWidget* W) {
    if (W == FEditorParent) return;
    // The editor control lives under its parent: the next edit builds one
    // under the new parent.
    EndEdit();
    DestroyEditor();
    FEditorParent = W;
}

// --- links -----------------------------------------------------------------

void TQvGrid::SetHorzLink(TQvGrid* G) { SetLink(&TQvGrid::FHorzLink, G); }

void TQvGrid::SetVertLink(TQvGrid* G) { SetLink(&TQvGrid::FVertLink, G); }

void TQvGrid::SetLink(TQvGrid* TQvGrid::*Link, TQvGrid* G) {
    if (G == this) G = nullptr;
    if (G == this->*Link) return;
    // The old partner lets go of this grid without calling back.
    if (TQvGrid* old = this->*Link; old && old->*Link == this) old->*Link = nullptr;
    this->*Link = G;
    if (G) {
        PropagateScroll(FViews[skClient]->ScrollPos());
        G->SetLink(Link, this);
    }
}

void TQvGrid::PropagateScroll(TPoint ClientScrollPos) {
    if (!FHorzLink && !FVertLink) return;
    // Positions travel at 100 %. While this grid propagates, its partners'
    // answers do not come back to it: scaling there and back may round and
    // would move this grid away from where it was put.
    FPropagating = true;
    const int32_t u = UnscaleValue(ClientScrollPos.X);
    const int32_t v = UnscaleValue(ClientScrollPos.Y);
    if (FHorzLink && FHorzLink == FVertLink) {
        TQvGrid* g = FHorzLink;
        if (!g->FPropagating) g->FViews[skClient]->ScrollTo({g->ScaleValue(u), g->ScaleValue(v)});
    } else {
        if (TQvGrid* g = FHorzLink; g && !g->FPropagating) {
            TQvView* c = g->FViews[skClient];
            c->ScrollTo({g->ScaleValue(u), c->ScrollPos().Y});
        }
        if (TQvGrid* g = FVertLink; g && !g->FPropagating) {
            TQvView* c = g->FViews[skClient];
            c->ScrollTo({c->ScrollPos().X, g->ScaleValue(v)});
        }
    }
    FPropagating = false;
}

// --- active pane, selection and events --------------------------------------

void TQvGrid::SetActiveView(TQvView* Pane) {
    if (!Pane || Pane == FActiveView) return;
    EndEdit();
    // The editor lives inside the active pane.
    DestroyEditor();
    FActiveView = Pane;
    // Only the active pane shows a selection; each keeps its current cell.
    for (TQvView* v : FViews) v->ForgetSelection();
    InvalidateAll();
}

TQvSelection* TQvGrid::Selection() const { return FSheet ? FActiveView->Selection() : nullptr; }

TPoint TQvGrid::CurrentCell() const {
    TPoint p = FActiveView->Current();
    const TQvSectionKind k = FActiveView->Kind();
    if (k == skRowTitles || k == skCorner) p.X -= FSizes[axCols][spTitle]->Count();
    if (k == skColTitles || k == skCorner) p.Y -= FSizes[axRows][spTitle]->Count();
    return p;
}

void TQvGrid::SelChanged(TQvView* Pane) {
    if (Pane == FActiveView && OnSelChanged) OnSelChanged(this);
}

void TQvGrid::CurChanged(TQvView* Pane) {
    if (Pane == FActiveView && OnCurChanged) OnCurChanged(this);
}

void TQvGrid::EndUpdate() {
    // An unpaired EndUpdate does not push the counter below zero.
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) InvalidateAll();
}

// --- scaling and sizes -------------------------------------------------------

int32_t TQvGrid::ScaleValue(int32_t V) const {
    if (FScale == 100) return V;
    const int64_t r = int64_t(FScale) * V / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(r, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t TQvGrid::UnscaleValue(int32_t V) const {
    if (FScale == 100) return V;
    const int64_t r = int64_t(V) * 100 / FScale;
    return static_cast<int32_t>(std::clamp<int64_t>(r, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void TQvGrid::UpdateAllSizes() { RebuildSizes(true, true); }

void TQvGrid::UpdateSizesOf(TQvAxis Axis) { RebuildSizes(Axis == axCols, Axis == axRows); }

void TQvGrid::RebuildSizes(bool Cols, bool Rows) {
    TSize sizes[4];
    for (int k = 0; k < 4; ++k) sizes[k] = FViews[k]->ContentSize();
    if (FSheet) {
        for (TQvAxis axis : {axCols, axRows}) {
            if (!(axis == axCols ? Cols : Rows)) continue;
            for (TQvSizePart part : {spTitle, spClient}) {
                const TQvSizeList* s = FSheet->Sizes(axis, part);
                TQvSizeList* l = FSizes[axis][part].get();
                l->SetCount(s->Count());
                l->SetDefault(ScaleValue(s->Default()));  // drops the individual sizes
                // Each size is scaled and truncated on its own; entries at
                // the default stay unallocated. Only the stored sizes are
                // visited: a size far down a long axis costs one entry, not
                // a walk over every row above it.
                s->ForEach([&](int32_t i, int32_t) {
                    l->SetValue(i, ScaleValue(s->Values(i)));
                    return false;
                });
                const int32_t total = Total(l);
                TQvView *a, *b;
                PanesSharing(this, axis, part, a, b);
                for (TQvView* pane : {a, b}) {
                    (axis == axCols ? sizes[pane->Kind()].Width : sizes[pane->Kind()].Height) = total;
                    pane->InvalidatePane();
                }
            }
        }
    } else {
        for (auto& axis : FSizes)
            for (auto& part : axis) part->SetCount(0);
        for (TSize& s : sizes) s = {};
    }
    for (int k = 0; k < 4; ++k) FViews[k]->SetContentSize(sizes[k].Width, sizes[k].Height);
    AlignControls();
    FollowEditCell();
}

void TQvGrid::UpdateSizes(TQvAxis Axis) { UpdateSizesOf(Axis); }

void TQvGrid::ApplySize(TQvAxis Axis, TQvSizePart Part, int32_t Entry) {
    FSizingAxis = Axis;
    FSizingPart = Part;
    FSizingIndex = Entry;
    TQvSizeList* l = FSizes[Axis][Part].get();
    const int32_t oldSize = l->Size(Entry);
    const int32_t newSize = FSheet ? ScaleValue(FSheet->Sizes(Axis, Part)->Size(Entry)) : 0;
    if (oldSize == newSize) return;
    const int32_t offset = l->Offset(Entry);
    l->SetValue(Entry, newSize);
    TQvView *a, *b;
    PanesSharing(this, Axis, Part, a, b);
    a->ChangeSize(Axis, offset, oldSize, newSize);
    b->ChangeSize(Axis, offset, oldSize, newSize);
    AlignControls();
    FollowEditCell();
}

// --- layout ------------------------------------------------------------------

void TQvGrid::AlignControls() {
    // Panes stay where they are while a gesture runs.
    if (MouseTracking()) return;
    const QRect r0 = contentsRect();
    const TSize titles = FViews[skCorner]->ContentSize();
    const int left = std::min(r0.right() + 1, r0.left() + (HasOption(oTitleRows) ? titles.Width : 0));
    const int top = std::min(r0.bottom() + 1, r0.top() + (HasOption(oTitleCols) ? titles.Height : 0));
    const int w = std::max(0, r0.right() + 1 - left);
    const int h = std::max(0, r0.bottom() + 1 - top);
    // A band that is switched off has zero width or height.
    FViews[skClient]->setGeometry(left, top, w, h);
    FViews[skColTitles]->setGeometry(left, r0.top(), w, top - r0.top());
    FViews[skRowTitles]->setGeometry(r0.left(), top, left - r0.left(), h);
    FViews[skCorner]->setGeometry(r0.left(), r0.top(), left - r0.left(), top - r0.top());
}

void TQvGrid::resizeEvent(QResizeEvent* E) {
    QFrame::resizeEvent(E);
    AlignControls();
}

void TQvGrid::focusInEvent(QFocusEvent* E) {
    QFrame::focusInEvent(E);
    if (FActiveView) FActiveView->setFocus(E->reason());
}

// --- what the sheet asks of its views -------------------------------------------

void TQvGrid::InvalidateAll() {
    for (TQvView* v : FViews) v->InvalidatePane();
}

void TQvGrid::ReadLayout() {
    UpdateAllSizes();
    ResetSelection();
    InvalidateAll();
}

void TQvGrid::RepaintClient() { FViews[skClient]->InvalidatePane(); }

void TQvGrid::MergeChanged(TQvSectionKind Kind) {
    TQvView* pane = FViews[Kind];
    pane->SetSelection(pane->SelRect(), pane->Current(), nullptr);
}

void TQvGrid::InvalidateCells(TQvSectionKind Kind, const TRect& R, TQvRepaintArea Mode) {
    FViews[Kind]->InvalidateCells(R, false, Mode);
}

void TQvGrid::InvalidatePane(TQvSectionKind Kind) { FViews[Kind]->InvalidatePane(); }

void TQvGrid::SheetDestroying(TQvSheet*) { SetSheet(nullptr); }

void TQvGrid::LinesShifted(TQvAxis Axis) {
    UpdateSizesOf(Axis);
    TQvView* pane = FActiveView;
    if (!pane || !pane->Section()) return;
    pane->SetCurrent(pane->Current(), false, false);
    pane->SetSelection(pane->SelRect(), pane->Current(), nullptr);
}

}  // namespace qv

namespace qv {

// --- failures in event handlers -------------------------------------------------

bool TQvGrid::event(QEvent* E) {
    try {
        return QFrame::event(E);
    } catch (const std::exception& e) {
        ReportFailure("The last action", e);
        E->accept();
        return true;
    }
}

void TQvGrid::ReportFailure(const std::string& What, const std::exception& E) {
    std::string why;
    if (dynamic_cast<const std::bad_alloc*>(&E)) why = "not enough memory";
    else why = E.what();
    const std::string text = What + " failed: " + why + ". The sheet was left as it was.";
    // A status line never blocks; a host without one still hears of it.
    if (OnStatus && !FDestroying) OnStatus(this, text);
    else qWarning("%s", text.c_str());
}

void ReportEventFailure(QObject* Where, const std::exception& E) {
    for (QObject* o = Where; o; o = o->parent())
        if (auto* grid = qobject_cast<TQvGrid*>(o)) {
            grid->ReportFailure("The last action", E);
            return;
        }
    qWarning("The last action failed: %s", E.what());
}

}  // namespace qv
