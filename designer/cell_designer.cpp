#include "designer/cell_designer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/number_cell.h"
#include "designer/color_box.h"
#include "designer/color_dialog.h"
#include "designer/color_panel.h"
#include "designer/font_boxes.h"
#include "designer/pick_box.h"
#include "designer/popup_panel.h"
#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/pro_range.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "platform/format_float.h"
#include "platform/message_box.h"
#include "qt/qt_convert.h"

namespace qv {

namespace {

// What a style's format is tried on: a number with decimals and thousands,
// or a fixed afternoon for date and time masks.
constexpr double SampleNumber = 1234.5678;

TDateTime SampleDateTime() {
    TDateTime d = 0;
    TryEncodeDate(2024, 3, 15, d);
    return d + 13.5 / 24;
}

QString Q(const std::string& S) { return QString::fromStdString(S); }

}  // namespace

TQvCellDesigner::TQvCellDesigner(QWidget* Parent) : QDialog(Parent) {
    setObjectName("QvCellDesigner");
    BuildPages();
    SetPro(nullptr);
}

TQvCellDesigner::~TQvCellDesigner() = default;

// --- the set --------------------------------------------------------------

void TQvCellDesigner::SetPro(TQvPro* P) {
    FPro = P;
    if (P) {
        setWindowTitle(Q(P->GetNamePath()) + " Properties");
        for (int item = 0; item < ItemCount; ++item) LoadItem(item);
    } else {
        setWindowTitle("No Object Selected");
    }
    // Pages a descendant placed in front stay as they are; without a set
    // the own pages are disabled, so the tabs cannot be changed to them.
    // Qt moves off a current tab that gets disabled; the page shown stays
    // the same whatever the set (a new dialog opens on its first page).
    const int current = FPages->currentIndex();
    for (int i = FirstOwnPage(); i < FPages->count(); ++i) FPages->setTabEnabled(i, P != nullptr);
    if (current >= 0) FPages->setCurrentIndex(current);
    SetChanges({});
}

void TQvCellDesigner::SetChanges(TQvProps Set) {
    FChanges = Set;
    FApplyButton->setEnabled(!Set.IsEmpty());
}

void TQvCellDesigner::MarkChanged(int Item) {
    TQvProps set = FChanges;
    set.Include(Item);
    SetChanges(set);
}

int TQvCellDesigner::FirstOwnPage() const { return FPages->indexOf(FPages->findChild<QWidget*>("ControlPage")); }

bool TQvCellDesigner::Apply() {
    if (FPro) {
        try {
            for (int item = 0; item < ItemCount; ++item)
                if (FChanges.Has(item)) StoreItem(item);
        } catch (const std::exception& E) {
            ShowMessageBox(E.what(), QApplication::applicationDisplayName().toStdString(), miError, mbOK);
            return false;
        }
    }
    FLinesTouched = 0;
    SetChanges({});
    return true;
}

void TQvCellDesigner::accept() {
    // A failed apply keeps the dialog open on what the user typed.
    if (Apply()) QDialog::accept();
}

bool TQvCellDesigner::EditCells(TQvPro* Pro, QWidget* Parent) {
    auto dialog = std::make_unique<TQvCellDesigner>(Parent);
    dialog->SetPro(Pro);
    return dialog->exec() == QDialog::Accepted;
}

bool EditCells(TQvPro* Pro, QWidget* Parent) { return TQvCellDesigner::EditCells(Pro, Parent); }

// --- loading --------------------------------------------------------------

void TQvCellDesigner::LoadItem(int Item) {
    switch (Item) {
        case itControl: LoadControl(); break;
        case itLayout: LoadLayout(); break;
        case itProtect: FProtect->setChecked(FPro->Protected()); break;
        case itShowing: FHidden->setChecked(!FPro->Showing()); break;
        case itColor: LoadColor(); break;
        case itFont: LoadFont(); break;
        case itBorder: LoadBorder(); break;
        case itFrame: LoadFrame(); break;
        case itStyle: LoadStyle(); break;
        case itMerged: LoadMerged(); break;
        case itBaseColors: LoadBaseColors(); break;
        default: break;
    }
}

void TQvCellDesigner::LoadControl() {
    SetChosenClass(FPro->GetCellClass());
    if (FEditClasses->count() > 0)
        FEditClasses->setCurrentRow(std::clamp<int>(FPro->EditorIndex(), 0, FEditClasses->count() - 1));
    // The list highlights the line the mask reads, or none (choosing the
    // class above selected its first line).
    const QString mask = Q(FPro->Format());
    FCellFormats->SetItemIndex(FCellFormats->IndexOf(mask));
    FCellFormats->SetText(mask);
    FEditorTouched = false;
    FFormatTouched = false;
    UpdateFormatSample();
}

void TQvCellDesigner::LoadLayout() {
    const TQvLayout l = FPro->Layout();
    FHAlign->setCurrentIndex(l.HAlign < FHAlign->count() ? l.HAlign : 0);
    FVAlign->setCurrentIndex(l.VAlign < FVAlign->count() ? l.VAlign : 0);
    FWrapMode->setCurrentIndex(l.WrapMode < FWrapMode->count() ? l.WrapMode : 0);
    FIndent->setValue(l.Indent);
}

void TQvCellDesigner::LoadColor() {
    FColors->SelectColor(FPro->Color());
    ColorsChange();
}

void TQvCellDesigner::LoadFont() {
    const TFont* font = FPro->Font();
    FPanelTColor->SetColor(font->Color());
    FFonts->SetSelFont(*font);
    FUnderline->setChecked(font->Style().Contains(fsUnderline));
    FStrikeout->setChecked(font->Style().Contains(fsStrikeOut));
    UpdatePreviews();
}

void TQvCellDesigner::LoadBorder() {
    bool hInner = false;
    bool vInner = false;
    if (auto* range = dynamic_cast<TQvProRange*>(FPro)) {
        const TRect r = range->GetRect();
        const bool single = range->IsSingle();
        hInner = !single && r.Bottom - r.Top > 1;
        vInner = !single && r.Right - r.Left > 1;
    }
    FLineButtons[liHInternal]->setEnabled(hInner);
    FLineButtons[liVInternal]->setEnabled(vInner);
    FBordersBox->SetInnerEnabled(hInner, vInner);
    for (int i = 0; i < 8; ++i) FLines[i] = FPro->Border(i);
    FLinesTouched = 0;
    LinesToButtons();
}

void TQvCellDesigner::LoadFrame() {
    const uint8_t frame = FPro->Frame() & 0x7F;
    FFrameStyle = frame < FFrameButtons.size() ? frame : uint8_t(frNoFrame);
    FFrameButtons[FFrameStyle]->setChecked(true);
}

void TQvCellDesigner::LoadStyle() {
    auto* cells = dynamic_cast<TQvProCell*>(FPro);
    TQvSheet* sheet = cells ? cells->Sheet() : nullptr;
    TQvStyler* styler = sheet ? sheet->Styler() : nullptr;
    FPages->setTabVisible(FPages->indexOf(FBasedOnPage), styler != nullptr);
    if (!styler) return;
    sheet->BeginUpdate();
    FLBStyles->clear();
    auto* none = new QListWidgetItem("[Default Base Style]", FLBStyles);
    none->setData(Qt::UserRole, QVariant::fromValue<void*>(nullptr));
    TQvStyle* current = FPro->GetStyle();
    int row = 0;
    for (int i = 0; i < styler->Count(); ++i) {
        TQvStyle* s = styler->Styles(i);
        auto* item = new QListWidgetItem(Q(s->Name()), FLBStyles);
        item->setData(Qt::UserRole, QVariant::fromValue<void*>(s));
        if (s == current) row = i + 1;
    }
    FLBStyles->setCurrentRow(row);
    sheet->EndUpdate();
    LBStylesClick();
}

void TQvCellDesigner::LoadMerged() {
    auto* cells = dynamic_cast<TQvProCell*>(FPro);
    FMerged->setVisible(cells != nullptr);
    if (!cells) return;
    FMerged->setEnabled(true);
    const bool single = cells->IsSingle();
    if (cells->HasUnions()) {
        // A selection that meets merged ranges without being one shows
        // the mixed state until the user decides.
        FMerged->setTristate(!single);
        FMerged->setCheckState(single ? Qt::Checked : Qt::PartiallyChecked);
    } else {
        FMerged->setTristate(false);
        FMerged->setChecked(false);
        FMerged->setEnabled(!single);
    }
}

void TQvCellDesigner::LoadBaseColors() {
    auto* base = dynamic_cast<TQvBaseStyle*>(FPro);
    if (base) {
        FPanelEColor->SetColor(base->ErrorColor());
        FPanelGColor->SetColor(base->GridColor());
        UpdatePreviews();
    }
    const bool visible = base != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{FErrorTextLabel, FPanelEColor, FPanelError, FGridColorLabel,
                                                       FPanelGColor})
        w->setVisible(visible);
}

// --- storing --------------------------------------------------------------

void TQvCellDesigner::StoreItem(int Item) {
    switch (Item) {
        case itControl: StoreControl(); break;
        case itLayout: {
            TQvLayout l;
            l.HAlign = static_cast<uint8_t>(FHAlign->currentIndex());
            l.VAlign = static_cast<uint8_t>(FVAlign->currentIndex());
            l.WrapMode = static_cast<uint8_t>(FWrapMode->currentIndex());
            l.Indent = static_cast<uint16_t>(FIndent->value());
            FPro->SetLayout(l);
            break;
        }
        case itProtect: FPro->SetProtected(FProtect->isChecked()); break;
        case itShowing: FPro->SetShowing(!FHidden->isChecked()); break;
        case itColor: FPro->SetColor(FColors->SelectedColor()); break;
        case itFont: StoreFont(); break;
        case itBorder: StoreBorder(); break;
        case itFrame: FPro->SetFrame(FFrameStyle); break;
        case itStyle: {
            QListWidgetItem* item = FLBStyles->currentItem();
            auto* style = item ? static_cast<TQvStyle*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
            // Cells show the style's fill, borders and frame, not only its
            // name; other sets only name it.
            if (auto* cells = dynamic_cast<TQvProCell*>(FPro)) {
                ApplyStyle(*cells, style);
                // What the user chose on the other pages of this dialog
                // wins over what the style brings.
                for (int other : {itColor, itBorder, itFrame})
                    if (FChanges.Has(other)) StoreItem(other);
            } else {
                FPro->SetStyle(style);
            }
            break;
        }
        case itMerged: StoreMerged(); break;
        case itBaseColors: StoreBaseColors(); break;
        default: break;
    }
}

void TQvCellDesigner::StoreControl() {
    FPro->SetCellClass(FChosenClass);
    if (FEditorTouched) FPro->SetEditorIndex(std::max(0, FEditClasses->currentRow()));
    if (FFormatTouched) FPro->SetFormat(FCellFormats->Text().toStdString());
}

void TQvCellDesigner::StoreFont() { FPro->SetFont(&FPreviewFont); }

void TQvCellDesigner::StoreBorder() {
    // Only the lines the user set or removed: a range's edge whose lines
    // differ along it loads as one line, and writing that back would
    // overwrite the others.
    for (int i = 0; i < 8; ++i)
        if (FLinesTouched & (1u << i)) FPro->SetBorder(i, FLines[i]);
}

void TQvCellDesigner::StoreMerged() {
    auto* range = dynamic_cast<TQvProRange*>(FPro);
    if (!range) {
        // A single cell merges through its own rectangle only by being
        // told one; splitting is all the box can do for it.
        if (auto* cells = dynamic_cast<TQvProCell*>(FPro); cells && FMerged->checkState() != Qt::Checked)
            cells->Split();
        return;
    }
    if (FMerged->checkState() == Qt::Checked)
        range->Merge();
    else
        range->Split();
}

void TQvCellDesigner::StoreBaseColors() {
    auto* base = dynamic_cast<TQvBaseStyle*>(FPro);
    if (!base) return;
    base->SetErrorColor(FPanelEColor->Color());
    base->SetGridColor(FPanelGColor->Color());
}

// --- Control page ---------------------------------------------------------

void TQvCellDesigner::SetChosenClass(TClass Cls) {
    if (Cls == FChosenClass) return;
    FChosenClass = Cls;
    FChoosingClass = true;
    FCellClasses->setCurrentRow(QvManager().IndexOf(Cls));
    FillEditClasses();
    FillFormats();
    FChoosingClass = false;
    FEditorTouched = true;
    FFormatTouched = true;
    MarkChanged(itControl);
    UpdateFormatSample();
}

void TQvCellDesigner::FillEditClasses() {
    TQvManager& m = QvManager();
    FEditClasses->clear();
    const int n = m.EditorCount(FChosenClass);
    for (int i = 0; i < n; ++i)
        if (TClass ec = m.EditorClass(FChosenClass, i)) FEditClasses->addItem(ec->Name);
    if (FEditClasses->count() > 0) FEditClasses->setCurrentRow(0);
}

void TQvCellDesigner::FillFormats() {
    QStringList formats;
    if (const TStringList* list = QvManager().Formats(FChosenClass))
        for (int i = 0; i < list->Count(); ++i) formats << Q(list->Strings(i));
    FCellFormats->ClearItems();
    for (const QString& f : formats) FCellFormats->AddItem(f);
    // The new class starts with its first predefined format, as a new
    // style of that class does.
    if (formats.isEmpty())
        FCellFormats->SetText(QString());
    else
        FCellFormats->SetItemIndex(0);
    FPanelFormat->setVisible(!formats.isEmpty());
}

QString TQvCellDesigner::FormatSampleText() const {
    if (!FChosenClass) return {};
    const std::string mask = FCellFormats->Text().toStdString();
    TVariant value;
    if (auto* cells = dynamic_cast<TQvProCell*>(FPro)) value = cells->GetValue();
    const bool noValue = value.IsEmpty() || value.IsNull() || (value.VarType() == varString && value.AsString().empty());
    try {
        if (FChosenClass->InheritsFrom(TQvCDateTime::StaticClass()))
            return Q(FormatDateTime(mask, noValue ? SampleDateTime() : value.AsDateTime()));
        if (FChosenClass->InheritsFrom(TQvCCurrency::StaticClass()))
            return Q(FormatCurr(mask, noValue ? Currency::FromScaled(12345678) : value.AsCurrency()));
        if (FChosenClass->InheritsFrom(TQvCNumber::StaticClass()))
            return Q(FormatFloat(mask, noValue ? SampleNumber : value.AsFloat()));
        return noValue ? QString() : Q(value.AsString());
    } catch (const std::exception& E) {
        return Q(E.what());
    }
}

void TQvCellDesigner::UpdateFormatSample() { FFormatSample->setText(FormatSampleText()); }

// --- Color page -----------------------------------------------------------

void TQvCellDesigner::ColorsChange() {
    FAutoColor->setChecked(FColors->ActiveIndex() < 0);
    UpdatePreviews();
    MarkChanged(itColor);
}

void TQvCellDesigner::AutoColorClick() {
    FColors->SetActiveIndex(-1);
    ColorsChange();
}

void TQvCellDesigner::ColorsDblClick() {
    const int index = FColors->ActiveIndex();
    if (index < 0) return;
    TColor c = FColors->SelectedColor();
    if (!ExecuteColorDialog(c, this)) return;
    FColors->SetPaletteColor(index, c);
    ColorsChange();
}

// --- Font page ------------------------------------------------------------

void TQvCellDesigner::FontChanged() {
    UpdatePreviews();
    MarkChanged(itFont);
}

void TQvCellDesigner::UpdatePreviews() {
    FPreviewFont.Assign(FFonts->SelFont());
    FPreviewFont.SetColor(FPanelTColor->Color());
    TFontStyles style = FPreviewFont.Style();
    if (FUnderline->isChecked()) style.Include(fsUnderline); else style.Exclude(fsUnderline);
    if (FStrikeout->isChecked()) style.Include(fsStrikeOut); else style.Exclude(fsStrikeOut);
    FPreviewFont.SetStyle(style);

    const TColor fill = FColors->SelectedColor();
    const QColor back = fill == clNone ? QColor(Qt::white) : ToQColor(fill);
    const QFont qfont = ToQFont(FPreviewFont);
    auto paint = [&](QLabel* Label, TColor Text) {
        Label->setFont(qfont);
        QPalette pal = Label->palette();
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::WindowText, ToQColor(Text));
        Label->setPalette(pal);
    };
    paint(FPanelPreview, FPanelTColor->Color());
    paint(FPanelError, FPanelEColor->Color());
}

// --- colour panels ----------------------------------------------------------

void TQvCellDesigner::DropDownPanel(TColorPanel* Panel) {
    FPopupTarget = Panel;
    FColors2->SelectColor(Panel->Color());
    FPopup->Popup(Panel->Button(), paRight);
}

void TQvCellDesigner::PopupColorChanged() {
    if (!FPopup->isVisible() || !FPopupTarget) return;
    // Dragging off the swatches chooses no colour; the panel keeps its own.
    const TColor c = FColors2->SelectedColor();
    if (c == clNone) return;
    FPopupTarget->SetColor(c);
    PanelExit(FPopupTarget);
}

void TQvCellDesigner::PanelExit(TColorPanel* Panel) {
    if (Panel == FPanelTColor) {
        FontChanged();
    } else if (Panel == FPanelEColor) {
        UpdatePreviews();
        MarkChanged(itBaseColors);
    } else if (Panel == FPanelLColor) {
        FLineColor = Panel->Color();
    } else if (Panel == FPanelGColor) {
        MarkChanged(itBaseColors);
    }
}

// --- Border page ----------------------------------------------------------

void TQvCellDesigner::SetLines(uint8_t Mask, bool On) {
    // Inner lines exist only where the set has more than one row or column
    // outside a merged range; elsewhere they would be drawn inside a merged
    // cell once it is split.
    if (!FLineButtons[liHInternal]->isEnabled()) Mask &= static_cast<uint8_t>(~(1u << liHInternal));
    if (!FLineButtons[liVInternal]->isEnabled()) Mask &= static_cast<uint8_t>(~(1u << liVInternal));
    const TQvLineInfo line = On ? TQvLineInfo{FLineStyle, FLineColor} : TQvLineInfo{lsNone, FLineColor};
    for (int i = 0; i < 8; ++i)
        if (Mask & (1u << i)) FLines[i] = line;
    FLinesTouched |= Mask;
    LinesToButtons();
    MarkChanged(itBorder);
}

void TQvCellDesigner::LinesToButtons() {
    for (int i = 0; i < 8; ++i) FLineButtons[i]->setChecked(FLines[i].Style != lsNone);
    FBordersBox->update();
}

void TQvCellDesigner::PreviewClick(int Index, bool Double) {
    const bool present = FLines[Index].Style != lsNone;
    SetLines(static_cast<uint8_t>(1u << Index), !(Double && present));
}

void TQvCellDesigner::SelectFrame(uint8_t Style) {
    FFrameStyle = Style;
    MarkChanged(itFrame);
}

// --- Based On page and "Merged" ------------------------------------------

void TQvCellDesigner::LBStylesClick() {
    QListWidgetItem* item = FLBStyles->currentItem();
    const auto* style = item ? static_cast<TQvStyle*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
    for (int i = 0; i < FCBStyleProps->count(); ++i)
        FCBStyleProps->item(i)->setCheckState(!style || style->Assigned().Has(i) ? Qt::Checked : Qt::Unchecked);
    MarkChanged(itStyle);
}

void TQvCellDesigner::MergedClick() {
    // Once clicked the box is a plain yes or no: merge or split.
    if (FMerged->isTristate()) {
        FMerged->setTristate(false);
        if (FMerged->checkState() == Qt::PartiallyChecked) FMerged->setCheckState(Qt::Checked);
    }
    MarkChanged(itMerged);
}

}  // namespace qv
