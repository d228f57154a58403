// TQvSheetDesigner: the window in which a person formats and fills one
// sheet. A grid in design mode shows the sheet; a menu bar, four tool bars,
// a colour pop-up, a hint bar and a pop-up menu act on the grid's
// selection, whose setters apply each change to every selected cell.
// EditSheet opens the window modally for one sheet.
//
// Every control carries its component name as its object name
// (StandardBar, BordersBar, FormattingBar, StylesBar, HintBar, Grid,
// ScaleSelector, FontSelector, SizeSelector, BBorderColor, BTextColor,
// BCellColor, CBStyles, EHint, PopupColors, Colors, SelectionMenu); a tool
// button is named after its hint ("Bold", "Left Border", ...) and a menu
// item after its caption without "&" and "...", prefixed by its sub-menu's
// caption inside a sub-menu ("Clear All", "Scale 25%", "Insert Rows").
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "designer/file_dialog.h"
#include "platform/events.h"
#include "grids/types.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;

namespace qv {

class TColorBox;
class TColorToolButton;
class TFontBox;
class TFontSizeBox;
class TPicture;
class TPopupPanel;
class TQvGrid;
class TQvSelection;
class TQvSheet;

class TQvSheetDesigner : public QMainWindow {
    Q_OBJECT
public:
    explicit TQvSheetDesigner(QWidget* Parent = nullptr);
    ~TQvSheetDesigner() override;

    // The sheet being designed (the grid's sheet), or null. Setting another
    // one shows it in the grid, enables the hint edit and every command
    // that needs a sheet, and shows the standard, borders and formatting
    // bars; without a sheet they are hidden and the commands disabled.
    TQvSheet* Sheet() const;
    void SetSheet(TQvSheet* Value);

    // The line the frame, inside, all and side border commands apply:
    // Single in the system background colour at first; the border-colour
    // button replaces its colour, never its style.
    TQvLineInfo BorderLine() const { return FBorderLine; }

    TQvGrid* Grid() const { return FGrid; }
    TColorBox* Colors() const { return FColors; }
    TPopupPanel* PopupColors() const { return FPopupColors; }
    QMenu* SelectionMenu() const { return FSelectionMenu; }
    // The tool button or menu item named Name (see above), or null.
    QToolButton* Button(const QString& Name) const;
    QAction* Item(const QString& Name) const;
    // Panel 0 ("Editing") and panel 1 ("Enter" / "Edit") of the status bar.
    QString StatusText(int Panel) const;

    // The three file dialogs: titles, filters and options.
    static const TFileDialogOptions& OpenDialogOptions();
    static const TFileDialogOptions& SaveDialogOptions();
    static const TFileDialogOptions& BackgroundDialogOptions();

    // Shows the window application-modal and returns when it closes.
    void ShowModal();

    // --- handlers, as the controls run them ------------------------------
    void ImportSheet();
    void ExportSheet();
    void PrintSheet();
    // The clipboard, through the grid; the paste's status shows in the
    // status bar.
    void CutCells();
    void CopyCells();
    void PasteCells();
    // Inserts as many columns (rows) as the selection spans before it, or
    // removes the selected ones; the selection must lie on client columns
    // (rows).
    void InsertLines(TQvAxis Axis);
    void RemoveLines(TQvAxis Axis);
    void UndoStep();
    void RedoStep();
    void PreviewSheet();
    // Frees the selected cells; nothing while a cell is being edited.
    void ClearCells();
    // Brings every button, the font boxes and the styles list in step with
    // the selection.
    void UpdateSelProps();
    // Reads the scale selector's text ("%" signs removed) as the grid's
    // scale; "Fit Selection" fits the selection into the visible cells.
    void SelectScale();
    // The largest scale (25..500) at which the selection fits in the
    // visible part of its pane.
    int FitSelectionScale() const;
    void GridCurChanged();
    void EHintChange();
    void OpenBackground();
    void RemoveBackground();
    void InsertImage1Click();
    // Merges the selection into one picture cell holding Picture.
    void PlacePicture(const TPicture& Picture);
    void AboutDesigner();

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Construction, one bar or menu at a time (sheet_designer.cpp).
    void BuildStandardBar();
    void BuildBordersBar();
    void BuildFormattingBar();
    void BuildStylesBar();
    void BuildHintBar();
    void BuildGrid();
    void BuildStatusBar();
    void BuildColorPopup();
    void BuildMenus();
    void BuildFileMenu(QMenu* Menu);
    void BuildEditMenu(QMenu* Menu);
    void BuildViewMenu(QMenu* Menu);
    void BuildFormatMenu(QMenu* Menu);
    void BuildSelectionMenu();
    // What a command's undo step keeps: the whole sheet; only the
    // selection's area, or only the current cell's, for a command that
    // provably writes nowhere else (formatting, clearing); or no step, for a
    // command that changes nothing the sheet holds (the scale).
    enum TStepScope { ssSheet, ssSelection, ssCurrentCell, ssNone };
    QToolButton* AddButton(QToolBar* Bar, int Icon, const QString& Hint, const std::function<void()>& Action,
                           bool Checkable = false, int Tag = -1, TStepScope Scope = ssSheet);
    QAction* AddItem(QMenu* Menu, const QString& Caption, const std::function<void()>& Action,
                     const QKeySequence& Shortcut = {}, bool NeedsSheet = true, TStepScope Scope = ssSheet);
    // Runs a command as one step of the sheet's undo stack named Name,
    // keeping what Scope says. A failure (out of memory included) never
    // leaves the handler: it ends as a message in the status bar and, as
    // the application's error box, in the message service. When the
    // command's merges cleared border segments, the status bar says how many.
    void Run(const std::function<void()>& Command, const QString& Name = QStringLiteral("Format"),
             TStepScope Scope = ssSheet);
    // Runs Command (which reads a file or the clipboard into the sheet);
    // when it raises, the sheet is put back as it was before and the error
    // passes on.
    void KeepSheetOnFailure(const std::function<void()>& Command);
    // The border segments the sheet's sections have cleared so far.
    int64_t ClearedLineSegments() const;

    // Commands (sheet_designer_commands.cpp).
    TQvSelection* Sel() const;
    void ApplyBorders(std::initializer_list<int> Lines, TQvLineInfo Line);
    void BorderClick(QToolButton* Button);
    void FontStyleClick(QToolButton* Button);
    void BaseStyleClick();
    void EditSelection();
    void EditStylesClick();
    void ClearAll();
    void ClearBorders();
    void ClearColors();
    void ColorsPopup(TColorToolButton* Button);
    void ColorsChange();
    void ColorsClick();
    void ColorButtonClick(TColorToolButton* Button);
    void SelectFont();
    void CBStylesClick();
    void FillStyles();
    void SetScaleText(int Scale);
    void SheetChanged();
    void UpdateUndoItems();
    // The selected client columns (axCols) or rows as [From, To); false when
    // the selection lies on titles of that axis.
    bool SelectedLines(TQvAxis Axis, int32_t& From, int32_t& To) const;

    TQvLineInfo FBorderLine;
    TQvGrid* FGrid = nullptr;
    QToolBar* FStandardBar = nullptr;
    QToolBar* FBordersBar = nullptr;
    QToolBar* FFormattingBar = nullptr;
    QToolBar* FStylesBar = nullptr;
    QToolBar* FHintBar = nullptr;
    QComboBox* FScaleSelector = nullptr;
    TFontBox* FFontSelector = nullptr;
    TFontSizeBox* FSizeSelector = nullptr;
    TColorToolButton* FBBorderColor = nullptr;
    TColorToolButton* FBTextColor = nullptr;
    TColorToolButton* FBCellColor = nullptr;
    QComboBox* FCBStyles = nullptr;
    QLineEdit* FEHint = nullptr;
    QLabel* FPanels[2] = {};
    TPopupPanel* FPopupColors = nullptr;
    TColorBox* FColors = nullptr;
    QMenu* FSelectionMenu = nullptr;
    QAction* FRemoveBackground = nullptr;
    QAction* FUndo = nullptr;
    QAction* FRedo = nullptr;
    // The undo stack's handler before this window took it, and its sheet.
    TNotifyEvent FOldUndoChange;
    TQvSheet* FUndoSheet = nullptr;
    // Commands that need a sheet: disabled while there is none.
    std::vector<QPointer<QObject>> FSheetCommands;
    bool FSelectingScale = false;
    bool FUpdating = false;
};

// Opens a sheet designer on Sheet, modally, and frees it when it closes.
void EditSheet(TQvSheet* Sheet, QWidget* Parent = nullptr);

}  // namespace qv
