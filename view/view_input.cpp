// Selection, keyboard navigation and mouse routing of a pane.
//
// A pane owns its current cell, its anchor (the point keyboard moves start
// from) and its selected rectangle. Mouse gestures are run by the grid,
// which its four panes share; the pane only routes its mouse events there.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <limits>

#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/undo_stack.h"
#include "view/grid.h"
#include "view/view.h"

namespace qv {

namespace {

constexpr int32_t Unbounded = std::numeric_limits<int32_t>::max();

TRect CellRect(TPoint P) { return {P.X, P.Y, P.X + 1, P.Y + 1}; }

TPoint ToPoint(const QPointF& P) { return {static_cast<int32_t>(P.x()), static_cast<int32_t>(P.y())}; }

// Enter and Tab step the current cell; inside a selection of several cells
// they walk it and keep it. When no step is possible the edit ends (a
// permanent editor stays).
void WalkCells(TQvView& Pane, TQvDirection Dir) {
    TQvGrid* grid = Pane.Grid();
    TPoint p = Pane.Anchor();
    const bool single = Pane.Selection()->IsSingle();
    if (Pane.StepCell(p, Dir, !single, grid->HasOption(oWrapKeys))) {
        Pane.SetCurrent(p, single, true);
        Pane.SetAnchor(p);
    } else if (!grid->HasOption(oPermEdit)) {
        grid->EndEdit();
    }
}

// Ctrl+Tab: the focus goes to the next widget of the window outside the
// grid (the previous one with Shift), as Tab would in a form.
void LeaveGrid(QWidget* Grid, bool Next) {
    const QWidget* window = Grid->window();
    QWidget* w = Grid;
    for (;;) {
        w = Next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == Grid) return;
        if (Grid->isAncestorOf(w) || w->window() != window) continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisible() && w->isEnabled() &&
            !w->focusProxy()) {
            w->setFocus(Next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

// A dialog window whose default button Enter would press.
bool HasDefaultButton(QWidget* Window) {
    auto* dlg = qobject_cast<QDialog*>(Window);
    if (!dlg) return false;
    for (auto* b : dlg->findChildren<QPushButton*>())
        if (b->isDefault() && b->isVisible() && b->isEnabled()) return true;
    return false;
}

}  // namespace

bool IsNavigationKey(int Key) {
    switch (Key) {
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

// --- what may become current ------------------------------------------------

bool TQvView::CanSelect(TPoint Cell) const {
    if (Cell.X < 0 || Cell.Y < 0 || Cell.X >= ColCount() || Cell.Y >= RowCount()) return false;
    if (FColSizes->Size(Cell.X) <= 0 || FRowSizes->Size(Cell.Y) <= 0) return false;
    if (!FSection) return true;
    // A position covered by a merged range is reached through its origin.
    if (FSection->FindUnionAt(Cell, false)) return false;
    if (FGrid->DesignMode()) return true;
    const TQvPro* source = FSection->FindCell(Cell);
    if (!source) source = FSection->BaseStyle();
    return !source || (source->Showing() && !source->Protected());
}

bool TQvView::CanEdit(TPoint Cell) const {
    if (!FSection) return false;
    const TQvSheet* sheet = FGrid->Sheet();
    if (!sheet || sheet->ReadOnly() || FGrid->HasOption(oReadOnly)) return false;
    if (QvManager().EditorCount(FSection->CellClassAt(Cell)) < 1) return false;
    return CanSelect(Cell);
}

// --- current cell and selection ---------------------------------------------

void TQvView::SetCurrent(TPoint Cell, bool ResetSel, bool Scroll) {
    const TPoint k = MergedOrigin(Clamp(Cell));
    if (k == FCurrent || !CanSelect(k)) return;
    const TPoint old = FCurrent;
    FGrid->EndEdit();
    FCurrent = k;
    FAnchor = k;
    const bool keepRange = !ResetSel && FGrid->HasOption(oRangeSelect);
    SetSelection(keepRange ? FSelRect : CellRect(k), old, nullptr);
    if (FGrid->HasOption(oPermEdit) && FGrid->ActiveView() == this) FGrid->BeginEdit();
    if (Scroll) ScrollIntoView(CellRect(k));
    FGrid->CurChanged(this);
}

void TQvView::SetSelection(TRect R, TPoint OldCurrent, TQvView* Origin) {
    if (!FSection) return;
    const bool active = FGrid->ActiveView() == this;

    // Step 1: widen to whole rows or to the bands a title pane stands for.
    if (!R.IsEmpty()) {
        if (IsClientPane()) {
            if (FGrid->HasOption(oRowSelect) && !FGrid->DesignMode()) {
                R.Left = 0;
                R.Right = Unbounded;
            }
        } else if (!active) {
            if (FKind == skRowTitles || FKind == skCorner) {
                R.Left = 0;
                R.Right = Unbounded;
            }
            if (FKind == skColTitles || FKind == skCorner) {
                R.Top = 0;
                R.Bottom = Unbounded;
            }
            // A title band must also cover the client's merged ranges that
            // cross it, and those may reach other title ranges: grow both
            // ways until nothing changes.
            TQvView* client = FGrid->Views(skClient);
            if (FKind != skCorner && client && client->Section()) {
                for (;;) {
                    TRect grown = ExpandMerged(R);
                    if (FKind == skColTitles) {
                        const TRect c = client->ExpandMerged({grown.Left, 0, grown.Right, Unbounded});
                        grown.Left = c.Left;
                        grown.Right = c.Right;
                    } else {
                        const TRect c = client->ExpandMerged({0, grown.Top, Unbounded, grown.Bottom});
                        grown.Top = c.Top;
                        grown.Bottom = c.Bottom;
                    }
                    if (grown == R) break;
                    R = grown;
                }
            }
        }
    }

    // Step 2: whole merged ranges only.
    R = ExpandMerged(R);

    // Step 3: show and announce a changed selection; otherwise only redraw
    // (the current-cell mark may have moved).
    const bool changed = ClipToCounts(R) && !(R == FSelRect);
    if (!changed) {
        ChangeSelection(R, OldCurrent);
        return;
    }
    ChangeSelection(R, OldCurrent);
    FSelection->Load();
    FGrid->SelChanged(this);

    // Step 4: bring the other panes in line.
    if (IsClientPane()) {
        if (!active) return;
        for (TQvSectionKind k : AllSectionKinds) {
            TQvView* pane = FGrid->Views(k);
            if (!pane || pane == this || pane == Origin || pane->SelRect().IsEmpty()) continue;
            pane->ChangeSelection(TRect{}, pane->Current());
        }
        return;
    }
    if (active) return;
    TQvView* client = FGrid->Views(skClient);
    if (!client || !client->Section()) return;
    TPoint cur;
    TRect band;
    switch (FKind) {
        case skColTitles:
            cur = {FCurrent.X, 0};
            band = {FSelRect.Left, 0, FSelRect.Right, Unbounded};
            break;
        case skRowTitles:
            cur = {0, FCurrent.Y};
            band = {0, FSelRect.Top, Unbounded, FSelRect.Bottom};
            break;
        default:
            cur = {0, 0};
            band = {0, 0, Unbounded, Unbounded};
            break;
    }
    client->SetCurrent(cur, false, true);
    client->SetSelection(band, client->Current(), this);
}

// --- stepping ---------------------------------------------------------------

bool TQvView::StepCell(TPoint& P, TQvDirection Dir, bool InsideSel, bool Wrap) const {
    if (Dir == dNone || ColCount() <= 0 || RowCount() <= 0) return false;
    TRect b{0, 0, ColCount(), RowCount()};
    if (InsideSel && !FSelRect.IsEmpty() && !FSelection->IsSingle()) {
        b = FSelRect;
        Wrap = true;
    }
    b = b.Intersected({0, 0, ColCount(), RowCount()});
    if (b.IsEmpty()) return false;

    // One step from Q; false when the bounds end the move. Q may lie
    // outside B (a current cell beside a selection set by code): the step
    // starts from Q itself, so Enter moves on from the current cell.
    auto step = [&](TPoint& Q) -> bool {
        if (FSection) {
            if (const TQvUnion* u = FSection->FindUnionAt(Q, true)) {
                const TRect& r = u->Rect();
                switch (Dir) {
                    case dRight: Q.X = r.Right - 1; break;
                    case dDown: Q.Y = r.Bottom - 1; break;
                    case dLeft: Q.X = r.Left; break;
                    case dUp: Q.Y = r.Top; break;
                    default: break;
                }
                Q.X = std::clamp(Q.X, b.Left, b.Right - 1);
                Q.Y = std::clamp(Q.Y, b.Top, b.Bottom - 1);
            }
        }
        switch (Dir) {
            case dRight:
                if (Q.X < b.Right - 1) ++Q.X;
                else if (Q.Y < b.Bottom - 1) Q = {b.Left, Q.Y + 1};
                else if (Wrap) Q = {b.Left, b.Top};
                else return false;
                return true;
            case dLeft:
                if (Q.X > b.Left) --Q.X;
                else if (Q.Y > b.Top) Q = {b.Right - 1, Q.Y - 1};
                else if (Wrap) Q = {b.Right - 1, b.Bottom - 1};
                else return false;
                return true;
            case dDown:
                if (Q.Y < b.Bottom - 1) ++Q.Y;
                else if (Wrap) Q = {Q.X < b.Right - 1 ? Q.X + 1 : b.Left, b.Top};
                else return false;
                return true;
            case dUp:
                if (Q.Y > b.Top) --Q.Y;
                else if (Wrap) Q = {Q.X > b.Left ? Q.X - 1 : b.Right - 1, b.Bottom - 1};
                else return false;
                return true;
            default:
                return false;
        }
    };

    // With Wrap the walk inside B is a cycle; when no position of B can be
    // selected it would never end. Every cycle visits at most Width x Height
    // positions, so one full pass without a hit reports no move. Coming back
    // to the first position stepped to inside B also closes the cycle early.
    // Steps outside B always move towards it and never repeat a position,
    // so the cells of the pane bound them.
    const int64_t insideLimit = int64_t(b.Width()) * int64_t(b.Height()) + 1;
    const int64_t outsideLimit = int64_t(ColCount()) * int64_t(RowCount());
    int64_t inside = 0;
    int64_t outside = 0;
    TPoint q = Clamp(P);
    TPoint first;
    for (;;) {
        if (!step(q)) return false;
        if (b.Contains(q)) {
            if (inside == 0) first = q;
            else if (q == first) return false;
            if (++inside > insideLimit) return false;
        } else if (++outside > outsideLimit) {
            return false;
        }
        if (CanSelect(MergedOrigin(q))) {
            P = q;
            return true;
        }
    }
}

// --- cell events ------------------------------------------------------------

void TQvView::CellClick(TPoint Cell) {
    if (FSection)
        if (TQvCell* c = FSection->FindCell(Cell)) c->Click();
    if (OnCellClickHook) OnCellClickHook(static_cast<TObject*>(this), Cell);
    if (FGrid->OnCellClick) FGrid->OnCellClick(static_cast<TObject*>(this), Cell);
}

void TQvView::CellDblClick(TPoint Cell) {
    if (FSection && Cell.X >= 0 && Cell.Y >= 0)
        if (TQvCell* c = FSection->NeedCell(Cell)) c->DblClick();
    if (OnCellDblClickHook) OnCellDblClickHook(static_cast<TObject*>(this), Cell);
    if (FGrid->OnCellDblClick) FGrid->OnCellDblClick(static_cast<TObject*>(this), Cell);
}

void TQvView::ResetState() {
    const bool shown = !FSelRect.IsEmpty();
    FSelRect = {};
    FCurrent = {};
    FAnchor = {};
    if (shown) InvalidatePane();
}

// --- IQvSelectionOwner ------------------------------------------------------

void TQvView::SelectRect(const TRect& R) { SetSelection(R, R.TopLeft(), nullptr); }

void TQvView::SelectionChanged() { FGrid->SelChanged(this); }

// --- keyboard ---------------------------------------------------------------

bool TQvView::event(QEvent* E) {
    try {
        return HandleEvent(E);
    } catch (const std::exception& e) {
        FGrid->ReportFailure("The last action", e);
        E->accept();
        return true;
    }
}

bool TQvView::HandleEvent(QEvent* E) {
    switch (E->type()) {
        case QEvent::ShortcutOverride: {
            // Keys the pane handles itself must not be taken as shortcuts:
            // the navigation keys always, Enter and typed characters when
            // the current cell can be edited.
            auto* k = static_cast<QKeyEvent*>(E);
            if (IsNavigationKey(k->key())) {
                E->accept();
                return true;
            }
            switch (k->key()) {
                case Qt::Key_Return: case Qt::Key_Enter:
                    if (CanEdit(FCurrent)) { E->accept(); return true; }
                    break;
                case Qt::Key_Tab: case Qt::Key_Backtab:
                    if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) { E->accept(); return true; }
                    break;
                case Qt::Key_Escape:
                    if (FGrid->MouseState() != TQvGrid::msIdle) { E->accept(); return true; }
                    break;
                default:
                    if (!k->text().isEmpty() && k->text().at(0).unicode() >= 32 &&
                        !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && CanEdit(FCurrent)) {
                        E->accept();
                        return true;
                    }
                    break;
            }
            break;
        }
        case QEvent::FocusIn: {
            // An open editor over this pane keeps the focus (Tab back into
            // the grid, a click on the edited cell): a key typed into the
            // pane would start a new entry and lose what the editor holds.
            const bool done = QWidget::event(E);
            if (FGrid->ActiveView() == this) TQvGridAccess::FocusOpenEditor(*FGrid);
            return done;
        }
        case QEvent::ContextMenu: {
            // A context menu opens only over the cells, not over the empty
            // area beyond them.
            auto* c = static_cast<QContextMenuEvent*>(E);
            const TPoint p{c->pos().x() + FScrollPos.X, c->pos().y() + FScrollPos.Y};
            if (c->reason() == QContextMenuEvent::Mouse &&
                (p.X >= FContentSize.Width || p.Y >= FContentSize.Height)) {
                E->accept();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::event(E);
}

bool TQvView::focusNextPrevChild(bool) {
    // Tab and Shift+Tab move the current cell (keyPressEvent); the grid is
    // left with Ctrl+Tab only.
    return false;
}

// Copy, cut and paste keys outside an edit: Ctrl+C, Ctrl+X, Ctrl+V and the
// platform's own bindings (Ctrl+Insert, Shift+Delete, Shift+Insert); and
// Ctrl+A, which selects all cells, and Delete, which clears their values.
static bool ClipboardKey(TQvGrid* Grid, QKeyEvent* E) {
    const Qt::KeyboardModifiers mods = E->modifiers() & ~Qt::KeypadModifier;
    const int key = E->key();
    const bool ctrl = mods == Qt::ControlModifier, shift = mods == Qt::ShiftModifier;
    if (E->matches(QKeySequence::Copy) || (ctrl && (key == Qt::Key_C || key == Qt::Key_Insert)))
        Grid->CopyToClipboard();
    else if (E->matches(QKeySequence::Cut) || (ctrl && key == Qt::Key_X) || (shift && key == Qt::Key_Delete))
        Grid->CutToClipboard();
    else if (E->matches(QKeySequence::Paste) || (ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert))
        Grid->PasteFromClipboard();
    else if (E->matches(QKeySequence::SelectAll) || (ctrl && key == Qt::Key_A))
        Grid->SelectAllCells();
    else if (mods == Qt::NoModifier && key == Qt::Key_Delete)
        Grid->ClearValues();
    else
        return false;
    E->accept();
    return true;
}

// Undo and redo outside an edit: Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z.
static bool UndoKey(TQvGrid* Grid, QKeyEvent* E) {
    if (!Grid->Sheet()) return false;
    const Qt::KeyboardModifiers mods = E->modifiers() & ~Qt::KeypadModifier;
    if (E->matches(QKeySequence::Undo) || (mods == Qt::ControlModifier && E->key() == Qt::Key_Z))
        Grid->Undo();
    else if (E->matches(QKeySequence::Redo) || (mods == Qt::ControlModifier && E->key() == Qt::Key_Y) ||
             (mods == (Qt::ControlModifier | Qt::ShiftModifier) && E->key() == Qt::Key_Z))
        Grid->Redo();
    else
        return false;
    E->accept();
    return true;
}

void TQvView::keyPressEvent(QKeyEvent* E) {
    // A key the editor over this pane did not want (Up in a one-line edit)
    // comes up here: it stays the editor's and moves nothing.
    if (TQvGridAccess::KeyFromEditor(*FGrid, E)) {
        E->accept();
        return;
    }
    if (EscapeKey(E) || TabKey(E) || NavigationKey(E)) return;
    if (!FGrid->Editing() && ClipboardKey(FGrid, E)) return;
    if (UndoKey(FGrid, E)) return;
    if (E->key() == Qt::Key_F2) {
        E->accept();
        FGrid->BeginEdit();
        return;
    }
    if (!CharacterKey(E)) QWidget::keyPressEvent(E);
}

bool TQvView::EscapeKey(QKeyEvent* E) {
    if (E->key() != Qt::Key_Escape) return false;
    if (FGrid->MouseState() != TQvGrid::msIdle) {
        // Escape first ends a mouse gesture (a sizing drag restores its
        // size). The cancel runs the gesture's handler once more, as a
        // release without a drag, at the last mouse point.
        TQvGridAccess::CancelMouse(*FGrid, this);
    } else if (FGrid->Editing() && FGrid->ActiveView() == this) {
        // Escape in an edit gives up what was typed.
        FGrid->CancelEdit();
    } else {
        return false;
    }
    E->accept();
    return true;
}

bool TQvView::TabKey(QKeyEvent* E) {
    // Tab stores and moves right, Shift+Tab left; Ctrl+Tab leaves the grid.
    const int key = E->key();
    const Qt::KeyboardModifiers mods = E->modifiers();
    if ((key != Qt::Key_Tab && key != Qt::Key_Backtab) || (mods & Qt::AltModifier)) return false;
    E->accept();
    const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
    if (mods & Qt::ControlModifier) LeaveGrid(FGrid, !back);
    else WalkCells(*this, back ? dLeft : dRight);
    return true;
}

bool TQvView::NavigationKey(QKeyEvent* E) {
    const int key = E->key();
    if (!IsNavigationKey(key)) return false;
    E->accept();
    // With range selection on, Shift+move keys do nothing.
    if ((E->modifiers() & Qt::ShiftModifier) && FGrid->HasOption(oRangeSelect)) return true;
    const bool ctrl = E->modifiers() & Qt::ControlModifier;
    // Page keys, Home and End put the anchor on a cell and go there when it
    // can be selected; otherwise, as for the arrows, a step finds the cell.
    TQvDirection d = dNone;
    bool jump = true;
    switch (key) {
        case Qt::Key_PageUp: case Qt::Key_PageDown:
            d = PageKey(key == Qt::Key_PageDown, ctrl);
            break;
        case Qt::Key_Home: case Qt::Key_End:
            d = LineEndKey(key == Qt::Key_End, ctrl);
            break;
        default:
            d = ArrowKey(key, ctrl);
            jump = false;
            break;
    }
    FAnchor = Clamp(FAnchor);
    if (!jump || !CanSelect(FAnchor)) StepCell(FAnchor, d, false, FGrid->HasOption(oWrapKeys));
    SetCurrent(FAnchor, true, true);
    return true;
}

TQvDirection TQvView::ArrowKey(int Key, bool Ctrl) {
    const bool horz = Key == Qt::Key_Left || Key == Qt::Key_Right;
    const bool back = Key == Qt::Key_Left || Key == Qt::Key_Up;
    if (Ctrl) {
        // Ctrl also scrolls one line the same way.
        const TScrollCode code = back ? scLineUp : scLineDown;
        if (horz) ClampScroll({ScrollCode(axCols, code, 0), FScrollPos.Y});
        else ClampScroll({FScrollPos.X, ScrollCode(axRows, code, 0)});
    }
    if (horz) return back ? dLeft : dRight;
    return back ? dUp : dDown;
}

TQvDirection TQvView::PageKey(bool Down, bool Ctrl) {
    if (Ctrl) {
        // To the first or the last row.
        ClampScroll({FScrollPos.X, Down ? ScrollCode(axRows, scBottom, 0) : 0});
        FAnchor.Y = Down ? RowCount() : 0;
    } else {
        // One client height away.
        int32_t y = FRowSizes->Offset(FAnchor.Y) + (Down ? ClientSize().Height : -ClientSize().Height);
        ClampScroll({FScrollPos.X, ScrollCode(axRows, Down ? scPageDown : scPageUp, 0)});
        FAnchor.Y = FRowSizes->IndexAt(y);
    }
    // A row that cannot be selected gives way back towards the start.
    return Down ? dUp : dDown;
}

TQvDirection TQvView::LineEndKey(bool End, bool Ctrl) {
    // To the first or last column; with Ctrl to the first or last cell.
    FAnchor.X = End ? ColCount() : 0;
    if (Ctrl) {
        FAnchor.Y = End ? RowCount() : 0;
        if (End) ClampScroll({ScrollCode(axCols, scBottom, 0), ScrollCode(axRows, scBottom, 0)});
        else ClampScroll({0, 0});
    }
    return End ? dLeft : dRight;
}

bool TQvView::CharacterKey(QKeyEvent* E) {
    // Printable characters and backspace go to the editor when the current
    // cell can be edited; the rest are key presses of the pane.
    const QString text = E->text();
    if (text.isEmpty()) return false;
    char32_t ch = text.toUcs4().value(0);
    const bool control = ch < 32 && ch != 8;
    if (!control) {
        FGrid->BeginEditAt(this, FCurrent);
        if (FGrid->ActiveView() == this && FGrid->Editing()) {
            // The editor takes the character: it replaces the cell's text.
            FGrid->TypeChar(ch);
            E->accept();
            return true;
        }
    }
    if (ch == U'\r') {
        EnterKey(E);
        return true;
    }
    // Any other key goes to the current cell, which may take it.
    if (!FSection || FCurrent.X >= ColCount() || FCurrent.Y >= RowCount()) return false;
    TQvCell* c = FSection->NeedCell(FCurrent);
    if (!c) return false;
    c->KeyPress(ch);
    if (ch != 0) return false;
    E->accept();
    return true;
}

void TQvView::EnterKey(QKeyEvent* E) {
    // In a dialog with a default button, Enter belongs to the dialog unless
    // the current cell can be edited.
    if (!CanEdit(FCurrent) && HasDefaultButton(window())) {
        E->ignore();
        return;
    }
    E->accept();
    WalkCells(*this, FGrid->EnterDir());
}

// --- mouse --------------------------------------------------------------------

void TQvView::mousePressEvent(QMouseEvent* E) {
    const TPoint p = ToPoint(E->position());
    TQvGridAccess::SetMousePoint(*FGrid, p);

    // Settle the focus: in design mode a click (with Ctrl, or whenever the
    // client is not active) makes this pane the active one; the active pane
    // or its editor must hold the focus.
    if (FGrid->DesignMode() &&
        ((E->modifiers() & Qt::ControlModifier) || FGrid->ActiveView() != FGrid->Views(skClient)))
        FGrid->SetActiveView(this);
    if (TQvView* active = FGrid->ActiveView()) {
        QWidget* f = QApplication::focusWidget();
        if (!f || (f != active && !active->isAncestorOf(f))) active->setFocus(Qt::MouseFocusReason);
    }

    if (E->button() == Qt::LeftButton) {
        // A press while a gesture still runs means its release was lost.
        if (FGrid->MouseTracking())
            TQvGridAccess::CancelMouse(*FGrid, this);
        if (FGrid->MouseState() == TQvGrid::msIdle) {
            // The handler is chosen while hovering; a press without a hover
            // before it (touch, synthetic input) chooses it here.
            FGrid->GetMouseAction(this, p);
            FGrid->MouseEvent(this, TQvGrid::meDown, E->modifiers(), false, p);
        }
    } else if (E->button() == Qt::RightButton) {
        TPoint cell;
        if (CellAt(p, false, cell) && !FSelRect.Contains(cell)) SetCurrent(cell, true, false);
    }
    E->accept();
    FireMouse(E);
}

void TQvView::mouseDoubleClickEvent(QMouseEvent* E) {
    const TPoint p = ToPoint(E->position());
    TQvGridAccess::SetMousePoint(*FGrid, p);
    // Qt delivers the second press of a double click before the double
    // click itself. That press began a gesture which the double click takes
    // over.
    if (E->button() == Qt::LeftButton) TQvGridAccess::DropPress(*FGrid, this);
    if (E->button() == Qt::LeftButton && FGrid->MouseState() == TQvGrid::msIdle) {
        FGrid->GetMouseAction(this, p);
        FGrid->MouseEvent(this, TQvGrid::meDown, E->modifiers(), true, p);
    }
    if (E->button() == Qt::LeftButton && FGrid->OnDblClick) FGrid->OnDblClick(static_cast<TObject*>(this));
    E->accept();
    // The second press of a double click is a press like the first.
    FireMouse(E);
}

void TQvView::mouseMoveEvent(QMouseEvent* E) {
    const TPoint p = ToPoint(E->position());
    TQvGridAccess::SetMousePoint(*FGrid, p);
    if (FGrid->MouseTracking()) {
        FGrid->MouseEvent(this, TQvGrid::meMove, E->modifiers(), false, p);
    } else if (E->buttons() == Qt::NoButton && FGrid->MouseState() == TQvGrid::msIdle) {
        // Hovering chooses the gesture a press would start and shows its
        // cursor.
        if (QApplication::focusWidget()) {
            const Qt::CursorShape shape = FGrid->GetMouseAction(this, p);
            if (shape == Qt::ArrowCursor) unsetCursor();
            else setCursor(shape);
        }
        // The cell's hint becomes the pane's tool tip.
        QString hint;
        TPoint cell;
        if (FShowHint && FSection && CellAt(p, false, cell))
            if (const TQvCell* c = FSection->FindCell(cell)) hint = QString::fromStdString(c->GetHint());
        if (hint != toolTip()) {
            setToolTip(hint);
            QToolTip::hideText();
        }
    }
    E->accept();
    FireMouse(E);
}

void TQvView::mouseReleaseEvent(QMouseEvent* E) {
    const TPoint p = ToPoint(E->position());
    TQvGridAccess::SetMousePoint(*FGrid, p);
    if (E->button() == Qt::LeftButton) {
        if (FGrid->MouseTracking()) FGrid->MouseEvent(this, TQvGrid::meUp, E->modifiers(), false, p);
        if (rect().contains(E->position().toPoint()) && FGrid->OnClick) FGrid->OnClick(static_cast<TObject*>(this));
    }
    E->accept();
    FireMouse(E);
}

void TQvView::FireMouse(QMouseEvent* E) {
    // Grid coordinates: the pane's position inside the grid added.
    const QPoint at = E->position().toPoint() + pos();
    TObject* sender = this;
    switch (E->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (FGrid->OnMouseDown) FGrid->OnMouseDown(sender, E->button(), E->modifiers(), at.x(), at.y());
            break;
        case QEvent::MouseMove:
            if (FGrid->OnMouseMove) FGrid->OnMouseMove(sender, E->modifiers(), at.x(), at.y());
            break;
        case QEvent::MouseButtonRelease:
            if (FGrid->OnMouseUp) FGrid->OnMouseUp(sender, E->button(), E->modifiers(), at.x(), at.y());
            break;
        default:
            break;
    }
}

}  // namespace qv
