// The mouse gestures a grid's panes share: selecting cells and sizing
// columns and rows by dragging the edges of title cells.
//
// A gesture runs through MouseState: 0 idle, 1 pressed, 2 dragging, 3
// released after a drag, 4 released without a drag or cancelled; 3 and 4
// fall back to 0 once the handler has seen them. The handler is chosen by
// GetMouseAction before the press.
#include <QApplication>
#include <QTimerEvent>

#include "grids/sheet.h"
#include "grids/undo_stack.h"
#include "view/grid.h"

namespace qv {

namespace {

constexpr int AutoScrollInterval = 40;  // ms
constexpr int32_t MinUnscaledSize = 5;  // px at 100 %

int32_t Along(TPoint P, TQvAxis Axis) { return Axis == axCols ? P.X : P.Y; }

}  // namespace

// --- choosing the gesture ---------------------------------------------------

Qt::CursorShape TQvGrid::GetMouseAction(TQvView* Pane, TPoint P) {
    FMouseHandler = mhNone;
    if (!Pane || !FSheet || FSheet->ReadOnly()) return Qt::ArrowCursor;
    TPoint cell;
    switch (Pane->HitTest(P, cell)) {
        case TQvView::hzCell:
            if (!FDesignMode && !Pane->CanSelect(Pane->MergedOrigin(cell))) return Qt::ArrowCursor;
            FMouseHandler = mhSelect;
            return Qt::ArrowCursor;
        case TQvView::hzColEdge:
            // Only the title panes offer sizing.
            if (!HasOption(oColSizing) || Pane->IsClientPane()) return Qt::ArrowCursor;
            FMouseHandler = mhSizing;
            FSizingAxis = axCols;
            FSizingIndex = cell.X;
            FSizingPart = Pane->Kind() == skColTitles ? spClient : spTitle;
            return Qt::SplitHCursor;
        case TQvView::hzRowEdge:
            if (!HasOption(oRowSizing) || Pane->IsClientPane()) return Qt::ArrowCursor;
            FMouseHandler = mhSizing;
            FSizingAxis = axRows;
            FSizingIndex = cell.Y;
            FSizingPart = Pane->Kind() == skRowTitles ? spClient : spTitle;
            return Qt::SplitVCursor;
        default:
            return Qt::ArrowCursor;
    }
}

// --- the state machine --------------------------------------------------------

void TQvGrid::CancelMouse(TQvView* Pane) {
    // At the pane's origin the cancel would stretch the selection to the
    // first cell and click that cell. At the last point the selection the
    // user dragged stays as it is, the click goes to the cell under the
    // mouse, and a sizing drag puts the old size back.
    MouseEvent(FTrackView ? FTrackView : Pane, meCancel, Qt::NoModifier, false, FMousePoint);
}

void TQvGrid::DropPress(TQvView* Pane) {
    if (FMouseState != msPressed || FTrackView != Pane) return;
    // Only the client pane's sizing line is on screen at this point.
    if (FMouseHandler == mhSizing && FSizingPart == spClient)
        ShowSizing(FViews[skClient], FSizingLastSize, FSizingLastSize);
    FMouseState = msIdle;
    FTrackView = nullptr;
}

void TQvGrid::MouseEvent(TQvView* Pane, TMouseEventKind Event, Qt::KeyboardModifiers Shift, bool Double, TPoint P) {
    if (FMouseHandler == mhNone || !Pane) return;
    FDragFlag = FMouseState == msDragging;
    if (Event == meUp || Event == meCancel) {
        FAutoScrollTimer.stop();
        if (!FDragFlag) Event = meCancel;  // a release without a drag is a click
    }
    FMouseState = static_cast<TMouseState>(Event);
    FTrackView = Pane;
    if (FMouseHandler == mhSelect) SelectHandler(Pane, P, Shift, Double);
    else SizingHandler(Pane, P, Shift, Double);
    if (FMouseState == msReleased || FMouseState == msClicked) {
        FMouseState = msIdle;
        FTrackView = nullptr;
    } else if (FMouseState == msDragging) {
        FAutoScrollTimer.start(AutoScrollInterval, this);
    }
}

void TQvGrid::timerEvent(QTimerEvent* E) {
    if (E->timerId() == FAutoScrollTimer.timerId()) AutoScroll();
    else QFrame::timerEvent(E);
}

void TQvGrid::AutoScroll() {
    if (FMouseState != msDragging || FMouseHandler == mhSizing || !FTrackView) {
        FAutoScrollTimer.stop();
        return;
    }
    TQvView* client = FViews[skClient];
    // The last mouse position the tracked pane received: it holds the mouse
    // while the button is down, so this is where the pointer rests.
    const TPoint p = FMousePoint;
    const TSize size = FTrackView->ClientSize();
    const TQvSectionKind kind = FTrackView->Kind();
    TPoint pos = client->ScrollPos();
    auto follow = [&](TQvAxis Axis, int32_t Coord, int32_t Extent, int32_t& Target) {
        if (Coord < 0) Target = client->ScrollCode(Axis, TQvView::scLineUp, 0);
        else if (Coord >= Extent) Target = client->ScrollCode(Axis, TQvView::scLineDown, 0);
    };
    if (kind == skClient || kind == skColTitles) follow(axCols, p.X, size.Width, pos.X);
    if (kind == skClient || kind == skRowTitles) follow(axRows, p.Y, size.Height, pos.Y);
    if (client->ScrollTo(pos)) MouseEvent(FTrackView, meMove, Qt::NoModifier, false, p);
}

// --- selecting ----------------------------------------------------------------

void TQvGrid::SelectHandler(TQvView* Pane, TPoint P, Qt::KeyboardModifiers Shift, bool Double) {
    TPoint k;
    // The press may scroll the view (a partly hidden title cell comes into
    // view), which moves another cell under the pointer that has not moved.
    // Once the view moved, the gesture stays on the cell that was pressed
    // until the pointer first leaves the press point by a drag distance.
    if (FMouseState == msPressed) {
        Pane->CellAt(P, true, k);
        FPressPoint = P;
        FPressCell = k;
        FPressScroll = Pane->ScrollPos();
        FPressHeld = true;
    } else {
        if (FPressHeld) FPressHeld = NearPress(Pane, P);
        if (FPressHeld && Pane->ScrollPos() != FPressScroll) k = FPressCell;
        else Pane->CellAt(P, true, k);
    }
    // A press without Shift starts at the pressed cell; Shift keeps the
    // current cell so the selection extends from it.
    if (FMouseState == msPressed && !(Shift & Qt::ShiftModifier)) {
        Pane->SetCurrent(k, true, false);
        if (Double) BeginEdit();
    }
    // Without range selection a drag moves the current cell.
    if (!FDesignMode && !HasOption(oRangeSelect)) {
        if (Pane->CanSelect(k)) Pane->SetCurrent(k, true, false);
        else k = Pane->Current();
    }
    const TPoint cur = Pane->Current();
    Pane->SetSelection({std::min(cur.X, k.X), std::min(cur.Y, k.Y), std::max(cur.X, k.X) + 1,
                        std::max(cur.Y, k.Y) + 1},
                       cur, nullptr);
    if (FMouseState == msReleased) Pane->ScrollIntoView({k.X, k.Y, k.X + 1, k.Y + 1});
    if (Double) {
        if (FMouseState == msPressed) Pane->CellDblClick(k);
        return;
    }
    if (FMouseState == msReleased || FMouseState == msClicked) Pane->CellClick(k);
}

bool TQvGrid::NearPress(TQvView* Pane, TPoint P) const {
    const QPoint d(P.X - FPressPoint.X, P.Y - FPressPoint.Y);
    const TSize client = Pane->ClientSize();
    return d.manhattanLength() < QApplication::startDragDistance() && P.X >= 0 && P.Y >= 0 &&
           P.X < client.Width && P.Y < client.Height;
}

// --- sizing -------------------------------------------------------------------

void TQvGrid::SizingHandler(TQvView* Pane, TPoint P, Qt::KeyboardModifiers, bool Double) {
    TQvSizeList* list = FSizes[FSizingAxis][FSizingPart].get();
    // The two panes showing this list: for titles the corner and the other
    // title pane, for the client part the client pane and the title pane of
    // the axis.
    TQvView* a = FSizingPart == spTitle ? FViews[FSizingAxis ^ 1] : FViews[FSizingAxis];
    TQvView* b = FSizingPart == spTitle ? FViews[skCorner] : FViews[skClient];
    const bool bIsClient = b->IsClientPane();

    // Step 1: the press records where the gesture started.
    if (FMouseState == msPressed) {
        EndEdit();
        FSizingOffset = list->Offset(FSizingIndex);
        FSizingOldSize = FSizingLastSize = FSizingNewSize = list->Size(FSizingIndex);
        if (Double) {
            FMouseState = msClicked;
            int32_t index = FSizingIndex;
            if (FSizingPart == spTitle && FSheet) index -= FSheet->Count(FSizingAxis, spTitle);
            // What the host does on a double click is the person's step.
            TQvUndoStep step(FSheet, "Size");
            if (FSizingAxis == axCols) {
                if (OnColDblClick) OnColDblClick(static_cast<TObject*>(this), {index, 0});
            } else if (OnRowDblClick) {
                OnRowDblClick(static_cast<TObject*>(this), {0, index});
            }
            return;
        }
    }

    // Step 2: a move proposes a new size, at least 5 unscaled pixels; off
    // the grid the old size comes back.
    if (FMouseState == msDragging) {
        const QRect area = contentsRect();
        const QPoint origin = Pane->mapFrom(this, area.topLeft());
        const int32_t lo = Along({origin.x(), origin.y()}, FSizingAxis);
        const int32_t hi = lo + (FSizingAxis == axCols ? area.width() : area.height());
        const int32_t at = Along(P, FSizingAxis);
        if (at >= lo && at < hi && FSheet) {
            int32_t v = std::max(UnscaleValue(Along(Pane->ScrollPos(), FSizingAxis) + at - FSizingOffset),
                                 MinUnscaledSize);
            FSheet->DoSizing(FSizingAxis, FSizingPart, v, FSizingIndex);
            FSizingNewSize = ScaleValue(v);
        } else {
            FSizingNewSize = FSizingOldSize;
        }
        if (FSizingNewSize == FSizingLastSize) return;
    }

    // Step 3: the client pane's feedback line goes (and on release after a
    // drag the client pane takes the new size).
    if (bIsClient && FMouseState >= msDragging) ShowSizing(b, FSizingLastSize, FSizingLastSize);

    // Step 4: a release after a drag stores the size in the sheet.
    if (FMouseState == msReleased && FSheet) {
        TQvUndoStep step(FSheet, "Size");
        FSheet->Sizes(FSizingAxis, FSizingPart)->SetValue(FSizingIndex, UnscaleValue(FSizingNewSize));
        FSheet->NotifySizeChanged(this, FSizingAxis, FSizingIndex, FSizingPart);
        AlignControls();
    }

    // Step 5: a click or Escape restores the size.
    if (FMouseState == msClicked) FSizingNewSize = FSizingOldSize;

    list->SetValue(FSizingIndex, FSizingNewSize);

    if (FMouseState == msPressed || FMouseState == msDragging || FMouseState == msClicked) {
        ShowSizing(a, FSizingLastSize, FSizingNewSize);
        if (!(bIsClient && FMouseState == msClicked)) ShowSizing(b, FSizingLastSize, FSizingNewSize);
    }
    if ((FMouseState == msReleased || FMouseState == msClicked) && HasOption(oPermEdit)) BeginEdit();
    FSizingLastSize = FSizingNewSize;
}

void TQvGrid::ShowSizing(TQvView* Pane, int32_t From, int32_t To) {
    if (!Pane->IsClientPane()) {
        Pane->ChangeSize(FSizingAxis, FSizingOffset, From, To);
        return;
    }
    // The client pane shows a line at the proposed edge over the cells as
    // they were, instead of moving them. Calls alternate: one shows the line,
    // the next takes it away, so nothing of it stays once the gesture ends.
    if (Pane->SizingLineShown()) {
        // Between two steps of a drag the picture stays frozen.
        Pane->HideSizingLine(FMouseState != msDragging);
    } else {
        const int32_t edge = FSizingOffset + To - Along(Pane->ScrollPos(), FSizingAxis);
        Pane->ShowSizingLine(FSizingAxis, edge - 1);
    }
    if (FMouseState == msReleased) Pane->ChangeSize(FSizingAxis, FSizingOffset, FSizingOldSize, To);
}

}  // namespace qv
