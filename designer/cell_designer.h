// TQvCellDesigner: the Format Cells dialog. It edits every attribute of one
// property set — a grid's selection, a single cell, a base style or, in the
// style designer that descends from it, a named style — on six pages:
// Control, Layout, Color, Font, Border and Based On.
//
// The dialog reads all attributes into its pages when the set is given
// (SetPro), records which of eleven page items the user touched (Changes)
// and writes back only those, in item order, when the user presses OK or
// Apply. Apply is enabled exactly while something is pending. Changes that
// were applied stay, even when the dialog is cancelled afterwards.
//
// Every control carries its component name as its object name (CellClasses,
// CellFormats, HAlign, Colors, Fonts, BordersBox, LBStyles, ...), so tests
// and automation find them with findChild.
#pragma once

#include <QDialog>
#include <array>

#include "designer/border_preview.h"
#include "grids/types.h"
#include "platform/font.h"
#include "platform/object.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace qv {

class TColorBox;
class TColorPanel;
class TFontBox;
class TFontOutlineBox;
class TFontSizeBox;
class TPickBox;
class TPopupPanel;
class TQvPro;

class TQvCellDesigner : public QDialog {
    Q_OBJECT
public:
    // Page items: the bits of Changes and the order of loading and storing.
    enum TItem {
        itControl = 0,     // cell class, editor, format
        itLayout = 1,      // alignments, indent, wrap mode
        itProtect = 2,
        itShowing = 3,     // "Hidden", inverted
        itColor = 4,       // fill colour
        itFont = 5,        // font, effects and text colour
        itBorder = 6,      // the eight border lines
        itFrame = 7,
        itStyle = 8,       // the named style the set is based on
        itMerged = 9,
        itBaseColors = 10, // error text and grid line colours of a base style
        ItemCount = 11,
    };

    explicit TQvCellDesigner(QWidget* Parent = nullptr);
    ~TQvCellDesigner() override;

    TQvPro* Pro() const { return FPro; }
    // Loads every item from P (or shows "No Object Selected" and disables
    // the pages without a set), then clears Changes.
    void SetPro(TQvPro* P);

    TQvProps Changes() const { return FChanges; }
    // Stores Set; Apply is enabled exactly when it is not empty.
    virtual void SetChanges(TQvProps Set);
    // Stores every item of Changes in item order, then clears Changes.
    // When a setter raises, the error is shown through the message service,
    // the items stored before it stay stored, Changes keeps its value and
    // the result is false.
    virtual bool Apply();

    // The cell class chosen on the Control page. Choosing another one
    // refills the editor and format lists and marks item 0 changed.
    TClass ChosenClass() const { return FChosenClass; }
    void SetChosenClass(TClass Cls);
    bool EditorTouched() const { return FEditorTouched; }
    bool FormatTouched() const { return FFormatTouched; }

    // The border lines as shown on the Border page.
    const TBorderLines& Lines() const { return FLines; }
    uint8_t LineStyle() const { return FLineStyle; }
    TColor LineColor() const { return FLineColor; }
    // Sets (On) or removes every line of Mask (bit i = line i) with the
    // current line style and colour, brings the line buttons in step,
    // repaints the preview and marks item 6.
    void SetLines(uint8_t Mask, bool On);
    // The frame style the frame buttons chose.
    uint8_t FrameStyle() const { return FFrameStyle; }

    // The pages, for dialogs that add their own in front.
    QTabWidget* PageControl() const { return FPages; }
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }
    QPushButton* ApplyButton() const { return FApplyButton; }
    // The text FormatSample shows for the mask being typed.
    QString FormatSampleText() const;

    // Creates the dialog, opens it modally on Pro over Parent and frees it;
    // true when it was closed with OK.
    static bool EditCells(TQvPro* Pro, QWidget* Parent = nullptr);

public slots:
    // OK: applies, and closes with the modal result OK when that succeeded.
    void accept() override;

protected:
    // Adds Item to Changes (through SetChanges).
    void MarkChanged(int Item);
    // The index of the "Control" page; pages before it belong to a
    // descendant and are left alone when the dialog enables its own.
    int FirstOwnPage() const;

private:
    // Construction of the pages (cell_designer_pages.cpp).
    void BuildPages();
    QWidget* BuildControlPage();
    QWidget* BuildLayoutPage();
    QWidget* BuildColorPage();
    QWidget* BuildFontPage();
    QWidget* BuildBorderPage();
    QWidget* BuildBasedOnPage();
    void BuildColorPopup();
    QToolButton* NewToolButton(const QString& Name, const QString& Hint, const QIcon& Icon);

    // Loading and storing, one routine per item.
    void LoadItem(int Item);
    void StoreItem(int Item);
    void LoadControl();
    void LoadLayout();
    void LoadColor();
    void LoadFont();
    void LoadBorder();
    void LoadFrame();
    void LoadStyle();
    void LoadMerged();
    void LoadBaseColors();
    void StoreControl();
    void StoreFont();
    void StoreBorder();
    void StoreMerged();
    void StoreBaseColors();

    // Control handlers.
    void FillEditClasses();
    void FillFormats();
    void UpdateFormatSample();
    void ColorsChange();
    void ColorsDblClick();
    void AutoColorClick();
    void FontChanged();
    void UpdatePreviews();
    void DropDownPanel(TColorPanel* Panel);
    void PopupColorChanged();
    void PanelExit(TColorPanel* Panel);
    void LinesToButtons();
    void PreviewClick(int Index, bool Double);
    void SelectFrame(uint8_t Style);
    void LBStylesClick();
    void MergedClick();

    TQvPro* FPro = nullptr;
    TQvProps FChanges;
    TClass FChosenClass = nullptr;
    TBorderLines FLines{};
    // Lines the user set or removed since the last load: only these are
    // stored, so edges that differ along a range keep their lines.
    uint8_t FLinesTouched = 0;
    uint8_t FLineStyle = lsSingle;
    TColor FLineColor = clBlack;
    uint8_t FFrameStyle = frNoFrame;
    bool FEditorTouched = false;
    bool FFormatTouched = false;
    bool FChoosingClass = false;
    // The chosen font with the text colour and the effects: what item 5
    // stores.
    TFont FPreviewFont;

    QTabWidget* FPages = nullptr;
    QPushButton* FOkButton = nullptr;
    QPushButton* FCancelButton = nullptr;
    QPushButton* FApplyButton = nullptr;
    // Control page.
    QListWidget* FCellClasses = nullptr;
    QListWidget* FEditClasses = nullptr;
    QGroupBox* FPanelFormat = nullptr;
    QLineEdit* FFormatSample = nullptr;
    TPickBox* FCellFormats = nullptr;
    // Layout page.
    QComboBox* FHAlign = nullptr;
    QComboBox* FVAlign = nullptr;
    QComboBox* FWrapMode = nullptr;
    QSpinBox* FIndent = nullptr;
    QCheckBox* FProtect = nullptr;
    QCheckBox* FHidden = nullptr;
    QCheckBox* FMerged = nullptr;
    // Color page.
    QToolButton* FAutoColor = nullptr;
    TColorBox* FColors = nullptr;
    // Font page.
    TFontBox* FFonts = nullptr;
    TFontOutlineBox* FOutlines = nullptr;
    TFontSizeBox* FSizes = nullptr;
    QCheckBox* FUnderline = nullptr;
    QCheckBox* FStrikeout = nullptr;
    TColorPanel* FPanelTColor = nullptr;
    TColorPanel* FPanelEColor = nullptr;
    QLabel* FErrorTextLabel = nullptr;
    QLabel* FPanelPreview = nullptr;
    QLabel* FPanelError = nullptr;
    // Border page.
    std::array<QToolButton*, 8> FLineButtons{};
    TBorderPreview* FBordersBox = nullptr;
    TColorPanel* FPanelLColor = nullptr;
    std::array<QToolButton*, 7> FFrameButtons{};
    QLabel* FGridColorLabel = nullptr;
    TColorPanel* FPanelGColor = nullptr;
    // Based On page.
    QWidget* FBasedOnPage = nullptr;
    QListWidget* FLBStyles = nullptr;
    QListWidget* FCBStyleProps = nullptr;
    // The colour pop-up shared by the colour panels.
    TPopupPanel* FPopup = nullptr;
    TColorBox* FColors2 = nullptr;
    TColorPanel* FPopupTarget = nullptr;
};

// Opens the Format Cells dialog modally on Pro; true when it was closed
// with OK.
bool EditCells(TQvPro* Pro, QWidget* Parent = nullptr);

}  // namespace qv
