// The sheet designer's commands: what its menus, tool buttons, colour
// pop-up, scale selector and hint bar do to the sheet and the selection.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <new>

#include "cells/picture_cell.h"
#include "designer/cell_designer.h"
#include "exchange/csv_import.h"
#include "exchange/spreadsheet_import.h"
#include "grids/base_style.h"
#include "designer/color_box.h"
#include "designer/color_tool_button.h"
#include "designer/font_boxes.h"
#include "designer/popup_panel.h"
#include "designer/sheet_designer.h"
#include "designer/styler_designer.h"
#include "grids/cell.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "platform/conversions.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "print/sheet_printer.h"
#include "view/grid.h"

namespace qv {

namespace {

int TagOf(const QObject* Object) { return Object->property("Tag").toInt(); }

std::string FileNameOf(const QString& Name) { return QFile::encodeName(Name).toStdString(); }

// The sum of the sizes From..To−1 of List as the grid scales them (each
// size truncated on its own).
int64_t ScaledSpan(const TQvSizeList& List, int32_t From, int32_t To, int Scale) {
    int64_t sum = 0;
    for (int32_t i = From; i < To; ++i) sum += int64_t(List.Size(i)) * Scale / 100;
    return sum;
}

}  // namespace

// --- state ----------------------------------------------------------------

TQvSheet* TQvSheetDesigner::Sheet() const { return FGrid->Sheet(); }

void TQvSheetDesigner::SetSheet(TQvSheet* Value) {
    if (Value != Sheet()) FGrid->SetSheet(Value);
    SheetChanged();
}

void TQvSheetDesigner::SheetChanged() {
    const bool has = Sheet() != nullptr;
    FEHint->setEnabled(has);
    FStandardBar->setVisible(has);
    FBordersBar->setVisible(has);
    FFormattingBar->setVisible(has);
    for (const QPointer<QObject>& c : FSheetCommands) {
        if (!c || c->property("Unoffered").toBool()) continue;
        if (auto* a = qobject_cast<QAction*>(c)) a->setEnabled(has);
        if (auto* w = qobject_cast<QWidget*>(c)) w->setEnabled(has);
    }
    // While the window shows a sheet, its undo stack keeps the Undo and
    // Redo items in step; the handler it had comes back afterwards.
    if (FUndoSheet != Sheet()) {
        if (FUndoSheet) FUndoSheet->UndoStack().OnChange = std::move(FOldUndoChange);
        FUndoSheet = Sheet();
        FOldUndoChange = nullptr;
        if (FUndoSheet) {
            FOldUndoChange = std::move(FUndoSheet->UndoStack().OnChange);
            FUndoSheet->UndoStack().OnChange = [this](TObject* Sender) {
                UpdateUndoItems();
                if (FOldUndoChange) FOldUndoChange(Sender);
            };
        }
    }
    UpdateUndoItems();
    FillStyles();
    UpdateSelProps();
    GridCurChanged();
}

void TQvSheetDesigner::UpdateUndoItems() {
    TQvUndoStack* stack = Sheet() ? &Sheet()->UndoStack() : nullptr;
    FUndo->setEnabled(stack && stack->CanUndo());
    FRedo->setEnabled(stack && stack->CanRedo());
    FUndo->setText(stack && stack->CanUndo() ? QStringLiteral("&Undo ") + QString::fromStdString(stack->UndoText())
                                             : QStringLiteral("&Undo"));
    FRedo->setText(stack && stack->CanRedo() ? QStringLiteral("&Redo ") + QString::fromStdString(stack->RedoText())
                                             : QStringLiteral("&Redo"));
}

void TQvSheetDesigner::UndoStep() {
    if (!Sheet()) return;
    Run([this] { FGrid->Undo(); }, QString());
    UpdateSelProps();
    GridCurChanged();
}

void TQvSheetDesigner::RedoStep() {
    if (!Sheet()) return;
    Run([this] { FGrid->Redo(); }, QString());
    UpdateSelProps();
    GridCurChanged();
}

// --- clipboard, inserting and removing --------------------------------------

void TQvSheetDesigner::CutCells() { FGrid->CutToClipboard(); }

void TQvSheetDesigner::CopyCells() { FGrid->CopyToClipboard(); }

void TQvSheetDesigner::PasteCells() {
    KeepSheetOnFailure([this] { FGrid->PasteFromClipboard(); });
}

bool TQvSheetDesigner::SelectedLines(TQvAxis Axis, int32_t& From, int32_t& To) const {
    TQvSelection* s = Sel();
    if (!s || !s->Section()) return false;
    const TQvSectionKind kind = s->Section()->Kind();
    const bool client = Axis == axCols ? kind == skColTitles || kind == skClient : kind == skRowTitles || kind == skClient;
    if (!client) return false;
    const TRect r = s->GetRect();
    From = Axis == axCols ? r.Left : r.Top;
    To = Axis == axCols ? r.Right : r.Bottom;
    return To > From;
}

void TQvSheetDesigner::InsertLines(TQvAxis Axis) {
    int32_t from = 0, to = 0;
    if (!SelectedLines(Axis, from, to)) {
        statusBar()->showMessage(Axis == axCols ? QStringLiteral("Select client columns to insert columns before them.")
                                                : QStringLiteral("Select client rows to insert rows before them."),
                                 8000);
        return;
    }
    FGrid->EndEdit();
    if (Axis == axCols)
        Sheet()->InsertCols(from, to - from);
    else
        Sheet()->InsertRows(from, to - from);
    UpdateSelProps();
}

void TQvSheetDesigner::RemoveLines(TQvAxis Axis) {
    int32_t from = 0, to = 0;
    if (!SelectedLines(Axis, from, to)) {
        statusBar()->showMessage(Axis == axCols ? QStringLiteral("Select client columns to remove them.")
                                                : QStringLiteral("Select client rows to remove them."),
                                 8000);
        return;
    }
    FGrid->EndEdit();
    const int32_t count = Axis == axCols ? Sheet()->ColCount() : Sheet()->RowCount();
    // Rows stored past the count are not shown; the selection may reach there.
    to = std::min(to, count);
    if (to <= from) return;
    if (Axis == axCols)
        Sheet()->RemoveCols(from, to - from);
    else
        Sheet()->RemoveRows(from, to - from);
    UpdateSelProps();
}

TQvSelection* TQvSheetDesigner::Sel() const { return FGrid->Selection(); }

QToolButton* TQvSheetDesigner::Button(const QString& Name) const { return findChild<QToolButton*>(Name); }

QAction* TQvSheetDesigner::Item(const QString& Name) const { return findChild<QAction*>(Name); }

QString TQvSheetDesigner::StatusText(int Panel) const { return FPanels[Panel]->text(); }

int64_t TQvSheetDesigner::ClearedLineSegments() const {
    int64_t n = 0;
    if (TQvSheet* sheet = Sheet())
        for (TQvSectionKind k : AllSectionKinds) n += sheet->Sections(k)->ClearedLineSegments();
    return n;
}

void TQvSheetDesigner::Run(const std::function<void()>& Command, const QString& Name, TStepScope Scope) {
    // No exception leaves a handler of the window: Qt's event loop cannot
    // carry one. What failed is named in the status bar and the message
    // service.
    QString failure;
    const int64_t clearedBefore = ClearedLineSegments();
    try {
        // Undo and redo run without a step of their own.
        TQvSelection* s = Sel();
        if (Name.isEmpty() || !Sheet() || Scope == ssNone) {
            Command();
        } else if (Scope == ssSelection && s && s->Section()) {
            // The selection's rectangle, widened by the step to the merged
            // ranges it meets: the command writes nothing else.
            TQvUndoStep step(Sheet(), Name.toStdString(), s->Section()->Kind(), {s->GetRect()});
            Command();
        } else if (Scope == ssCurrentCell) {
            const TPoint p = FGrid->CurrentCell();
            TPoint local;
            const TQvSectionKind kind = Sheet()->MapCoord(p.X, p.Y, local);
            TQvUndoStep step(Sheet(), Name.toStdString(), kind, {{local.X, local.Y, local.X + 1, local.Y + 1}});
            Command();
        } else {
            TQvUndoStep step(Sheet(), Name.toStdString());
            Command();
        }
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("Not enough memory");
    } catch (const std::exception& E) {
        failure = QString::fromStdString(E.what());
    } catch (...) {
        failure = QStringLiteral("Unknown error");
    }
    if (!failure.isEmpty()) {
        const QString command = Name.isEmpty() ? QStringLiteral("The command") : Name;
        statusBar()->showMessage(command + QStringLiteral(" failed: ") + failure, 15000);
        ShowMessageBox(failure.toStdString(), QApplication::applicationDisplayName().toStdString(), miError, mbOK);
        return;
    }
    // A merged range keeps no inner lines and one line per outer edge, so a
    // merge over mixed lines takes borders from the cells around it; the
    // user is told how many, and the command's undo step gives them back.
    if (const int64_t cleared = ClearedLineSegments() - clearedBefore; cleared > 0)
        statusBar()->showMessage(
            QStringLiteral("%1 cleared %2 border segment%3: a merged range keeps one line per edge. "
                           "Undo restores %4.")
                .arg(Name.isEmpty() ? QStringLiteral("The command") : Name)
                .arg(cleared)
                .arg(cleared == 1 ? QString() : QStringLiteral("s"))
                .arg(cleared == 1 ? QStringLiteral("it") : QStringLiteral("them")),
            15000);
}

void TQvSheetDesigner::KeepSheetOnFailure(const std::function<void()>& Command) {
    TQvSheet* sheet = Sheet();
    if (!sheet) return;
    // Taken before anything is read, so that a reader failing half-way
    // (out of memory included) puts the sheet back exactly; inside the
    // command's step this leaves the step empty, and so unrecorded.
    const TQvSheetSnapshot before = TakeSnapshot(*sheet);
    const bool modified = sheet->Modified();
    try {
        Command();
    } catch (...) {
        if (TakeSnapshot(*sheet) != before) {
            RestoreSnapshot(*sheet, before);
            sheet->SetModified(modified);
        }
        throw;
    }
}

// --- the selection's buttons -----------------------------------------------

void TQvSheetDesigner::UpdateSelProps() {
    TQvSelection* s = Sel();
    if (!s || FUpdating) return;
    FUpdating = true;
    // 1. Merging.
    const bool merge = !s->IsSingle();
    const bool split = s->HasUnions();
    Button(QStringLiteral("Merge"))->setEnabled(merge);
    Button(QStringLiteral("Split"))->setEnabled(split);
    Button(QStringLiteral("Merge to lines"))->setEnabled(merge || split);
    // 2. Font style.
    TFont* font = s->Font();
    for (const char* name : {"Bold", "Italic", "Underline"}) {
        QToolButton* b = Button(QString::fromLatin1(name));
        b->setChecked(font->Style().Contains(static_cast<TFontStyle>(TagOf(b))));
    }
    // 3. The font boxes show the font without writing it back.
    TNotifyEvent handler = std::move(FFontSelector->OnFontChange);
    FFontSelector->OnFontChange = nullptr;
    FFontSelector->SetSelFont(*font);
    FFontSelector->OnFontChange = std::move(handler);
    // 4. Alignment: 0 and 1 have their buttons, anything else is centred.
    const TQvLayout layout = s->Layout();
    const auto alignButton = [](uint8_t Code, const char* Low, const char* High, const char* Other) {
        return Code == 0 ? Low : Code == 1 ? High : Other;
    };
    Button(QString::fromLatin1(alignButton(layout.HAlign, "Left align", "Right align", "Center align")))
        ->setChecked(true);
    Button(QString::fromLatin1(alignButton(layout.VAlign, "Top align", "Bottom align", "Middle align")))
        ->setChecked(true);
    // 5. Colours.
    FBCellColor->SetColor(s->Color());
    FBTextColor->SetColor(font->Color());
    // 6. Protection and showing.
    Button(QStringLiteral("Protect"))->setChecked(s->Protected());
    Button(QStringLiteral("Hide"))->setChecked(!s->Showing());
    // 7. The style.
    const int index = FCBStyles->findData(QVariant::fromValue(static_cast<void*>(s->GetStyle())));
    FCBStyles->setCurrentIndex(s->GetStyle() ? index : 0);
    // The side and diagonal border buttons are down while the selection
    // has their line.
    for (const char* name :
         {"Left Border", "Right Border", "Top Border", "Bottom Border", "First Diagonal", "Second Diagonal"}) {
        QToolButton* b = Button(QString::fromLatin1(name));
        b->setChecked(s->Border(TagOf(b)).Style != lsNone);
    }
    FUpdating = false;
}

void TQvSheetDesigner::ApplyBorders(std::initializer_list<int> Lines, TQvLineInfo Line) {
    if (TQvSelection* s = Sel())
        for (int i : Lines) s->SetBorder(i, Line);
}

void TQvSheetDesigner::BorderClick(QToolButton* B) {
    ApplyBorders({TagOf(B)}, B->isChecked() ? FBorderLine : TQvLineInfo{lsNone, FBorderLine.Color});
}

void TQvSheetDesigner::FontStyleClick(QToolButton* B) {
    TQvSelection* s = Sel();
    if (!s) return;
    TFontStyles styles = s->Font()->Style();
    const auto member = static_cast<TFontStyle>(TagOf(B));
    s->Font()->SetStyle(B->isChecked() ? styles.Include(member) : styles.Exclude(member));
}

void TQvSheetDesigner::SelectFont() {
    if (TQvSelection* s = Sel()) s->SetFont(&FFontSelector->SelFont());
}

void TQvSheetDesigner::ClearCells() {
    if (FGrid->Editing()) return;
    if (TQvSelection* s = Sel()) s->Clear();
}

void TQvSheetDesigner::ClearBorders() {
    ApplyBorders({liLeft, liTop, liRight, liBottom, liBias1, liBias2, liHInternal, liVInternal}, {lsNone, clNone});
}

void TQvSheetDesigner::ClearColors() {
    if (TQvSelection* s = Sel()) s->SetColor(clNone);
}

void TQvSheetDesigner::ClearAll() {
    ClearBorders();
    ClearColors();
    ClearCells();
}

// --- dialogs on the selection and the styles --------------------------------

void TQvSheetDesigner::EditSelection() {
    if (TQvSelection* s = Sel()) EditCells(s, this);
    UpdateSelProps();
}

void TQvSheetDesigner::BaseStyleClick() {
    TQvSelection* s = Sel();
    if (!s) return;
    const bool client = s->Section() && s->Section()->Kind() == skClient;
    EditCells(client ? Sheet()->BaseClientStyle() : Sheet()->BaseTitleStyle(), this);
}

void TQvSheetDesigner::EditStylesClick() {
    if (!Sheet() || !Sheet()->Styler()) return;
    EditStyles(Sheet()->Styler(), this);
    FillStyles();
    UpdateSelProps();
}

void TQvSheetDesigner::FillStyles() {
    FCBStyles->clear();
    FCBStyles->addItem(QStringLiteral("[Default]"));
    TQvStyler* styler = Sheet() ? Sheet()->Styler() : nullptr;
    if (!styler) return;
    for (int i = 0; i < styler->Count(); ++i) {
        TQvStyle* style = styler->Styles(i);
        FCBStyles->addItem(QString::fromStdString(style->Name()), QVariant::fromValue(static_cast<void*>(style)));
    }
}

void TQvSheetDesigner::CBStylesClick() {
    if (TQvSelection* s = Sel()) ApplyStyle(*s, static_cast<TQvStyle*>(FCBStyles->currentData().value<void*>()));
    FGrid->setFocus();
}

// --- colours ----------------------------------------------------------------

void TQvSheetDesigner::ColorsPopup(TColorToolButton* B) {
    FColors->SelectColor(B->Color());
    FPopupColors->Popup(B, paRight);
}

void TQvSheetDesigner::ColorsChange() {
    if (!FPopupColors->isVisible()) return;
    if (auto* b = qobject_cast<TColorToolButton*>(FPopupColors->PopupControl())) b->SetColor(FColors->SelectedColor());
}

void TQvSheetDesigner::ColorsClick() {
    if (auto* b = qobject_cast<TColorToolButton*>(FPopupColors->PopupControl())) {
        b->SetColor(FColors->SelectedColor());
        Run([this, b] { ColorButtonClick(b); }, QStringLiteral("Format"), ssSelection);
    }
    FPopupColors->Close();
}

void TQvSheetDesigner::ColorButtonClick(TColorToolButton* B) {
    if (B == FBBorderColor) {
        FBorderLine.Color = B->Color();
        return;
    }
    TQvSelection* s = Sel();
    if (!s) return;
    if (B == FBTextColor)
        s->Font()->SetColor(B->Color());
    else if (B == FBCellColor)
        s->SetColor(B->Color());
}

// --- scale ------------------------------------------------------------------

void TQvSheetDesigner::SetScaleText(int Scale) {
    // The list highlights the line the box reads, or none.
    const QString text = QString::number(Scale) + '%';
    const int line = FScaleSelector->findText(text);
    FScaleSelector->setCurrentIndex(line);
    if (line < 0) FScaleSelector->setEditText(text);
}

void TQvSheetDesigner::SelectScale() {
    if (FSelectingScale) return;
    FSelectingScale = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FSelectingScale};
    QString text = FScaleSelector->currentText();
    text.remove(QLatin1Char('%'));
    // A text that is not a number raises here, before anything changed.
    int scale = text.trimmed() == QLatin1String("Fit Selection") ? FitSelectionScale() : StrToInt(text.toStdString());
    scale = std::clamp(scale, TQvGrid::MinScale, TQvGrid::MaxScale);
    FGrid->SetScale(scale);
    SetScaleText(FGrid->Scale());
    FGrid->setFocus();
}

int TQvSheetDesigner::FitSelectionScale() const {
    TQvSelection* s = Sel();
    TQvView* pane = FGrid->ActiveView();
    if (!s || !pane || !s->Section()) return FGrid->Scale();
    const TRect r = s->GetRect();
    const TQvSectionKind kind = s->Section()->Kind();
    const bool clientCols = kind == skColTitles || kind == skClient;
    const bool clientRows = kind == skRowTitles || kind == skClient;
    const TQvView* corner = FGrid->Views(skCorner);
    // The room the panes have: titles plus the cells beside them.
    const int64_t roomW = pane->width() + (clientCols ? corner->width() : 0);
    const int64_t roomH = pane->height() + (clientRows ? corner->height() : 0);
    const TQvSheet* sheet = Sheet();
    const TQvSizeList& cols = *sheet->Sizes(axCols, clientCols ? spClient : spTitle);
    const TQvSizeList& rows = *sheet->Sizes(axRows, clientRows ? spClient : spTitle);
    const TQvSizeList& titleCols = *sheet->Sizes(axCols, spTitle);
    const TQvSizeList& titleRows = *sheet->Sizes(axRows, spTitle);
    const int32_t nTitleCols = clientCols && corner->width() > 0 ? titleCols.Count() : 0;
    const int32_t nTitleRows = clientRows && corner->height() > 0 ? titleRows.Count() : 0;
    const auto fits = [&](int Scale) {
        return ScaledSpan(titleCols, 0, nTitleCols, Scale) + ScaledSpan(cols, r.Left, r.Right, Scale) <= roomW &&
               ScaledSpan(titleRows, 0, nTitleRows, Scale) + ScaledSpan(rows, r.Top, r.Bottom, Scale) <= roomH;
    };
    // Each size is truncated on its own, so the sums are at most the
    // unrounded spans: the first guess always fits; larger scales may too.
    const int64_t needW = titleCols.Span(0, nTitleCols) + cols.Span(r.Left, r.Right);
    const int64_t needH = titleRows.Span(0, nTitleRows) + rows.Span(r.Top, r.Bottom);
    int64_t guess = TQvGrid::MaxScale;
    if (needW > 0) guess = std::min(guess, roomW * 100 / needW);
    if (needH > 0) guess = std::min(guess, roomH * 100 / needH);
    int scale = static_cast<int>(std::clamp<int64_t>(guess, TQvGrid::MinScale, TQvGrid::MaxScale));
    // Only worth the walk for selections of a reasonable size.
    if (int64_t(r.Width()) + r.Height() <= 100000)
        while (scale < TQvGrid::MaxScale && fits(scale + 1)) ++scale;
    return scale;
}

// --- hint bar -----------------------------------------------------------------

void TQvSheetDesigner::GridCurChanged() {
    QString text;
    if (Sheet()) {
        const TPoint p = FGrid->CurrentCell();
        if (const TQvCell* cell = Sheet()->FindCell(p.X, p.Y)) text = QString::fromStdString(cell->GetHint());
    }
    // Showing the current cell's hint is no edit: it makes no cell and
    // records no step (which would cost the steps that could be redone).
    const QSignalBlocker quiet(FEHint);
    FEHint->setText(text);
}

void TQvSheetDesigner::EHintChange() {
    if (!Sheet()) return;
    const TPoint p = FGrid->CurrentCell();
    const std::string text = FEHint->text().toStdString();
    // An empty hint on a position without a cell is already so.
    TQvCell* cell = text.empty() ? Sheet()->FindCell(p.X, p.Y) : Sheet()->NeedCell(p.X, p.Y);
    if (cell && cell->GetHint() != text) cell->SetHint(text);
}

// --- files and pictures -----------------------------------------------------------

const TFileDialogOptions& TQvSheetDesigner::OpenDialogOptions() {
    static const TFileDialogOptions options{fdOpen, QStringLiteral("Import Qv File"),
                                            QStringLiteral("Qv File (*.qvf)|*.qvf|Spreadsheet files (*.xlsx;*.ods)|"
                                                           "*.xlsx;*.ods|CSV text (*.csv)|*.csv"),
                                            QStringLiteral("qvf")};
    return options;
}

const TFileDialogOptions& TQvSheetDesigner::SaveDialogOptions() {
    static const TFileDialogOptions options{fdSave, QStringLiteral("Export Qv File"),
                                      QStringLiteral("Qv Files (*.qvf)|*.qvf"), QStringLiteral("qvf")};
    return options;
}

const TFileDialogOptions& TQvSheetDesigner::BackgroundDialogOptions() {
    static const TFileDialogOptions options{
        fdOpen, QStringLiteral("Open Background Image"),
        QStringLiteral("All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                       "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
                       "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"),
        QString()};
    return options;
}

void TQvSheetDesigner::ImportSheet() {
    QString name;
    if (!Sheet() || !ExecuteFileDialog(OpenDialogOptions(), name, this)) return;
    const std::string file = FileNameOf(name);
    // Spreadsheet files and CSV text are imported; anything else is a sheet file.
    const bool csv = QFileInfo(name).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    KeepSheetOnFailure([&] {
        if (IsSpreadsheetFileName(file))
            ImportSpreadsheetFile(*Sheet(), file);
        else if (csv)
            ImportCsvFile(*Sheet(), file);
        else
            Sheet()->LoadFromFile(file);
    });
    FillStyles();
    UpdateSelProps();
    GridCurChanged();
}

void TQvSheetDesigner::ExportSheet() {
    QString name;
    if (!Sheet() || !ExecuteFileDialog(SaveDialogOptions(), name, this)) return;
    Sheet()->SaveToFile(FileNameOf(name));
}

void TQvSheetDesigner::PrintSheet() {
    if (!Sheet()) return;
    QPrinter printer(QPrinter::HighResolution);
    TQvSheetPrinter sheetPrinter(*Sheet());
    sheetPrinter.Setup().AutoTitles = FGrid && (FGrid->Options() & oAutoTitles) != 0;
    sheetPrinter.ApplySetup(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) sheetPrinter.Print(printer);
}

void TQvSheetDesigner::PreviewSheet() {
    if (!Sheet()) return;
    TQvSheetPrinter sheetPrinter(*Sheet());
    sheetPrinter.Setup().AutoTitles = FGrid && (FGrid->Options() & oAutoTitles) != 0;
    sheetPrinter.Preview(this);
}

void TQvSheetDesigner::OpenBackground() {
    QString name;
    const bool chosen = Sheet() && ExecuteFileDialog(BackgroundDialogOptions(), name, this);
    FRemoveBackground->setEnabled(true);
    if (!chosen) return;
    // Read the file whole first: a file that fails leaves the background.
    TPicture picture;
    picture.LoadFromFile(FileNameOf(name));
    Sheet()->SetBackground(&picture);
}

void TQvSheetDesigner::RemoveBackground() {
    if (Sheet()) Sheet()->SetBackground(nullptr);
    FRemoveBackground->setEnabled(false);
}

void TQvSheetDesigner::InsertImage1Click() {
    QString name;
    TQvSelection* s = Sel();
    if (!s || !ExecuteFileDialog(BackgroundDialogOptions(), name, this)) return;
    // The picture is read before anything changes, so a file that cannot be
    // read leaves the cells as they were.
    TPicture picture;
    picture.LoadFromFile(FileNameOf(name));
    KeepSheetOnFailure([&] { PlacePicture(picture); });
}

void TQvSheetDesigner::PlacePicture(const TPicture& Picture) {
    TQvSelection* s = Sel();
    s->Merge();
    s->SetCellClass(TQvCPicture::StaticClass());
    const TPoint p = FGrid->CurrentCell();
    TQvCell* cell = Sheet()->NeedCell(p.X, p.Y);
    if (auto* target = dynamic_cast<TPicture*>(cell ? cell->AsObject() : nullptr)) target->Assign(&Picture);
}

void TQvSheetDesigner::AboutDesigner() {
    ShowMessageBox("QvSheet Designer 1.0 BETA 2\n\n"
                   "Formats and fills QvGrid sheets.\n"
                   "Built with Qt " QT_VERSION_STR ".",
                   "QvGrid Components", miWarning, mbOK);
}

}  // namespace qv
