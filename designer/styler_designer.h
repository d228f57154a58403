// TQvStylerDesigner: the dialog that edits the named styles of a styler. It
// is the Format Cells dialog with one more page, "Style", placed first: the
// page lists the styles, adds one under a typed name, deletes the chosen one
// after a confirmation and shows, under " Includes ", which properties the
// chosen style will define. The pages after it edit the chosen style's
// attributes; OK and Apply store what was touched on the style, and every
// cell that uses the style follows. EditStyles opens it.
#pragma once

#include "designer/cell_designer.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace qv {

class TPickBox;
class TQvStyle;
class TQvStyler;

class TQvStylerDesigner : public TQvCellDesigner {
    Q_OBJECT
public:
    explicit TQvStylerDesigner(QWidget* Parent = nullptr);
    ~TQvStylerDesigner() override;

    // The styler being edited (null: an empty list, and nothing can be
    // added). Writing another one refills the list and selects its first
    // style without editing it.
    TQvStyler* Styler() const { return FStyler; }
    void SetStyler(TQvStyler* Value);

    // The inherited behaviour, then " Includes " checks the properties 0..7
    // that are in Set or assigned on the edited style: what the style will
    // define once the pending changes are applied.
    void SetChanges(TQvProps Set) override;

    // The style on the selected line, null when none is selected.
    TQvStyle* SelectedStyle() const;

    // The controls of the "Style" page, for hosts and tests (also found by
    // objectName).
    TPickBox* StylesBox() const { return FStyles; }
    QPushButton* AddButton() const { return FBAdd; }
    QPushButton* DeleteButton() const { return FBDelete; }
    QGroupBox* IncludesGroup() const { return FGroupIncludes; }
    QListWidget* IncludesList() const { return FCBProps; }

    // The handlers, as the list, the buttons and the keys run them.
    void StylesChange();
    void BAddClick();
    void BDeleteClick();

private:
    QWidget* BuildStylePage();
    void FillStyles();
    void CBPropsClickCheck(QListWidgetItem* Item);

    TQvStyler* FStyler = nullptr;
    int FUpdating = 0;

    QLabel* FAlias = nullptr;
    TPickBox* FStyles = nullptr;
    QPushButton* FBAdd = nullptr;
    QPushButton* FBDelete = nullptr;
    QGroupBox* FGroupIncludes = nullptr;
    QListWidget* FCBProps = nullptr;
};

// Opens the style designer on Styler modally; true when it closed with OK.
bool EditStyles(TQvStyler* Styler, QWidget* Parent = nullptr);

}  // namespace qv
