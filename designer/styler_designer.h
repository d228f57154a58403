// TQvStylerDesigner: the dialog that edits the named styles of a styler. The
// "Style" page lists the styles, adds one under a typed name, deletes the
// chosen one after a confirmation and shows, under " Includes ", which
// properties the chosen style defines. EditStyles opens it.
//
// A style's attributes are edited with the Format Cells dialog. The style
// designer opens it through the edit-cells hook below: the Format Cells
// dialog's file installs EditCells there, e.g. at program start-up
//     SetEditCellsHook([](TQvPro* Pro, QWidget*) { return EditCells(Pro); });
// Without a hook the "&Format..." button stays disabled. The dialog keeps
// the Format Cells dialog's own surface (SetPro, SetChanges, Changes, Apply,
// the caption rules), so its pages can later be placed after "Style".
#pragma once

#include <functional>

#include <QDialog>

#include "grids/types.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;

namespace qv {

class TPickBox;
class TQvPro;
class TQvStyle;
class TQvStyler;

// Opens the Format Cells dialog on Pro over Parent; true when it closed with
// OK. The dialog applies what the user changed to Pro itself.
using TEditCellsHook = std::function<bool(TQvPro* Pro, QWidget* Parent)>;
// Installs Hook (an empty one removes it) and returns the previous hook.
TEditCellsHook SetEditCellsHook(TEditCellsHook Hook);
const TEditCellsHook& EditCellsHook();

class TQvStylerDesigner : public QDialog {
    Q_OBJECT
public:
    explicit TQvStylerDesigner(QWidget* Parent = nullptr);
    ~TQvStylerDesigner() override;

    // The styler being edited (null: an empty list, and nothing can be
    // added). Writing another one refills the list and selects its first
    // style without editing it.
    TQvStyler* Styler() const { return FStyler; }
    void SetStyler(TQvStyler* Value);

    // The property set being edited (the chosen style, or null). SetPro
    // sets the caption to its name path followed by " Properties" ("No
    // Object Selected" without one) and clears Changes.
    TQvPro* Pro() const { return FPro; }
    void SetPro(TQvPro* P);

    // The attribute items changed since the last load or apply; Apply is
    // enabled exactly when it is not empty. " Includes " shows the
    // properties 0..7 that are in Changes or assigned on the style.
    TQvProps Changes() const { return FChanges; }
    virtual void SetChanges(TQvProps Set);
    // Stores the changed items (then Changes is empty). OK applies too.
    virtual void Apply();

    // The style on the selected line, null when none is selected.
    TQvStyle* SelectedStyle() const;

    // The controls, for hosts and tests (also found by objectName).
    TPickBox* StylesBox() const { return FStyles; }
    QPushButton* AddButton() const { return FBAdd; }
    QPushButton* DeleteButton() const { return FBDelete; }
    QPushButton* FormatButton() const { return FBFormat; }
    QPushButton* ApplyButton() const { return FBApply; }
    QGroupBox* IncludesGroup() const { return FGroupIncludes; }
    QListWidget* IncludesList() const { return FCBProps; }
    QTabWidget* PageControl() const { return FPages; }

    // The button handlers, as the buttons and keys run them.
    void StylesChange();
    void BAddClick();
    void BDeleteClick();
    void BFormatClick();

private:
    void FillStyles();
    void CBPropsClickCheck(QListWidgetItem* Item);

    TQvStyler* FStyler = nullptr;
    TQvPro* FPro = nullptr;
    TQvProps FChanges;
    int FUpdating = 0;

    QTabWidget* FPages = nullptr;
    QLabel* FAlias = nullptr;
    TPickBox* FStyles = nullptr;
    QPushButton* FBAdd = nullptr;
    QPushButton* FBDelete = nullptr;
    QPushButton* FBFormat = nullptr;
    QGroupBox* FGroupIncludes = nullptr;
    QListWidget* FCBProps = nullptr;
    QPushButton* FBOK = nullptr;
    QPushButton* FBCancel = nullptr;
    QPushButton* FBApply = nullptr;
};

// Opens the style designer on Styler modally; true when it closed with OK.
bool EditStyles(TQvStyler* Styler, QWidget* Parent = nullptr);

}  // namespace qv
