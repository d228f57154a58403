// TQvGrid: the in-place editing flow. The grid lays one editor widget over
// the cell being edited (or inside EditorParent), hands it the cell through
// the editor interfaces and takes it back when the cell is left.
//
// Invariants:
//   - FEditCell, when set, carries psEditing; no other cell of this grid does.
//   - The interface pointers are views of FEditor and are null whenever
//     FEditor is: they are only used behind a check of FEditor.
//   - An editor that leaves the grid is hidden at once and freed later
//     (deleteLater): the grid may be deep inside the editor's own key
//     handling when the current cell moves, and the widget must outlive it.
//
// Keys: Qt has no window procedure to replace, so an event filter on the
// editor and its child widgets stands in for it. Key events the grid takes
// are sent on to the active pane as if typed there; the rest reach the
// editor, and one the editor ignores goes no further than the pane, which
// drops it (Qt would hand it on as if typed there).
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMimeData>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <any>
#include <exception>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/editor_classes.h"
#include "grids/manager.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "qt/qt_convert.h"
#include "view/cell_text.h"
#include "view/grid.h"

namespace qv {

namespace {

bool IsEnter(int Key) { return Key == Qt::Key_Return || Key == Qt::Key_Enter; }

bool IsEnterOrEscape(int Key) { return IsEnter(Key) || Key == Qt::Key_Escape; }

bool IsTab(int Key) { return Key == Qt::Key_Tab || Key == Qt::Key_Backtab; }

// Editors that hold several lines take a line break from Ctrl+Enter and
// Shift+Enter.
bool IsMultiLine(const QWidget* W) { return qobject_cast<const QPlainTextEdit*>(W) || qobject_cast<const QTextEdit*>(W); }

// Whether a key types into a text: a character or backspace.
bool IsTyping(const QKeyEvent* E) {
    if (E->key() == Qt::Key_Backspace) return true;
    if (E->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString t = E->text();
    return !t.isEmpty() && t.at(0).unicode() >= 32 && t.at(0).unicode() != 127;
}

// The clipboard holds cells copied as a block: the grid's own form, or
// text of several cells (a tab or a line break between them).
bool ClipboardHoldsBlock() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data) return false;
    if (data->hasFormat(TQvGrid::RangeMimeType)) return true;
    if (!data->hasText()) return false;
    QString text = data->text();
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n'));
}

enum TGridKey { gkNone, gkCopy, gkCut, gkPaste, gkSelectAll, gkDelete };

TGridKey GridKeyOf(const QKeyEvent* E) {
    const Qt::KeyboardModifiers mods = E->modifiers() & ~Qt::KeypadModifier;
    const int key = E->key();
    const bool ctrl = mods == Qt::ControlModifier, shift = mods == Qt::ShiftModifier;
    if (E->matches(QKeySequence::Copy) || (ctrl && (key == Qt::Key_C || key == Qt::Key_Insert))) return gkCopy;
    if (E->matches(QKeySequence::Cut) || (ctrl && key == Qt::Key_X) || (shift && key == Qt::Key_Delete)) return gkCut;
    if (E->matches(QKeySequence::Paste) || (ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert))
        return gkPaste;
    if (E->matches(QKeySequence::SelectAll) || (ctrl && key == Qt::Key_A)) return gkSelectAll;
    if (mods == Qt::NoModifier && key == Qt::Key_Delete) return gkDelete;
    return gkNone;
}

// Whether an object is Root or lies inside it.
bool Inside(const QWidget* Root, const QObject* O) {
    for (; O; O = O->parent())
        if (O == Root) return true;
    return false;
}

}  // namespace

// --- starting and ending ------------------------------------------------------

void TQvGrid::SetEditing(bool V) {
    if (V == Editing() || !FActiveView) return;
    if (V) BeginEditAt(FActiveView, FActiveView->Current());
    else SetEditCell(FActiveView, nullptr);
}

void TQvGrid::EndEdit() {
    if (FActiveView) SetEditCell(FActiveView, nullptr);
    else FEditCell = nullptr;
}

void TQvGrid::EditCellDestroying() {
    FEditCellDying = true;
    EndEdit();
    FEditCellDying = false;
}

void TQvGrid::BeginEditAt(TQvView* Pane, TPoint K) {
    if (!Pane) return;
    if (Pane->CanEdit(K)) {
        TQvCell* cell = nullptr;
        TQvSection* section = Pane->Section();
        const bool created = !section->FindCell(K) && !section->FindUnionAt(K, true);
        try {
            cell = section->NeedCell(K);
        } catch (const std::exception&) {
            cell = nullptr;  // a cell that cannot be made is not edited
        }
        if (cell) {
            SetEditCell(Pane, cell);
            if (FEditCell == cell && created) {
                FCreatedCell = cell;
                FCreatedRecord = CellRecord(*cell);
            } else if (FEditCell == cell) {
                FCreatedCell = nullptr;
            }
        }
    } else if (Pane == FActiveView) {
        SetEditing(false);
    }
}

void TQvGrid::SetEditCell(TQvView* Pane, TQvCell* Cell) {
    if (!Pane || Pane != FActiveView) return;
    const bool was = Editing();
    if (Cell) {
        CreateEditor(QvManager().EditorClass(Cell->GetCellClass(), Cell->EditorIndex()));
        if (FEditor) {
            SetEnterMode(HasOption(oPermEdit));
            AttachCell(Cell);
        }
    } else if (FEditor) {
        // Also while the grid is destroyed: the sheet outlives it here, and
        // what was typed belongs in the cell.
        AttachCell(nullptr);
    } else if (FEditCell) {
        FEditCell->ExcludeState(psEditing);
        FEditCell = nullptr;
    }
    // Handlers may already be gone with the grid's owner.
    if (Editing() != was && !FDestroying && OnEditModeChanged) OnEditModeChanged(this);
}

void TQvGrid::SetEnterMode(bool V) {
    if (V == FEnterMode) return;
    FEnterMode = V;
    if (!FDestroying && OnEnterModeChanged) OnEnterModeChanged(this);
}

// --- the editor widget ----------------------------------------------------------

void TQvGrid::CreateEditor(TClass EC) {
    if (FEditor && FEditorClass == EC) return;
    // The old widget holds what was typed into the attached cell: it writes
    // it back before it goes, never a fresh editor of another class.
    if (FEditor && FEditCell) AttachCell(nullptr);
    DestroyEditor();
    if (!EC) return;
    const std::any* bound = EditorClasses::EditorFactory(EC);
    const TQvEditorFactory* factory = bound ? std::any_cast<TQvEditorFactory>(bound) : nullptr;
    if (!factory || !*factory) return;
    QWidget* parent = FEditorParent ? FEditorParent.data() : static_cast<QWidget*>(FActiveView);
    QWidget* w = nullptr;
    try {
        w = (*factory)(parent);
    } catch (const std::exception&) {
        w = nullptr;
    }
    if (!w) return;
    if (w->parentWidget() != parent) w->setParent(parent);
    w->hide();
    FEditor = w;
    FEditorObject = w;
    FEditorClass = EC;
    FEditorIntf = dynamic_cast<IQvEditor*>(w);
    FValidatorIntf = dynamic_cast<IQvValidator*>(w);
    FMsgFilterIntf = dynamic_cast<IQvMsgFilter*>(w);
    FLayoutIntf = dynamic_cast<IQvLayout*>(w);
    connect(w, &QObject::destroyed, this, &TQvGrid::EditorDestroyed);
    // Key events arrive at the focus widget, which for a composite editor
    // (a spin or date box, a combo box) is one of its children.
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>()) child->installEventFilter(this);
    if (FEditorParent) {
        FEditorParent->installEventFilter(this);
        w->setGeometry(FEditorParent->rect());
    }
}

void TQvGrid::ForgetEditor() {
    FEditor = nullptr;
    FEditorObject = nullptr;
    FEditorClass = nullptr;
    FEditorIntf = nullptr;
    FValidatorIntf = nullptr;
    FMsgFilterIntf = nullptr;
    FLayoutIntf = nullptr;
    FRoutedEvent = nullptr;
    FPassedToEditor = nullptr;
    FReplaceOnType = false;
    FRestored = false;
}

void TQvGrid::DestroyEditor() {
    QWidget* w = FEditor;
    ForgetEditor();
    if (FEditorParent) FEditorParent->removeEventFilter(this);
    if (!w) return;
    disconnect(w, &QObject::destroyed, this, &TQvGrid::EditorDestroyed);
    w->removeEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>()) child->removeEventFilter(this);
    const bool hadFocus = Inside(w, QApplication::focusWidget());
    w->hide();
    if (hadFocus && !FDestroying && FActiveView) FActiveView->setFocus(Qt::OtherFocusReason);
    w->deleteLater();
}

void TQvGrid::EditorDestroyed(QObject* Widget) {
    if (Widget != FEditorObject) return;
    ForgetEditor();
    if (TQvCell* cell = FEditCell) {
        // Nothing is left to write back.
        cell->ExcludeState(psEditing);
        FEditCell = nullptr;
        if (!FDestroying && OnEditModeChanged) OnEditModeChanged(this);
    }
}

// --- attaching a cell -------------------------------------------------------------

void TQvGrid::FreeUnusedCell(TQvCell* Cell) {
    TQvSection* section = Cell->Section();
    TQvRow* row = Cell->Row();
    if (!section || !row) return;
    const int32_t x = Cell->Col(), y = row->Index();
    section->FreeCells({x, y, x + 1, y + 1});
}

void TQvGrid::AttachCell(TQvCell* Cell) {
    if (Cell == FEditCell) return;
    if (TQvCell* old = FEditCell) {
        // A cell freed while edited reaches here from its own destructor;
        // its typed part is gone by then, so nothing is written into it.
        // After Escape, an editor nobody touched again holds the stored
        // value: the cell stays exactly as it is, its error mark included.
        if (!FEditCellDying && FEditor && !FRestored) {
            // What was typed is one step a person can take back.
            TQvCellUndoStep step(old, "Typing", old == FCreatedCell);
            const bool silent = old->HasState(psSilent);
            old->IncludeState(psSilent);
            bool valid = true;
            try {
                valid = !FValidatorIntf || FValidatorIntf->IsValid();
                if (FEditorIntf) FEditorIntf->StoreCell(old);
            } catch (const std::exception&) {
                // The text did not convert: the cell keeps what it had and
                // shows that the entry was refused.
                valid = false;
            }
            if (!silent) old->ExcludeState(psSilent);
            if (valid) old->ExcludeState(psError);
            else old->IncludeState(psError);
            // The error colour is part of the painted text.
            if (TQvSection* s = old->Section()) s->Invalidate(old->GetRect(), false);
        }
        old->ExcludeState(psEditing);
    }
    // A cell the editor made and nothing changed goes again.
    TQvCell* unused = nullptr;
    if (FEditCell && FEditCell == FCreatedCell) {
        if (!FEditCellDying && CellRecord(*FEditCell) == FCreatedRecord) unused = FEditCell;
        FCreatedCell = nullptr;
    }
    FEditCell = Cell;
    FRestored = false;
    if (unused && unused != Cell) FreeUnusedCell(unused);
    if (Cell) {
        PositionEditor();
        if (!Cell->HasState(psSilent)) LoadEditor(Cell);
        Cell->IncludeState(psEditing);
    }
    ShowEditor();
    // In enter mode (a permanent editor that followed the current cell) the
    // loaded text starts selected, so that typing replaces it as typing on
    // a cell without an editor does; with the caret at the end, "9.99"
    // typed over "0.00" would read "0.00999". In edit mode the text is
    // there to be changed: the caret waits at its end.
    FReplaceOnType = false;
    if (FEditCell && FEnterMode) {
        if (QObject* selector = TextSelector()) QMetaObject::invokeMethod(selector, "selectAll", Qt::DirectConnection);
        FReplaceOnType = true;
    } else if (FEditCell) {
        CaretToEnd();
    }
}

void TQvGrid::CancelEdit() {
    if (!Editing()) return;
    // The cell has not been written since it was attached: loading it again
    // brings back its stored value.
    if (!FEditCell->HasState(psSilent)) LoadEditor(FEditCell);
    SetEnterMode(true);
    if (QObject* selector = TextSelector()) QMetaObject::invokeMethod(selector, "selectAll", Qt::DirectConnection);
    FReplaceOnType = true;
    FRestored = true;
}

void TQvGrid::CaretToEnd() {
    FReplaceOnType = false;
    for (QWidget* w : {static_cast<QWidget*>(FEditor), EditorFocusTarget()}) {
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            line->end(false);
            return;
        }
        if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
            plain->moveCursor(QTextCursor::End);
            return;
        }
        if (auto* rich = qobject_cast<QTextEdit*>(w)) {
            rich->moveCursor(QTextCursor::End);
            return;
        }
    }
}

QObject* TQvGrid::TextSelector() const {
    if (!FEditor) return nullptr;
    if (FEditor->metaObject()->indexOfMethod("selectAll()") >= 0) return FEditor;
    if (QWidget* t = EditorFocusTarget(); t && t->metaObject()->indexOfMethod("selectAll()") >= 0) return t;
    return nullptr;
}

void TQvGrid::PositionEditor() {
    if (!FEditor || !FEditCell) return;
    if (FEditorParent) {
        const QRect a = FEditorParent->rect();
        PlaceEditor(FEditor, TRect{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
        return;
    }
    TQvView* pane = FActiveView;
    const TRect cells = FEditCell->GetRect();
    TRect px;
    if (!pane->CellRectToPixels(cells, TQvView::paWhole, px)) px = TRect{};
    const int32_t frame = pane->Section() ? pane->Section()->AreaValue(cells.Left, cells.Top) : 0;
    const TRect r = FrameInset(px, frame);
    PlaceEditor(FEditor, r);
}

void TQvGrid::LoadEditor(TQvCell* Cell) {
    const TQvBaseStyle* base = FActiveView->Section() ? FActiveView->Section()->BaseStyle() : nullptr;
    TColor fill = Cell->Color();
    if (fill == clNone && base) fill = base->Color();
    const TFont& font = CellFont(Cell);
    QPalette pal = FEditor->palette();
    if (fill != clNone) {
        const QColor bg = ToQColor(fill);
        pal.setColor(QPalette::Base, bg);
        pal.setColor(QPalette::Window, bg);
    }
    const QColor fg = ToQColor(font.Color());
    pal.setColor(QPalette::Text, fg);
    pal.setColor(QPalette::WindowText, fg);
    FEditor->setPalette(pal);
    FEditor->setFont(ToQFont(font, FScale));
    try {
        if (FLayoutIntf) FLayoutIntf->SetLayout(Cell->Layout());
        if (FEditorIntf) FEditorIntf->LoadCell(Cell, base ? base->ErrorColor() : clRed);
    } catch (const std::exception&) {
        // A value the editor cannot take (a date editor given text that is
        // no number): the editor shows its empty value and the edit goes on.
    }
}

void TQvGrid::ShowEditor() {
    if (!FEditor) return;
    if (FEditCell) {
        FEditor->setEnabled(true);
        FEditor->show();
        FEditor->raise();
        FEditor->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (FEditorParent) {
        // Inside an outside parent (a formula bar) the editor stays in view.
        FEditor->setEnabled(false);
        return;
    }
    // The focus comes back to the grid only from the editor: an edit ended
    // from elsewhere (a tool button, another grid) leaves the focus where
    // the user put it.
    const bool hadFocus = Inside(FEditor, QApplication::focusWidget());
    if (hadFocus && !FDestroying && FActiveView && isEnabled()) FActiveView->setFocus(Qt::OtherFocusReason);
    FEditor->hide();
}

void TQvGrid::FollowEditCell() {
    if (!Editing()) return;
    PositionEditor();
    FEditor->setFont(ToQFont(CellFont(FEditCell), FScale));
}

QWidget* TQvGrid::EditorFocusTarget() const {
    QWidget* w = FEditor;
    while (w && w->focusProxy()) w = w->focusProxy();
    return w;
}

// --- typing into the editor ---------------------------------------------------------

void TQvGrid::TypeChar(char32_t Ch) {
    SetEnterMode(true);
    if (!FEditor || !FEditCell) return;
    FReplaceOnType = false;
    FRestored = false;
    QWidget* w = FEditor;
    // Both are queued in this order, so the character replaces the whole
    // text once the editor runs them. A widget without selectAll (a drop
    // down list) takes the character alone.
    if (QObject* selector = TextSelector()) QMetaObject::invokeMethod(selector, "selectAll", Qt::QueuedConnection);
    int key = Qt::Key_unknown;
    QString text;
    if (Ch == 8) {
        key = Qt::Key_Backspace;
        text = QString(QChar(8));
    } else {
        text = QString::fromUcs4(&Ch, 1);
        if (Ch < 128) key = QChar(static_cast<char16_t>(Ch)).toUpper().unicode();
    }
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    w->setFocus(Qt::OtherFocusReason);
}

// --- the editor hook -------------------------------------------------------------------

bool TQvGrid::eventFilter(QObject* Watched, QEvent* E) {
    try {
        return FilterEvent(Watched, E);
    } catch (const std::exception& e) {
        ReportFailure("The last action", e);
        E->accept();
        return true;
    }
}

bool TQvGrid::FilterEvent(QObject* Watched, QEvent* E) {
    if (FEditorParent && Watched == FEditorParent.data()) {
        if (E->type() == QEvent::Resize && FEditor && FEditor->parentWidget() == FEditorParent)
            FEditor->setGeometry(FEditorParent->rect());
        return false;
    }
    if (!FEditor || !Inside(FEditor, Watched)) return QFrame::eventFilter(Watched, E);
    switch (E->type()) {
        case QEvent::ShortcutOverride: {
            // Keys that belong to the editor or to the grid must not fire a
            // shortcut of the window first: the clipboard keys and Ctrl+A
            // act on the text or the cells, Insert and Delete edit the text,
            // Enter, Escape and Tab (and the navigation keys in enter mode)
            // go to the grid.
            auto* k = static_cast<QKeyEvent*>(E);
            const int key = k->key();
            if (key == Qt::Key_Insert || key == Qt::Key_Delete || IsEnterOrEscape(key) || GridKeyOf(k) != gkNone ||
                (IsTab(key) && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) ||
                (FEnterMode && IsNavigationKey(key))) {
                E->accept();
                return true;
            }
            return false;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return EditorKey(Watched, static_cast<QKeyEvent*>(E));
        case QEvent::FocusIn:
            // The focus came back (from a menu bar, another window) to text
            // that typing still replaces: show it selected again once the
            // editor has taken the focus.
            if (FReplaceOnType && FEditCell) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (!FReplaceOnType || !FEditCell) return;  // typed meanwhile
                        if (QObject* selector = TextSelector())
                            QMetaObject::invokeMethod(selector, "selectAll", Qt::DirectConnection);
                    },
                    Qt::QueuedConnection);
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::Drop:
            // A click places the caret: what is typed next goes there. Any
            // of these may change the value.
            FReplaceOnType = false;
            FRestored = false;
            return false;
        default:
            return false;
    }
}

void TQvGrid::FocusOpenEditor() {
    if (Editing() && !FEditorParent && FInEditorEvent == 0 && FEditor->isVisible())
        FEditor->setFocus(Qt::OtherFocusReason);
}

bool TQvGrid::KeyFromEditor(const QKeyEvent* E) const {
    // Keys typed by the user go to the focus widget: one that reaches the
    // pane while the editor holds the focus came up from the editor.
    return FInEditorEvent == 0 && FEditor && E == FPassedToEditor && Inside(FEditor, QApplication::focusWidget());
}

bool TQvGrid::GridKeyInEditor(QKeyEvent* E) {
    if (E->type() != QEvent::KeyPress) return false;
    const TGridKey key = GridKeyOf(E);
    if (key == gkNone) return false;
    // Nothing typed since the cell was reached: the text only shows the
    // cell, and the keys mean the cells. A copied block pastes into cells
    // whatever was typed (what was typed is stored first).
    const bool untouched = FEnterMode && FReplaceOnType;
    if (!untouched && !(key == gkPaste && ClipboardHoldsBlock())) return false;
    switch (key) {
        case gkCopy: CopyToClipboard(); break;
        case gkCut: CutToClipboard(); break;
        case gkPaste: PasteFromClipboard(); break;
        case gkSelectAll: SelectAllCells(); break;
        case gkDelete: ClearValues(); break;
        case gkNone: break;
    }
    E->accept();
    return true;
}

void TQvGrid::ReopenPermanentEditor() {
    if (HasOption(oPermEdit) && FActiveView && !Editing() && !FDestroying) BeginEdit();
}

bool TQvGrid::EditorKey(QObject* Watched, QKeyEvent* E) {
    // An event a child of the editor ignored comes up to its parents: it
    // was routed already.
    if (E == FRoutedEvent && FRoutedAt && FRoutedAt != Watched && Inside(qobject_cast<QWidget*>(Watched), FRoutedAt))
        return false;
    FRoutedEvent = E;
    FRoutedAt = Watched;
    FPassedToEditor = nullptr;
    if (GridKeyInEditor(E)) return true;
    bool exclusive = true;
    bool take = false;
    try {
        take = TakesKey(E, exclusive);
    } catch (const std::exception&) {
        take = false;
    }
    if (!take || !FActiveView) {
        if (E->type() == QEvent::KeyPress) {
            PrepareEditorKey(E);
            // Should the editor ignore it, Qt hands it on to the pane, which
            // then leaves it alone.
            FPassedToEditor = E;
        }
        return false;
    }
    // Enter and Escape travel as the characters the pane expects.
    QString text = E->text();
    if (E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter) text = QStringLiteral("\r");
    else if (E->key() == Qt::Key_Escape) text = QString(QChar(27));
    QKeyEvent copy(E->type(), E->key(), E->modifiers(), text, E->isAutoRepeat(), E->count());
    // The pane's handling may end the edit and hide or replace the editor:
    // the widget stays alive until the event loop frees it.
    ++FInEditorEvent;
    QPointer<TQvView> pane = FActiveView;
    QCoreApplication::sendEvent(pane, &copy);
    --FInEditorEvent;
    E->accept();
    return exclusive;
}

bool TQvGrid::TakesKey(QKeyEvent* E, bool& Exclusive) {
    if (FMsgFilterIntf && FMsgFilterIntf->FilterMessage(E, Exclusive)) return true;
    if (E->type() != QEvent::KeyPress) return false;
    const int key = E->key();
    if (IsNavigationKey(key)) return FEnterMode;
    // Undo and redo go to the sheet while nothing was typed into the editor.
    if (FEnterMode && FReplaceOnType && (E->matches(QKeySequence::Undo) || E->matches(QKeySequence::Redo) ||
                                         ((E->modifiers() & Qt::ControlModifier) && key == Qt::Key_Y)))
        return true;
    if (key == Qt::Key_F2) {
        SetEnterMode(!FEnterMode);
        // Edit mode starts with the caret after the text.
        if (!FEnterMode) CaretToEnd();
        return false;
    }
    // Ctrl+Enter and Shift+Enter type a line break into an editor of
    // several lines; plain Enter always steps.
    if (IsEnter(key) && (E->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) && IsMultiLine(FEditor))
        return false;
    return IsEnterOrEscape(key) || IsTab(key);
}

void TQvGrid::PrepareEditorKey(QKeyEvent* E) {
    const int key = E->key();
    // The editors break a line on a plain Enter; Ctrl+Enter would do
    // nothing there.
    if (IsEnter(key) && IsMultiLine(FEditor)) E->setModifiers(E->modifiers() & Qt::KeypadModifier);
    switch (key) {
        case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_AltGr:
        case Qt::Key_Meta: case Qt::Key_CapsLock: case Qt::Key_NumLock:
            return;  // a modifier alone types nothing yet
        default:
            break;
    }
    FRestored = false;
    // The first key typed over text that arrived in enter mode replaces it,
    // even when the selection was lost meanwhile (a menu bar that took the
    // focus and gave it back). Any other key (a paste, Delete) makes the
    // text the user's own.
    if (FReplaceOnType && FEditCell && IsTyping(E))
        if (QObject* selector = TextSelector()) QMetaObject::invokeMethod(selector, "selectAll", Qt::DirectConnection);
    FReplaceOnType = false;
}

}  // namespace qv
