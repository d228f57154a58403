// TProPickBox: a combo box whose items the box can fill itself (FillItems)
// and paint itself (DrawItem, one fixed item height), and which selects the
// item matching what is typed. TPickBox is the same with items the owner
// adds.
//
// Three styles: csDropDown (an edit part and a drop-down list),
// csDropDownList (a drop-down list only) and csSimple (an edit part with the
// list always open below it, built from a line edit above a list view).
// Items live in one model whichever style shows them.
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

#include "platform/events.h"
#include "platform/object.h"

class QComboBox;
class QLineEdit;
class QListView;
class QPainter;
class QStandardItemModel;
class QVBoxLayout;

namespace qv {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TProPickBox : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TProPickBox(QWidget* Parent = nullptr, TComboBoxStyle Style = csDropDown);
    ~TProPickBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    // Rebuilds the box in another style, keeping items, text and selection.
    void SetStyle(TComboBoxStyle Value);
    // True for boxes that fill their own items (FillItems at construction).
    bool AutoFill() const { return FAutoFill; }
    void SetAutoFill(bool Value) { FAutoFill = Value; }
    // Sorted boxes insert added items in alphabetical order (ignoring case).
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Pixel height of every item of the list.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);

    // The items: a text and a value the owner attaches (a style, a flag word).
    int Count() const;
    QString Item(int Index) const;
    QVariant ItemData(int Index) const;
    void SetItemData(int Index, const QVariant& Data);
    // Appends (or, sorted, inserts) an item and returns its index.
    int AddItem(const QString& Text, const QVariant& Data = {});
    void DeleteItem(int Index);
    void ClearItems();
    // The first item whose text equals Text ignoring case, −1 if none.
    int IndexOf(const QString& Text) const;

    // The selected item, −1 for none. Writing it raises no event; selecting
    // an item shows its text in the edit part.
    int ItemIndex() const;
    void SetItemIndex(int Index);
    // The text of the edit part (of the selected item without one). Writing
    // it raises no event.
    QString Text() const;
    void SetText(const QString& Value);

    // Fills the items; nothing here.
    virtual void FillItems() {}
    // Paints item Index into Rect over a background already filled
    // (highlighted when Selected); the text in the box's font here.
    virtual void DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool Selected);

    // The parts, for owners that lay the box out and for tests: the edit
    // part (null with csDropDownList), the combo box (null with csSimple)
    // and the list (the combo's own list, or the open list with csSimple).
    QLineEdit* EditControl() const { return FEdit; }
    QComboBox* ComboControl() const { return FCombo; }
    QListView* ListControl() const;

    QSize sizeHint() const override;

    // Typing in the edit part, or choosing an item.
    TNotifyEvent OnChange;
    // An item was chosen, by the mouse, the keyboard or by typing its text.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // Each character typed into the edit part, before the box takes it;
    // Enter comes as 13. A handler may swallow it (Key = 0).
    TKeyPressEvent OnKeyPress;

protected:
    // The text was typed or an item chosen: selects the first item whose text
    // equals the text ignoring case (or none) and runs Click when one is;
    // then raises OnChange.
    virtual void Change();
    // Raises OnClick.
    virtual void Click();
    // Runs OnKeyPress; descendants filter keys after it.
    virtual void KeyPress(char32_t& Key);

    bool eventFilter(QObject* Watched, QEvent* Event) override;
    QStandardItemModel* Model() const { return FModel; }

private:
    void Build();
    void ItemChosen(int Index);
    void SelectQuietly(int Index);

    TComboBoxStyle FStyle;
    bool FAutoFill = true;
    bool FSorted = false;
    int FItemHeight = 16;
    int FUpdating = 0;
    QStandardItemModel* FModel = nullptr;
    QVBoxLayout* FLayout = nullptr;
    QComboBox* FCombo = nullptr;
    QLineEdit* FEdit = nullptr;
    QListView* FList = nullptr;
};

class TPickBox : public TProPickBox {
    Q_OBJECT
public:
    // A box whose items the owner adds (AutoFill is false).
    explicit TPickBox(QWidget* Parent = nullptr, TComboBoxStyle Style = csDropDown);
};

}  // namespace qv
