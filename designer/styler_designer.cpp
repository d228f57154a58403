#include "designer/styler_designer.h"

#include <exception>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

TEditCellsHook& Hook() {
    static TEditCellsHook hook;
    return hook;
}

const char* const PropNames[] = {"Control", "Layout", "Protect", "Showing", "Color", "Font", "Border", "Frame"};

}  // namespace

TEditCellsHook SetEditCellsHook(TEditCellsHook NewHook) {
    TEditCellsHook previous = std::move(Hook());
    Hook() = std::move(NewHook);
    return previous;
}

const TEditCellsHook& EditCellsHook() { return Hook(); }

TQvStylerDesigner::TQvStylerDesigner(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("QvStylerDesigner"));
    // The controls keep at least their designed sizes; the layouts make
    // room for larger fonts.
    setMinimumSize(364, 324);

    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("PageControl"));

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
    pageLayout->addWidget(FStyles, 1, 0, 5, 1);

    FBAdd = new QPushButton(QStringLiteral("&Add"), page);
    FBAdd->setObjectName(QStringLiteral("BAdd"));
    FBDelete = new QPushButton(QStringLiteral("&Delete"), page);
    FBDelete->setObjectName(QStringLiteral("BDelete"));
    FBFormat = new QPushButton(QStringLiteral("&Format..."), page);
    FBFormat->setObjectName(QStringLiteral("BFormat"));
    pageLayout->addWidget(FBAdd, 1, 1);
    pageLayout->addWidget(FBDelete, 2, 1);
    pageLayout->addWidget(FBFormat, 3, 1);

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
    FCBProps->setFixedSize(qMax(80, FCBProps->sizeHintForColumn(0) + 8), FCBProps->sizeHintForRow(0) * FCBProps->count() + 4);
    groupLayout->addWidget(FCBProps);
    pageLayout->addWidget(FGroupIncludes, 4, 1);
    pageLayout->setRowStretch(5, 1);
    pageLayout->setColumnStretch(0, 1);
    FGroupIncludes->hide();
    FPages->addTab(page, QStringLiteral("Style"));

    FBOK = new QPushButton(QStringLiteral("OK"), this);
    FBOK->setObjectName(QStringLiteral("OK"));
    FBCancel = new QPushButton(QStringLiteral("Cancel"), this);
    FBCancel->setObjectName(QStringLiteral("Cancel"));
    FBApply = new QPushButton(QStringLiteral("Apply"), this);
    FBApply->setObjectName(QStringLiteral("Apply"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FBOK);
    buttons->addWidget(FBCancel);
    buttons->addWidget(FBApply);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(FPages, 1);
    layout->addLayout(buttons);

    // Enter adds the typed name: "&Add" is the default button, and no other
    // button takes that role when it has the focus.
    for (QPushButton* b : {FBOK, FBCancel, FBApply, FBDelete, FBFormat}) b->setAutoDefault(false);
    FBAdd->setDefault(true);
    FBAdd->setEnabled(false);
    FBDelete->setEnabled(false);
    FBApply->setEnabled(false);
    FBFormat->setEnabled(false);
    // The buttons come before the pages in the tab order.
    setTabOrder(FBOK, FBCancel);
    setTabOrder(FBCancel, FBApply);
    setTabOrder(FBApply, FPages);

    connect(FBOK, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(FBCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FBApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(FBAdd, &QPushButton::clicked, this, [this] { BAddClick(); });
    connect(FBDelete, &QPushButton::clicked, this, [this] { BDeleteClick(); });
    connect(FBFormat, &QPushButton::clicked, this, [this] { BFormatClick(); });
    connect(FCBProps, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) { CBPropsClickCheck(Item); });
    FStyles->OnChange = [this](TObject*) { StylesChange(); };
    FStyles->OnKeyPress = [this](TObject*, char32_t& Key) {
        if (Key == 13 && FBAdd->isEnabled()) BAddClick();
    };

    FPages->setCurrentIndex(0);
    SetPro(nullptr);
}

TQvStylerDesigner::~TQvStylerDesigner() = default;

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

void TQvStylerDesigner::SetPro(TQvPro* P) {
    FPro = P;
    setWindowTitle(P ? QString::fromStdString(P->GetNamePath()) + QStringLiteral(" Properties")
                     : QStringLiteral("No Object Selected"));
    FBFormat->setEnabled(P && EditCellsHook());
    SetChanges(TQvProps{});
}

void TQvStylerDesigner::SetChanges(TQvProps Set) {
    FChanges = Set;
    FBApply->setEnabled(!Set.IsEmpty());
    const TQvProps assigned = FPro ? FPro->Assigned() : TQvProps{};
    ++FUpdating;
    for (int id = 0; id < FCBProps->count(); ++id)
        FCBProps->item(id)->setCheckState(Set.Has(id) || assigned.Has(id) ? Qt::Checked : Qt::Unchecked);
    --FUpdating;
}

void TQvStylerDesigner::Apply() {
    // The attribute items are stored by the Format Cells dialog that edited
    // them; what remains is to start counting changes afresh.
    SetChanges(TQvProps{});
}

void TQvStylerDesigner::StylesChange() {
    const int index = FStyles->ItemIndex();
    // Without a styler there is nothing to add a style to.
    FBAdd->setEnabled(FStyler && index < 0 && !FStyles->Text().isEmpty());
    FBDelete->setEnabled(index >= 0);
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
    if (!style || !FPro) return;
    const std::string text = "Are you sure to delete style named " + style->Name() + "?";
    if (ShowMessageBox(text, "QvStyler Designer", miQuestion, mbOKCancel) != idOk) return;
    SetPro(nullptr);
    FStyles->DeleteItem(FStyles->ItemIndex());
    // Leaves the styler and every cell that used it.
    delete style;
    StylesChange();
}

void TQvStylerDesigner::BFormatClick() {
    if (!FPro || !EditCellsHook()) return;
    try {
        EditCellsHook()(FPro, this);
    } catch (const std::exception& E) {
        ShowMessageBox(E.what(), "QvStyler Designer", miError);
    }
    // The style may define more properties now.
    SetChanges(FChanges);
}

void TQvStylerDesigner::CBPropsClickCheck(QListWidgetItem*) {
    if (FUpdating) return;
    FBApply->setEnabled(true);
}

bool EditStyles(TQvStyler* Styler, QWidget* Parent) {
    TQvStylerDesigner dialog(Parent);
    dialog.SetStyler(Styler);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace qv
