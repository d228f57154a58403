// TQvGrid: the widget that shows a TQvSheet in four panes — column titles,
// row titles, corner and client cells. It keeps the sheet's sizes scaled to
// its Scale, publishes options, scroll bars, links and events, runs the mouse
// gestures its panes share, and is the view the sheet calls back when its
// data, sizes or structure change.
#pragma once

#include <QBasicTimer>
#include <QFrame>
#include <QPointer>
#include <exception>
#include <functional>
#include <memory>

#include "exchange/range_record.h"
#include "grids/sheet.h"
#include "grids/sheet_view.h"
#include "grids/size_list.h"
#include "platform/events.h"
#include "platform/component.h"
#include "platform/qv_assert.h"
#include "view/editor_interfaces.h"
#include "view/view.h"

namespace qv {

// Grid options, bit n = 2^n.
enum TQvOption : uint16_t {
    oTitleCols = 1u << 0,
    oTitleRows = 1u << 1,
    oVertLines = 1u << 2,
    oHorzLines = 1u << 3,
    oColSizing = 1u << 4,
    oRowSizing = 1u << 5,
    oDrawFocus = 1u << 6,
    oPageLayout = 1u << 7,  // stored only
    oReadOnly = 1u << 8,
    oPermEdit = 1u << 9,
    oRowSelect = 1u << 10,
    oRangeSelect = 1u << 11,
    oTracking = 1u << 12,
    oWrapKeys = 1u << 13,
    // Column letters and row numbers in the title cells next to the client
    // area that hold no cell.
    oAutoTitles = 1u << 14,
};
using TQvOptions = uint16_t;
constexpr TQvOptions DefaultQvOptions =
    oTitleCols | oTitleRows | oVertLines | oHorzLines | oDrawFocus | oRangeSelect | oTracking;  // 6223

enum TQvScroll : uint8_t { ssHorizontal = 1u << 1, ssVertical = 1u << 2 };
using TQvScrolls = uint8_t;
constexpr TQvScrolls DefaultQvScrolls = ssHorizontal | ssVertical;  // 6

// The grid is also a TComponent: it is the Sender of its own events
// (OnSelChanged, OnCurChanged, OnSheetChanged, OnColDblClick, ...) and the
// component stream stores its published properties. It has no component
// owner: its widget parent owns it.
class TQvGrid : public QFrame, public IQvSheetView, public TComponent {
    Q_OBJECT
    QV_CLASS(TQvGrid)
public:
    static constexpr int MinScale = 25;
    static constexpr int MaxScale = 500;

    explicit TQvGrid(QWidget* Parent = nullptr);
    ~TQvGrid() override;

    // --- published --------------------------------------------------------
    TQvSheet* Sheet() const { return FSheet; }
    void SetSheet(TQvSheet* S);
    int Scale() const { return FScale; }
    // Raises EQvGridError naming the value when it lies outside 25..500.
    void SetScale(int V);
    TQvOptions Options() const { return FOptions; }
    bool HasOption(TQvOption O) const { return (FOptions & O) != 0; }
    void SetOptions(TQvOptions V);
    TQvScrolls Scrolls() const { return FScrolls; }
    void SetScrolls(TQvScrolls V);
    // Three-dimensional looks: raised title buttons over the selected columns
    // and rows, and a selection framed by a ring. Off, the selection is
    // plainly inverted and title cells keep their own frames.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool V);
    TQvDirection EnterDir() const { return FEnterDir; }
    void SetEnterDir(TQvDirection D) { FEnterDir = D; }
    TQvGrid* HorzLink() const { return FHorzLink; }
    void SetHorzLink(TQvGrid* G);
    TQvGrid* VertLink() const { return FVertLink; }
    void SetVertLink(TQvGrid* G);
    QWidget* EditorParent() const { return FEditorParent; }
    void SetEditorParent(QWidget* W);

    TQvCellEvent OnColDblClick;
    TQvCellEvent OnRowDblClick;
    TQvCellEvent OnCellClick;
    TQvCellEvent OnCellDblClick;
    TNotifyEvent OnSelChanged;
    TNotifyEvent OnClipChanged;  // stored only; nothing raises it
    TNotifyEvent OnCurChanged;
    TNotifyEvent OnSheetChanged;
    TNotifyEvent OnEditModeChanged;
    TNotifyEvent OnEnterModeChanged;
    // The panes' clicks and mouse events, with the pane as sender and the
    // position in grid coordinates.
    std::function<void(TObject* Sender)> OnClick;
    std::function<void(TObject* Sender)> OnDblClick;
    std::function<void(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
        OnMouseDown;
    std::function<void(TObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseMove;
    std::function<void(TObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
        OnMouseUp;

    // --- public -----------------------------------------------------------
    TQvView* Views(TQvSectionKind Kind) const {
        QV_ASSERT(Kind <= skClient);
        return FViews[Kind];
    }
    TQvView* ActiveView() const { return FActiveView; }
    void SetActiveView(TQvView* Pane);
    // The active pane's selection object, or null without a sheet.
    TQvSelection* Selection() const;
    bool DesignMode() const { return FDesignMode; }
    void SetDesignMode(bool V);
    // The active pane's current cell in sheet coordinates (titles negative).
    TPoint CurrentCell() const;
    int32_t UpdateCount() const { return FUpdateCount; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Scaled sizes: [axis][part].
    TQvSizeList* Sizes(TQvAxis Axis, TQvSizePart Part) const {
        QV_ASSERT(Axis <= axRows && Part <= spClient);
        return FSizes[Axis][Part].get();
    }
    int32_t ScaleValue(int32_t V) const;
    int32_t UnscaleValue(int32_t V) const;
    void ResetSelection();
    void SelChanged(TQvView* Pane);
    void CurChanged(TQvView* Pane);
    // Lays out the four panes.
    void AlignControls();
    // After the component stream delivered the properties: the sizes are
    // read again.
    void Loaded() override;
    // Copies the sheet's sizes of both axes at this grid's scale.
    void UpdateAllSizes();
    // Propagates the client pane's scroll position to the linked grids.
    void PropagateScroll(TPoint ClientScrollPos);

    // --- in-place editing ------------------------------------------------
    // The cell attached to the editor, or null.
    TQvCell* EditCell() const override { return FEditCell; }
    // The editor widget (kept between edits, hidden or disabled), or null.
    QWidget* Editor() const { return FEditor; }
    // The editor-class descriptor the present editor was made from.
    TClass EditorClass() const { return FEditor ? FEditorClass : nullptr; }
    bool Editing() const { return FEditor && FEditCell; }
    // Starts (true) or ends (false) editing at the active pane's current cell.
    void SetEditing(bool V);
    void BeginEdit() { SetEditing(true); }
    void EndEdit() override;
    void EditCellDestroying() override;
    // Attaches Cell (or nothing) to the editor; only for the active pane.
    void SetEditCell(TQvView* Pane, TQvCell* Cell);
    // Edits cell K of Pane when the pane allows it, else ends editing.
    void BeginEditAt(TQvView* Pane, TPoint K);
    // Starts typing into the editor: its whole text is replaced by Ch.
    void TypeChar(char32_t Ch);
    // True: navigation keys typed in the editor move the current cell.
    bool EnterMode() const { return FEnterMode; }
    void SetEnterMode(bool V);
    // Gives up what was typed: the editor shows the cell's stored value
    // again, in enter mode. The cell is not written.
    void CancelEdit();

    // --- clipboard (grid_clipboard.cpp) -----------------------------------
    // The private clipboard form: the selection as a range record, which
    // keeps classes, formats, style names, hints, lines, merges and sizes.
    static constexpr const char* RangeMimeType = "application/x-qvgrid-range";
    // Puts the active pane's selection on the system clipboard three ways:
    // tab-separated display texts, an HTML table (up to 2^20 cells) and the
    // private form. False when there is nothing to copy, or more than a
    // range record holds (with a status).
    bool CopyToClipboard();
    // Copy, then the selection's Clear. Refused (false, with a status) on a
    // read-only sheet or grid.
    bool CutToClipboard();
    // Pastes the richest form on the clipboard at the top-left of the active
    // pane's selection: the private form whole, else plain text as typed
    // values, else the cell texts of an HTML table. The paste is cut at the
    // end of the sheet and skips protected cells; the pasted area becomes
    // the selection. OnStatus tells what was cut or skipped, or why nothing
    // was pasted; the result says the same in numbers. A read-only sheet or
    // grid is not written.
    TQvPasteResult PasteFromClipboard();
    // A paste would write something: a sheet that may be written, a pane
    // and a form the clipboard offers.
    bool CanPaste() const;
    // Clears the values of the selected cells (the current cell without a
    // selection) as one step, keeping their formats and looks. Protected
    // cells keep their values, and OnStatus says how many. False, with a
    // status, on a read-only sheet or grid.
    bool ClearValues();
    // Selects every cell of the active pane (with range selection on).
    void SelectAllCells();
    // A sentence for the host's status line (paste cut, cells skipped, a
    // refused cut or paste, a failed action).
    std::function<void(TObject* Sender, const std::string& Text)> OnStatus;
    // Tells the host through OnStatus that What failed and why (an error's
    // message; "not enough memory" for a failed allocation). The event
    // handlers of the grid, its panes and its editors end here, so that no
    // exception leaves Qt's event loop.
    void ReportFailure(const std::string& What, const std::exception& E);

    // --- undo ------------------------------------------------------------
    // Takes back (gives again) the last step of the sheet's undo stack; the
    // active pane keeps its current cell and selection where they were,
    // within the sheet. False when there was nothing to do, or while text
    // typed into the editor is pending (the editor's own undo takes it).
    bool Undo();
    bool Redo();

    // --- gestures (shared by the panes) -----------------------------------
    enum TMouseHandlerKind { mhNone, mhSelect, mhSizing };
    // Chooses the gesture handler for a point of a pane and returns the
    // cursor to show. Descendants may offer other gestures.
    virtual Qt::CursorShape GetMouseAction(TQvView* Pane, TPoint P);
    // What a pane reports to the gesture.
    enum TMouseEventKind : uint8_t { meDown = 1, meMove = 2, meUp = 3, meCancel = 4 };
    // Where the gesture stands; a state carries the number of the event that
    // led to it.
    enum TMouseState : uint8_t { msIdle = 0, msPressed = 1, msDragging = 2, msReleased = 3, msClicked = 4 };
    void MouseEvent(TQvView* Pane, TMouseEventKind Event, Qt::KeyboardModifiers Shift, bool Double, TPoint P);
    TMouseState MouseState() const { return FMouseState; }
    // A press or a drag is under way.
    bool MouseTracking() const { return FMouseState == msPressed || FMouseState == msDragging; }

    // --- IQvSheetView -----------------------------------------------------
    void UpdateSizes(TQvAxis Axis) override;
    void ApplySize(TQvAxis Axis, TQvSizePart Part, int32_t Entry) override;
    void InvalidateAll() override;
    void ReadLayout() override;
    void RepaintClient() override;
    void MergeChanged(TQvSectionKind Kind) override;
    void InvalidateCells(TQvSectionKind Kind, const TRect& R, TQvRepaintArea Mode) override;
    void InvalidatePane(TQvSectionKind Kind) override;
    void SheetDestroying(TQvSheet* Sheet) override;
    // Keeps the current cell and the selection at their positions, clamped
    // into the sheet and grown to the merged ranges now there.
    void LinesShifted(TQvAxis Axis) override;

protected:
    bool event(QEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    void timerEvent(QTimerEvent* E) override;
    void focusInEvent(QFocusEvent* E) override;
    // Stands in for the editor's own key handling (see grid_editing.cpp).
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    // Links this grid and G (null: none) through Link, FHorzLink or
    // FVertLink, both ways; the old partner is let go.
    void SetLink(TQvGrid* TQvGrid::*Link, TQvGrid* G);

    // What the panes ask of the gesture and the editor, reached only through
    // TQvGridAccess.
    friend class TQvGridAccess;
    void SetMousePoint(TPoint P) { FMousePoint = P; }
    // Ends a running gesture as a cancel at the last mouse point.
    void CancelMouse(TQvView* Pane);
    // The second press of a double click reached Pane: the gesture its
    // first press began is dropped, as if that press had not come.
    void DropPress(TQvView* Pane);
    // The column (axCols) or row a sizing drag changes.
    TQvAxis SizingAxis() const { return FSizingAxis; }
    int32_t SizingIndex() const { return FSizingIndex; }
    // Setters of the component stream, which checks the stored integers.
    void SetStoredOptions(int32_t V);
    void SetStoredScrolls(int32_t V);
    void SetStoredEnterDir(int32_t V);
    void SheetChanged();
    void UpdateSizesOf(TQvAxis Axis);
    // Copies the sheet's sizes of the chosen axes at this grid's scale, sets
    // the panes' content sizes and lays them out.
    void RebuildSizes(bool Cols, bool Rows);
    void SelectHandler(TQvView* Pane, TPoint P, Qt::KeyboardModifiers Shift, bool Double);
    // Whether P (client pixels of Pane) still lies where the press was.
    bool NearPress(TQvView* Pane, TPoint P) const;
    void SizingHandler(TQvView* Pane, TPoint P, Qt::KeyboardModifiers Shift, bool Double);
    void ShowSizing(TQvView* Pane, int32_t From, int32_t To);
    void AutoScroll();
    // Editing flow (grid_editing.cpp).
    void CreateEditor(TClass EC);
    void DestroyEditor();
    void AttachCell(TQvCell* Cell);
    // Frees a cell the editor made and left as it was made.
    void FreeUnusedCell(TQvCell* Cell);
    bool StepUndo(bool Redo);
    void PositionEditor();
    void LoadEditor(TQvCell* Cell);
    void ShowEditor();
    // Re-places an open editor after the cells moved under it.
    void FollowEditCell();
    // The editor widget died without the grid freeing it (its outside
    // parent went away): the edit ends without a write-back.
    void EditorDestroyed(QObject* Widget);
    bool EditorKey(QObject* Watched, QKeyEvent* E);
    bool TakesKey(QKeyEvent* E, bool& Exclusive);
    // eventFilter without its guard.
    bool FilterEvent(QObject* Watched, QEvent* E);
    // Readies a key press the editor is about to receive.
    void PrepareEditorKey(QKeyEvent* E);
    // The clipboard, select-all and Delete keys typed into the editor that
    // act on the cells instead: all of them while nothing was typed since
    // the cell was reached, and a paste of a copied block always. True when
    // the grid took the key.
    bool GridKeyInEditor(QKeyEvent* E);
    // After a command that ended the edit: a permanent editor opens again on
    // the current cell, showing what the command left there.
    void ReopenPermanentEditor();
    QWidget* EditorFocusTarget() const;
    // Drops the editor widget and the interface views of it, without
    // touching the widget.
    void ForgetEditor();
    // The editor (or its focus child) that offers selectAll, or null.
    QObject* TextSelector() const;
    // Caret after the text, nothing selected (edit mode's start).
    void CaretToEnd();
    // Gives the focus to an editor shown over the active pane.
    void FocusOpenEditor();
    // Whether a key event reaching a pane comes up from the editor, which
    // did not want it (Qt hands ignored keys on to the parent).
    bool KeyFromEditor(const QKeyEvent* E) const;

    TQvView* FViews[4] = {};
    TQvView* FActiveView = nullptr;
    TQvSheet* FSheet = nullptr;
    std::unique_ptr<TQvSizeList> FSizes[2][2];
    int32_t FUpdateCount = 0;
    uint16_t FScale = 100;
    TQvOptions FOptions = DefaultQvOptions;
    TQvScrolls FScrolls = DefaultQvScrolls;
    TQvDirection FEnterDir = dDown;
    bool FDesignMode = false;
    bool FEnterMode = false;
    bool FCtl3D = true;
    QPointer<QWidget> FEditorParent;
    TQvGrid* FHorzLink = nullptr;
    TQvGrid* FVertLink = nullptr;
    TQvCell* FEditCell = nullptr;
    // The editor widget, parented to the active pane or to EditorParent and
    // freed by the grid; QPointer because an outside parent may take it
    // along when it goes.
    QPointer<QWidget> FEditor;
    QObject* FEditorObject = nullptr;  // identity of FEditor, for its destroyed signal
    TClass FEditorClass = nullptr;
    IQvEditor* FEditorIntf = nullptr;
    IQvValidator* FValidatorIntf = nullptr;
    IQvMsgFilter* FMsgFilterIntf = nullptr;
    IQvLayout* FLayoutIntf = nullptr;
    // The key event last routed by the editor hook and the widget that saw
    // it first: Qt hands an ignored key event on to the parents, which must
    // not route it a second time.
    const QEvent* FRoutedEvent = nullptr;
    QPointer<QObject> FRoutedAt;
    const QEvent* FPassedToEditor = nullptr;  // the key event last left to the editor
    int FInEditorEvent = 0;  // depth of editor hook calls on the stack
    // The cell's text is still as it arrived in enter mode: the first typed
    // character replaces it, even after the selection was lost meanwhile.
    bool FReplaceOnType = false;
    // Escape put the stored value back and nothing changed it since.
    bool FRestored = false;
    bool FEditCellDying = false;
    // The cell the editor made on an empty position, until it is written:
    // undoing the typed value removes it again, and an edit that leaves it
    // as it was made frees it, so that moving over empty cells with an
    // editor leaves the sheet as it was.
    TQvCell* FCreatedCell = nullptr;
    std::string FCreatedRecord;  // ending the edit of a cell being destroyed
    bool FDestroying = false;   // inside the destructor
    bool FPropagating = false;  // passing a scroll position to the linked grids

    // Gesture state.
    TMouseState FMouseState = msIdle;  // msReleased: after a drag; msClicked: click or cancel
    bool FDragFlag = false;
    TMouseHandlerKind FMouseHandler = mhNone;
    TQvView* FTrackView = nullptr;
    TPoint FMousePoint;
    QBasicTimer FAutoScrollTimer;
    TQvAxis FSizingAxis = axCols;
    TQvSizePart FSizingPart = spTitle;
    int32_t FSizingIndex = 0;
    int32_t FSizingOffset = 0;
    int32_t FSizingOldSize = 0;
    int32_t FSizingLastSize = 0;
    int32_t FSizingNewSize = 0;
    TPoint FPressPoint;  // where the select gesture was pressed (pane client pixels)
    TPoint FPressCell;   // the cell pressed there, before the press scrolled anything
    TPoint FPressScroll;  // the pane's scroll position at the press
    bool FPressHeld = false;  // the pointer has not left the press point yet
};

// Reports an exception caught in an event handler of Where (a pane, an
// editor) through the grid Where lies in, or as a Qt warning when it lies
// in none (an editor inside an outside EditorParent).
void ReportEventFailure(QObject* Where, const std::exception& E);

// The private interface between the grid and its panes: the few grid members
// a pane calls beyond the public ones. TQvView alone may use it, and it is
// the grid's only friend, so neither class reaches the other's fields.
class TQvGridAccess {
    friend class TQvView;
    static void SetMousePoint(TQvGrid& G, TPoint P) { G.SetMousePoint(P); }
    static void CancelMouse(TQvGrid& G, TQvView* Pane) { G.CancelMouse(Pane); }
    static void DropPress(TQvGrid& G, TQvView* Pane) { G.DropPress(Pane); }
    static TQvAxis SizingAxis(const TQvGrid& G) { return G.SizingAxis(); }
    static int32_t SizingIndex(const TQvGrid& G) { return G.SizingIndex(); }
    static void FocusOpenEditor(TQvGrid& G) { G.FocusOpenEditor(); }
    static bool KeyFromEditor(const TQvGrid& G, const QKeyEvent* E) { return G.KeyFromEditor(E); }
};

}  // namespace qv
