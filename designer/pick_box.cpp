#include "designer/pick_box.h"

#include <algorithm>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace qv {

namespace {

// Every item of a pick box is painted by the box itself, at its fixed height.
class TPickItemDelegate : public QStyledItemDelegate {
public:
    TPickItemDelegate(TProPickBox* Box, QObject* Parent) : QStyledItemDelegate(Parent), FBox(Box) {}

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        const bool selected = Option.state & QStyle::State_Selected;
        Painter->save();
        Painter->fillRect(Option.rect, Option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        Painter->setPen(Option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        Painter->setClipRect(Option.rect);
        FBox->DrawItem(*Painter, Index.row(), Option.rect, selected);
        Painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const override {
        return QSize(Option.rect.width(), FBox->ItemHeight());
    }

private:
    TProPickBox* FBox;
};

}  // namespace

TProPickBox::TProPickBox(QWidget* Parent, TComboBoxStyle Style) : QWidget(Parent), FStyle(Style) {
    FModel = new QStandardItemModel(this);
    FLayout = new QVBoxLayout(this);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(2);
    FItemHeight = qMax(16, fontMetrics().height() + 2);
    Build();
}

TProPickBox::~TProPickBox() = default;

void TProPickBox::Build() {
    // The edit part of a combo goes with the combo.
    if (FCombo)
        delete FCombo;
    else
        delete FEdit;
    delete FList;
    FCombo = nullptr;
    FEdit = nullptr;
    FList = nullptr;
    if (FStyle == csSimple) {
        FEdit = new QLineEdit(this);
        FEdit->setObjectName(QStringLiteral("Edit"));
        FList = new QListView(this);
        FList->setObjectName(QStringLiteral("List"));
        FList->setModel(FModel);
        FList->setItemDelegate(new TPickItemDelegate(this, FList));
        FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
        FList->setSelectionMode(QAbstractItemView::SingleSelection);
        FList->setUniformItemSizes(true);
        // Items are as wide as the view (the delegate takes the width it is
        // offered), so a horizontal bar would only follow the vertical one
        // narrowing the view, and scroll nothing.
        FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        FList->setFocusPolicy(Qt::NoFocus);
        FLayout->addWidget(FEdit);
        FLayout->addWidget(FList, 1);
        // A press on a line chooses it, the chosen line included; the list
        // takes no focus, so the keyboard reaches it only through the edit.
        connect(FList, &QListView::pressed, this, [this](const QModelIndex& I) {
            if (!FUpdating && I.isValid()) ItemChosen(I.row());
        });
        connect(FList, &QListView::doubleClicked, this, [this] {
            if (OnDblClick) OnDblClick(this);
        });
        setFocusProxy(FEdit);
    } else {
        FCombo = new QComboBox(this);
        FCombo->setObjectName(QStringLiteral("Combo"));
        FCombo->setModel(FModel);
        FCombo->setEditable(FStyle == csDropDown);
        FCombo->setInsertPolicy(QComboBox::NoInsert);
        FCombo->setItemDelegate(new TPickItemDelegate(this, FCombo));
        if (FCombo->isEditable()) {
            FCombo->setCompleter(nullptr);
            FEdit = FCombo->lineEdit();
        }
        FLayout->addWidget(FCombo);
        connect(FCombo, &QComboBox::activated, this, [this](int I) {
            if (!FUpdating) ItemChosen(I);
        });
        setFocusProxy(FCombo);
    }
    if (FEdit) {
        connect(FEdit, &QLineEdit::textEdited, this, [this] {
            if (!FUpdating) Change();
        });
        FEdit->installEventFilter(this);
    }
}

void TProPickBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle) return;
    const QString text = Text();
    const int index = ItemIndex();
    FStyle = Value;
    Build();
    SelectQuietly(index);
    if (index < 0) SetText(text);
}

void TProPickBox::SetSorted(bool Value) {
    if (Value == FSorted) return;
    FSorted = Value;
    if (!FSorted || Count() < 2) return;
    // The items already there are put in the order AddItem keeps, ignoring
    // case; the chosen item stays chosen.
    ++FUpdating;
    const int chosen = ItemIndex();
    const QString text = Text();
    QList<QList<QStandardItem*>> rows;
    QStandardItem* chosenItem = chosen >= 0 ? FModel->item(chosen) : nullptr;
    while (FModel->rowCount() > 0) rows << FModel->takeRow(0);
    std::stable_sort(rows.begin(), rows.end(), [](const QList<QStandardItem*>& A, const QList<QStandardItem*>& B) {
        return A[0]->text().compare(B[0]->text(), Qt::CaseInsensitive) < 0;
    });
    for (const auto& row : rows) FModel->appendRow(row);
    --FUpdating;
    if (chosenItem)
        SelectQuietly(chosenItem->row());
    else {
        SelectQuietly(-1);
        SetText(text);
    }
}

void TProPickBox::SetItemHeight(int Value) {
    FItemHeight = qMax(1, Value);
    if (QListView* list = ListControl()) list->doItemsLayout();
}

int TProPickBox::Count() const { return FModel->rowCount(); }

QString TProPickBox::Item(int Index) const {
    QStandardItem* item = FModel->item(Index);
    return item ? item->text() : QString();
}

QVariant TProPickBox::ItemData(int Index) const {
    QStandardItem* item = FModel->item(Index);
    return item ? item->data(Qt::UserRole) : QVariant();
}

void TProPickBox::SetItemData(int Index, const QVariant& Data) {
    if (QStandardItem* item = FModel->item(Index)) item->setData(Data, Qt::UserRole);
}

int TProPickBox::AddItem(const QString& ItemText, const QVariant& Data) {
    int row = Count();
    if (FSorted) {
        row = 0;
        while (row < Count() && Item(row).compare(ItemText, Qt::CaseInsensitive) <= 0) ++row;
    }
    auto* item = new QStandardItem(ItemText);
    item->setData(Data, Qt::UserRole);
    item->setEditable(false);
    ++FUpdating;
    const QString text = Text();
    FModel->insertRow(row, item);
    // An editable combo that had nothing selected selects its first item;
    // the box keeps what it showed.
    if (FCombo && Count() == 1 && FCombo->currentIndex() == 0) {
        FCombo->setCurrentIndex(-1);
        if (FEdit) FEdit->setText(text);
    }
    --FUpdating;
    return row;
}

void TProPickBox::DeleteItem(int Index) {
    if (Index < 0 || Index >= Count()) return;
    ++FUpdating;
    const bool wasSelected = ItemIndex() == Index;
    FModel->removeRow(Index);
    // The list would move its selection to a neighbour; nothing stays chosen.
    if (wasSelected) SelectQuietly(-1);
    --FUpdating;
}

void TProPickBox::ClearItems() {
    ++FUpdating;
    FModel->clear();
    if (FEdit) FEdit->clear();
    --FUpdating;
}

int TProPickBox::IndexOf(const QString& Text) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i).compare(Text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TProPickBox::ItemIndex() const {
    if (FCombo) return FCombo->currentIndex();
    const QModelIndex current = FList->currentIndex();
    return current.isValid() && FList->selectionModel()->isSelected(current) ? current.row() : -1;
}

void TProPickBox::SetItemIndex(int Index) { SelectQuietly(Index); }

void TProPickBox::SelectQuietly(int Index) {
    if (Index < -1 || Index >= Count()) Index = -1;
    ++FUpdating;
    if (FCombo) {
        FCombo->setCurrentIndex(Index);
        if (FEdit && Index < 0) FEdit->clear();
    } else {
        if (Index >= 0) {
            FList->setCurrentIndex(FModel->index(Index, 0));
            FList->scrollTo(FModel->index(Index, 0));
        } else {
            FList->selectionModel()->clearSelection();
            FList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        FEdit->setText(Index >= 0 ? Item(Index) : QString());
    }
    if (FEdit) FEdit->setCursorPosition(FEdit->text().size());
    --FUpdating;
}

QString TProPickBox::Text() const {
    if (FEdit) return FEdit->text();
    return FCombo ? FCombo->currentText() : QString();
}

void TProPickBox::SetText(const QString& Value) {
    if (Value == Text()) return;
    ++FUpdating;
    if (FEdit) {
        FEdit->setText(Value);
    } else if (FCombo) {
        // A list without an edit part can only show one of its items.
        FCombo->setCurrentIndex(FCombo->findText(Value, Qt::MatchFixedString));
    }
    --FUpdating;
}

QListView* TProPickBox::ListControl() const {
    if (FList) return FList;
    return FCombo ? qobject_cast<QListView*>(FCombo->view()) : nullptr;
}

QSize TProPickBox::sizeHint() const {
    if (FCombo) return FCombo->sizeHint();
    const QSize edit = FEdit->sizeHint();
    return QSize(edit.width(), edit.height() + FLayout->spacing() + 8 * FItemHeight + 4);
}

void TProPickBox::DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool) {
    Painter.setFont(font());
    Painter.drawText(Rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Item(Index));
}

void TProPickBox::ItemChosen(int Index) {
    SelectQuietly(Index);
    Change();
}

void TProPickBox::Change() {
    const int found = IndexOf(Text());
    if (found >= 0) {
        if (ItemIndex() != found || Text() != Item(found)) SelectQuietly(found);
        Click();
    } else if (ItemIndex() >= 0 && FEdit) {
        // The typed text names no item: nothing stays selected, the text
        // and the caret stay as typed.
        const QString text = FEdit->text();
        const int caret = FEdit->cursorPosition();
        SelectQuietly(-1);
        ++FUpdating;
        FEdit->setText(text);
        FEdit->setCursorPosition(caret);
        --FUpdating;
    }
    if (OnChange) OnChange(this);
}

void TProPickBox::Click() {
    if (OnClick) OnClick(this);
}

void TProPickBox::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

bool TProPickBox::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == FEdit && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (FList && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            // The edit part of the open list steps through its items.
            const int current = ItemIndex();
            const int next = key->key() == Qt::Key_Up ? qMax(0, current - 1) : qMin(Count() - 1, current + 1);
            if (next >= 0 && next != current) ItemChosen(next);
            return true;
        }
        char32_t ch = 0;
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: ch = 13; break;
            case Qt::Key_Backspace: ch = 8; break;
            case Qt::Key_Escape: ch = 27; break;
            default: {
                const QString text = key->text();
                if (text.size() == 1 && text[0].isPrint()) ch = text[0].unicode();
            }
        }
        if (ch) {
            KeyPress(ch);
            if (ch == 0) return true;
        }
    }
    return QWidget::eventFilter(Watched, Event);
}

TPickBox::TPickBox(QWidget* Parent, TComboBoxStyle Style) : TProPickBox(Parent, Style) { SetAutoFill(false); }

}  // namespace qv
