// TQvView: one of the four panes of a grid. A pane shows one section of the
// sheet — column titles, row titles, corner or client cells — maps cells to
// pixels and back, scrolls in step with its siblings, paints, and owns the
// current cell, the anchor and the selected rectangle.
//
// Coordinate spaces, named consistently in this class:
//   cell      section-local column and row (0, 0 is the section's first cell)
//   client    pixels relative to the pane's top-left
//   content   pixels relative to the top-left of the pane's first cell;
//             content = client + ScrollPos
// Every pixel size a pane reads is already scaled by the grid (ColSizes and
// RowSizes are the grid's scaled lists).
//
// The client pane carries the grid's scroll bars as child widgets along its
// right and bottom edges; ClientSize() is the area left for cells.
#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "grids/selection.h"
#include "grids/sheet_view.h"
#include "grids/size_list.h"
#include "grids/types.h"
#include "platform/object.h"
#include "platform/scroll_code.h"

class QPainter;
class QScrollBar;

namespace qv {

class TCanvas;
class TQvGrid;
class TQvCell;
class TQvSection;

// The keys that move the current cell: arrows, page keys, Home and End.
bool IsNavigationKey(int Key);

// A pane is also a TObject so that it can be the Sender of the events it
// fires (OnCellClick, OnClick, ...); handlers cast it back with dynamic_cast.
class TQvView : public QWidget, public IQvSelectionOwner, public TObject {
    Q_OBJECT
public:
    // Results of HitTest.
    enum THitZone { hzNone = 0, hzCell = 1, hzColEdge = 2, hzRowEdge = 3 };
    // Scroll requests (ScrollCode) are named here too: TQvView::scLineUp.
    using enum TScrollCode;

    TQvView(TQvGrid* Grid, TQvSectionKind Kind);
    ~TQvView() override;

    TQvGrid* Grid() const { return FGrid; }
    TQvSectionKind Kind() const { return FKind; }
    bool IsClientPane() const { return FKind == skClient; }
    TQvSection* Section() const { return FSection; }
    void SetSection(TQvSection* S) { FSection = S; }
    TQvSelection* Selection() const { return FSelection.get(); }
    TQvSizeList* ColSizes() const { return FColSizes; }
    TQvSizeList* RowSizes() const { return FRowSizes; }
    int32_t ColCount() const { return FColSizes->Count(); }
    int32_t RowCount() const { return FRowSizes->Count(); }

    // --- geometry ---------------------------------------------------------
    TPoint ScrollPos() const { return FScrollPos; }
    TSize ContentSize() const { return FContentSize; }
    TPoint ScrollFactor() const { return FScrollFactor; }
    // Size of the area left for cells (the client pane's scroll bars excluded).
    TSize ClientSize() const;
    // The part of a cell rectangle CellRectToPixels returns: the whole cells
    // including their grid lines, the inside of the selection frame, or the
    // inside of the current-cell frame.
    enum TPixelArea { paWhole = 0, paInsideSelFrame = 1, paInsideCurFrame = 2 };
    // Pixel rectangle (client) of a cell rectangle.
    // False when the cells lie outside the counts or cover no pixel.
    bool CellRectToPixels(const TRect& Cells, TPixelArea Mode, TRect& Pixels) const;
    // The cells covering a client rectangle, clipped to the counts.
    bool PixelsToCells(const TRect& Pixels, TRect& Cells) const;
    bool ClipToCounts(TRect& Cells) const;
    TPoint Clamp(TPoint Cell) const;
    TPoint MergedOrigin(TPoint Cell) const;
    TRect ExpandMerged(const TRect& Cells) const;
    // The cell under a client point (clamped, merged to its origin); the
    // result tells whether the point lies inside the content.
    bool CellAt(TPoint ClientPoint, bool AllowOutside, TPoint& Cell) const;
    THitZone HitTest(TPoint ClientPoint, TPoint& Cell) const;
    // Sets ScrollPos (content), moving the pixels; true when it changed.
    bool ScrollTo(TPoint ContentPos);
    bool ClampScroll(TPoint ContentPos);
    void ScrollIntoView(const TRect& Cells);
    int32_t ScrollCode(TQvAxis Axis, TScrollCode Code, int32_t Param) const;
    void UpdateScrollBars(bool CheckRange);
    void SyncScroll();
    void SetContentSize(int32_t Width, int32_t Height);
    // One column (Axis 0) or row starting at content Offset changed from Old
    // to New pixels: keeps the window contents in place.
    void ChangeSize(TQvAxis Axis, int32_t Offset, int32_t Old, int32_t New);
    // Repaints the cells inflated by 3 pixels (raCells), the ring of a
    // selection frame around them (raOutline) or their inside (raInside).
    void InvalidateCells(const TRect& Cells, bool Expand, TQvRepaintArea Mode);
    // Repaints everything unless the grid is inside an update block.
    void InvalidatePane();

    // --- painting ---------------------------------------------------------
    // The region (client pixels) that shows selection Sel with current Cur.
    QRegion SelectionRegion(const TRect& Sel, TPoint Cur) const;
    // Shows NewSel instead of SelRect (Current already holds the new current
    // cell) and stores it.
    void ChangeSelection(const TRect& NewSel, TPoint OldCurrent);
    // The graphic tiled behind the client pane's cells, or null.
    const class TGraphic* BackgroundPicture() const;
    int TitleFrame(int32_t Col, int32_t Row) const;
    // The letters naming column Index (0 based): A .. Z, AA .. ZZ, AAA ...
    static std::string ColumnLetters(int32_t Index);
    // Sizing feedback: a line across the cells at client position Pos on
    // Axis. The first call freezes the pane's picture: until the line is
    // taken away with Thaw, the cells show as they were, whatever the sizes
    // say meanwhile.
    void ShowSizingLine(TQvAxis Axis, int32_t Pos);
    void HideSizingLine(bool Thaw);
    bool SizingLineShown() const { return FSizingLine >= 0; }
    // Hint marks are drawn while this is on (the grid's hint setting);
    // changing it repaints the pane.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool V);

    // --- selection and navigation -----------------------------------------
    TRect SelRect() const { return FSelRect; }
    TPoint Anchor() const { return FAnchor; }
    void SetAnchor(TPoint P) { FAnchor = P; }
    TPoint Current() const { return FCurrent; }
    bool CanSelect(TPoint Cell) const;
    bool CanEdit(TPoint Cell) const;
    void SetCurrent(TPoint Cell, bool ResetSel, bool Scroll);
    void SetSelection(TRect R, TPoint OldCurrent, TQvView* Origin);
    bool StepCell(TPoint& P, TQvDirection Dir, bool InsideSel, bool Wrap) const;
    virtual void CellClick(TPoint Cell);
    virtual void CellDblClick(TPoint Cell);
    // Empty selection and current (0, 0), without events.
    void ResetState();
    // Forgets the selected rectangle without repainting or events: the
    // grid keeps a selection in the active pane only.
    void ForgetSelection() { FSelRect = TRect{}; }

    TQvCellEvent OnCellClickHook;
    TQvCellEvent OnCellDblClickHook;

    // IQvSelectionOwner
    TQvSection* SelectionSection() const override { return FSection; }
    TRect SelectionRect() const override { return FSelRect; }
    void SelectRect(const TRect& R) override;
    void SelectionChanged() override;

protected:
    bool event(QEvent* E) override;
    void paintEvent(QPaintEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void mouseMoveEvent(QMouseEvent* E) override;
    void mouseReleaseEvent(QMouseEvent* E) override;
    void mouseDoubleClickEvent(QMouseEvent* E) override;
    void wheelEvent(QWheelEvent* E) override;
    bool focusNextPrevChild(bool Next) override;

private:
    // event() without its guard: an exception a handler raises is reported
    // through the grid and goes no further.
    bool HandleEvent(QEvent* E);
    // Paints from the frozen picture while a sizing drag runs; false when
    // there is none to paint from.
    bool PaintFrozen(QPainter& Painter, const QRect& R);
    QRect SizingLineRect() const;
    void PaintBackground(TCanvas& Canvas, const TRect& R);
    // The cells CR at pixels P, in order: fills, grid lines, contents (and
    // automatic titles), borders, frames, then the inverted selection.
    struct TPaintGrid;
    void PaintCells(TCanvas& Canvas, const TRect& CR, const TRect& P);
    void PaintFills(TCanvas& Canvas, const TPaintGrid& G);
    void PaintGridLines(TCanvas& Canvas, const TPaintGrid& G);
    void PaintContents(TCanvas& Canvas, const TPaintGrid& G);
    void PaintBorders(TCanvas& Canvas, const TPaintGrid& G);
    void PaintDiagonals(TCanvas& Canvas, const TPaintGrid& G);
    void PaintFrames(TCanvas& Canvas, const TPaintGrid& G);
    // One cell's content, hint mark and design mark in its rectangle Q.
    void PaintCellContent(TCanvas& Canvas, TQvCell* Cell, const TRect& Q, bool Design);
    // Column letters or row numbers in the title cells next to the client
    // area that hold no cell; Xs and Ys are the pixel edges of CR.
    void PaintAutoTitles(TCanvas& Canvas, const TRect& CR, const std::vector<int32_t>& Xs,
                         const std::vector<int32_t>& Ys);
    // The frame style painted for a cell of this pane.
    int32_t FrameAt(int32_t Col, int32_t Row) const;
    void OnScrollBar(Qt::Orientation Orientation, int Action);
    // The client pane scrolls by whole rows (columns) for a wheel turn, or
    // Ctrl+wheel changes the grid's scale.
    void WheelScroll(QPoint AngleDelta, Qt::KeyboardModifiers Modifiers);
    // The start of the row (column) Lines visible rows away from the one at
    // the scroll position.
    int32_t WheelTarget(TQvAxis Axis, int32_t Lines) const;
    // Shows and sets the bars the grid wants for the present position.
    void SetScrollBars();
    // Places the client pane's visible scroll bars along its edges.
    void LayoutScrollBars();
    // The steps of keyPressEvent; each one that takes the key answers true.
    bool EscapeKey(QKeyEvent* E);
    bool TabKey(QKeyEvent* E);
    bool NavigationKey(QKeyEvent* E);
    bool CharacterKey(QKeyEvent* E);
    void EnterKey(QKeyEvent* E);
    // Where the navigation keys put the anchor (the pane scrolls along);
    // the direction is the step that finds a cell that can be selected.
    TQvDirection ArrowKey(int Key, bool Ctrl);
    TQvDirection PageKey(bool Down, bool Ctrl);
    TQvDirection LineEndKey(bool End, bool Ctrl);
    // Fires the grid's OnMouseDown, OnMouseMove or OnMouseUp for E.
    void FireMouse(QMouseEvent* E);

    TQvGrid* FGrid;
    TQvSection* FSection = nullptr;
    std::unique_ptr<TQvSelection> FSelection;
    TQvSizeList* FColSizes;
    TQvSizeList* FRowSizes;
    TPoint FScrollFactor{1, 1};
    TSize FContentSize;
    TPoint FScrollPos;
    TRect FSelRect;
    TPoint FAnchor;
    TPoint FCurrent;
    QScrollBar* FHorzBar = nullptr;  // client pane only
    QScrollBar* FVertBar = nullptr;
    QWidget* FSizeBox = nullptr;  // the square where both bars meet
    QPoint FWheelRest;  // wheel turn short of a whole notch, per axis
    QPixmap FFrozen;    // the cells as they were when a sizing drag began
    TPoint FFrozenScroll;
    TQvAxis FSizingLineAxis = axCols;
    int32_t FSizingLine = -1;  // client position of the sizing line, -1 for none
    TQvSectionKind FKind;
    bool FShowHint = false;
};

}  // namespace qv
