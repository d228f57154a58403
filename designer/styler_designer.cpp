#include "designer/styler_designer.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "designer/pick_box.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/message_box.h"

Q_DECLARE_METATYPE(qv::TQvStyle*)

namespace qv {

namespace {

// The property identifiers 0..7, which are also the first eight page items.
const char* const PropNames[] = {"Control", "Layout", "Protect", "Showing", "Color", "Font", "Border", "Frame"};

}  // namespace

TQvStylerDesigner::TQvStylerDesigner(QWidget* Parent) : TQvCellDesigner(Parent) {
    setObjectName(QStringLiteral("QvStylerDesigner"));
    QTabWidget* pages = PageControl();
    pages->insertTab(0, BuildStylePage(), QStringLiteral("Style"));

    // On the "Style" page Enter adds the typed name: "&Add" is the default
    // button there, and no other button takes that role when it has the
    // focus. On the pages after it Enter is OK, as in the Format Cells dialog.
    for (QPushButton* b : {OkButton(), CancelButton(), ApplyButton(), FBDelete}) b->setAutoDefault(false);
    auto chooseDefault = [this](int Page) {
        if (Page == 0)
            FBAdd->setDefault(true);
        else
            OkButton()->setDefault(true);
    };
    connect(pages, &QTabWidget::currentChanged, this, chooseDefault);
    pages->setCurrentIndex(0);
    chooseDefault(0);
    // The buttons come before the pages in the tab order.
    setTabOrder(OkButton(), CancelButton());
    setTabOrder(CancelButton(), ApplyButton());
    setTabOrder(ApplyButton(), pages);
    resize(size().expandedTo(minimumSizeHint()));

    // Nothing is edited until a style is chosen.
    SetPro(nullptr);
}

TQvStylerDesigner::~TQvStylerDesigner() = default;

QWidget* TQvStylerDesigner::BuildStylePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Style"));
    auto* pageLayout = new QGridLayout(page);
    pageLayout->setContentsMargins(8, 4, 8, 8);
    FAlias = new QLabel(QStringLiteral("&Alias"), page);
    FAlias->setObjectName(QStringLiteral("Alias"));
    FStyles = new TPickBox(page, csSimple);
    FStyles->setObjectName(QStringLiteral("Styles"));
    FStyles->setMinimumSize(249, 234);
    FAlias->setBuddy(FStyles);
    pageLayout->addWidget(FAlias, 0, 0);
    pageLayout->addWidget(FStyles, 1, 0, 4, 1);

    FBAdd = new QPushButton(QStringLiteral("&Add"), page);
    FBAdd->setObjectName(QStringLiteral("BAdd"));
    FBDelete = new QPushButton(QStringLiteral("&Delete"), page);
    FBDelete->setObjectName(QStringLiteral("BDelete"));
    pageLayout->addWidget(FBAdd, 1, 1);
    pageLayout->addWidget(FBDelete, 2, 1);

    FGroupIncludes = new QGroupBox(QStringLiteral(" Includes "), page);
    FGroupIncludes->setObjectName(QStringLiteral("GroupIncludes"));
    auto* groupLayout = new QVBoxLayout(FGroupIncludes);
    groupLayout->setContentsMargins(4, 2, 4, 4);
    FCBProps = new QListWidget(FGroupIncludes);
    FCBProps->setObjectName(QStringLiteral("CBProps"));
    FCBProps->setFrameShape(QFrame::NoFrame);
    FCBProps->setSelectionMode(QAbstractItemView::NoSelection);
    FCBProps->setFocusPolicy(Qt::NoFocus);
    FCBProps->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FCBProps->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const char* name : PropNames) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), FCBProps);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Room for all eight entries without scrolling.
    FCBProps->setFixedSize(qMax(80, FCBProps->sizeHintForColumn(0) + 8),
                           FCBProps->sizeHintForRow(0) * FCBProps->count() + 4);
    groupLayout->addWidget(FCBProps);
    pageLayout->addWidget(FGroupIncludes, 3, 1);
    pageLayout->setRowStretch(4, 1);
    pageLayout->setColumnStretch(0, 1);
    FGroupIncludes->hide();

    FBAdd->setEnabled(false);
    FBDelete->setEnabled(false);
    connect(FBAdd, &QPushButton::clicked, this, [this] { BAddClick(); });
    connect(FBDelete, &QPushButton::clicked, this, [this] { BDeleteClick(); });
    connect(FCBProps, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) { CBPropsClickCheck(Item); });
    FStyles->OnChange = [this](TObject*) { StylesChange(); };
    FStyles->OnKeyPress = [this](TObject*, char32_t& Key) {
        if (Key == 13 && FBAdd->isEnabled()) BAddClick();
    };
    return page;
}

void TQvStylerDesigner::SetStyler(TQvStyler* Value) {
    if (Value == FStyler) return;
    FStyler = Value;
    FillStyles();
}

void TQvStylerDesigner::FillStyles() {
    ++FUpdating;
    FStyles->setUpdatesEnabled(false);
    FStyles->ClearItems();
    if (FStyler && FStyler->Count() > 0) {
        for (int i = 0; i < FStyler->Count(); ++i) {
            TQvStyle* style = FStyler->Styles(i);
            FStyles->AddItem(QString::fromStdString(style->Name()), QVariant::fromValue(style));
        }
        // Selecting this way raises no change: nothing is edited yet.
        FStyles->SetItemIndex(0);
    }
    FStyles->setUpdatesEnabled(true);
    --FUpdating;
}

TQvStyle* TQvStylerDesigner::SelectedStyle() const {
    const int index = FStyles->ItemIndex();
    return index >= 0 ? FStyles->ItemData(index).value<TQvStyle*>() : nullptr;
}

void TQvStylerDesigner::SetChanges(TQvProps Set) {
    TQvCellDesigner::SetChanges(Set);
    // Loading a style into the pages marks items before the page exists.
    if (!FCBProps) return;
    const TQvProps assigned = Pro() ? Pro()->Assigned() : TQvProps{};
    ++FUpdating;
    for (int id = 0; id < FCBProps->count(); ++id)
        FCBProps->item(id)->setCheckState(Set.Has(id) || assigned.Has(id) ? Qt::Checked : Qt::Unchecked);
    --FUpdating;
}

void TQvStylerDesigner::StylesChange() {
    const int index = FStyles->ItemIndex();
    // Without a styler there is nothing to add a style to.
    FBAdd->setEnabled(FStyler && index < 0 && !FStyles->Text().isEmpty());
    FBDelete->setEnabled(index >= 0);
    // Another style (or none) discards what is pending on the pages.
    SetPro(SelectedStyle());
    FGroupIncludes->setVisible(index >= 0);
}

void TQvStylerDesigner::BAddClick() {
    const QString text = FStyles->Text();
    if (!FStyler || text.isEmpty()) return;
    TQvStyle* style = FStyler->AddStyle(text.toStdString());
    // A style of that exact name may exist already (added behind the list's
    // back): its line is chosen instead of a second one.
    int line = -1;
    for (int i = 0; i < FStyles->Count() && line < 0; ++i)
        if (FStyles->ItemData(i).value<TQvStyle*>() == style) line = i;
    if (line < 0) line = FStyles->AddItem(text, QVariant::fromValue(style));
    FStyles->SetItemIndex(line);
    StylesChange();
}

void TQvStylerDesigner::BDeleteClick() {
    TQvStyle* style = SelectedStyle();
    if (!style || !Pro()) return;
    const std::string text = "Are you sure to delete style named " + style->Name() + "?";
    if (ShowMessageBox(text, "QvStyler Designer", miQuestion, mbOKCancel) != idOk) return;
    SetPro(nullptr);
    FStyles->DeleteItem(FStyles->ItemIndex());
    // Leaves the styler and every cell that used it.
    delete style;
    StylesChange();
}

void TQvStylerDesigner::CBPropsClickCheck(QListWidgetItem*) {
    if (FUpdating) return;
    // The boxes follow the pages: a click only offers Apply, and the next
    // SetChanges shows again what the style will define.
    ApplyButton()->setEnabled(true);
}

bool EditStyles(TQvStyler* Styler, QWidget* Parent) {
    TQvStylerDesigner dialog(Parent);
    dialog.SetStyler(Styler);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace qv
