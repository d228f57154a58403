#include "demo/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <exception>

#include "designer/file_dialog.h"
#include "designer/sheet_designer.h"
#include "designer/styler_designer.h"
#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/spreadsheet_import.h"
#include "exchange/xlsx_export.h"
#include "grids/undo_stack.h"
#include "platform/message_box.h"
#include "print/sheet_printer.h"

namespace qv {

namespace {

// The window's outer size, frame and title bar included.
constexpr int FormWidth = 667;
constexpr int FormHeight = 464;

const char* const SheetFilter = "QvGrid sheets (*.qvf)|*.qvf|CSV text (*.csv)|*.csv";

bool IsCsvName(const QString& FileName) { return QFileInfo(FileName).suffix().compare("csv", Qt::CaseInsensitive) == 0; }
bool IsSpreadsheetName(const QString& FileName) {
    return IsSpreadsheetFileName(QFile::encodeName(FileName).toStdString());
}

std::string LocalName(const QString& FileName) { return QFile::encodeName(FileName).toStdString(); }

}  // namespace

TForm1::TForm1(QWidget* Parent) : QMainWindow(Parent) {
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    resize(FormWidth, FormHeight);

    QMenu* file = menuBar()->addMenu("&File");
    const auto item = [this, file](QAction*& Action, const char* Text, const char* Name, auto Handler) {
        Action = file->addAction(Text);
        Action->setObjectName(Name);
        connect(Action, &QAction::triggered, this, [this, Handler]() { (this->*Handler)(); });
    };
    item(New1, "&New", "New", &TForm1::New1Click);
    New1->setShortcut(QKeySequence::New);
    item(Open1, "&Open...", "Open", &TForm1::Open1Click);
    Open1->setShortcut(QKeySequence::Open);
    item(Save1, "&Save", "Save", &TForm1::Save1Click);
    Save1->setShortcut(QKeySequence::Save);
    item(SaveAs1, "Save &As...", "SaveAs", &TForm1::SaveAs1Click);
    SaveAs1->setShortcut(QKeySequence::SaveAs);
    QMenu* exports = file->addMenu("&Export");
    file->addSeparator();
    item(Print1, "&Print...", "Print", &TForm1::Print1Click);
    Print1->setShortcut(QKeySequence::Print);
    // The export items live in their own menu.
    const auto exportItem = [this, exports](QAction*& Action, const char* Text, const char* Name, auto Handler) {
        Action = exports->addAction(Text);
        Action->setObjectName(Name);
        connect(Action, &QAction::triggered, this, [this, Handler]() { (this->*Handler)(); });
    };
    exportItem(ExportCsv1, "&CSV text...", "ExportCsv", &TForm1::ExportCsv1Click);
    exportItem(ExportXlsx1, "&Spreadsheet file (.xlsx)...", "ExportXlsx", &TForm1::ExportXlsx1Click);
    exportItem(ExportPdf1, "&PDF...", "ExportPdf", &TForm1::ExportPdf1Click);

    QMenu* edit = menuBar()->addMenu("&Edit");
    Edit1 = edit->addAction("&Sheet");
    Edit1->setObjectName("Sheet");
    connect(Edit1, &QAction::triggered, this, [this]() { Edit1Click(); });
    edit->addSeparator();
    Close1 = edit->addAction("&Close");
    Close1->setObjectName("Close");
    connect(Close1, &QAction::triggered, this, [this]() { Close1Click(); });

    QvStyler = std::make_unique<TQvStyler>();

    QvGrid = new TQvGrid(this);
    // No outer bevel, a single sunken border, the button-face colour.
    QvGrid->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QPalette pal = QvGrid->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    QvGrid->setPalette(pal);
    QvGrid->SetOptions(oTitleCols | oTitleRows | oVertLines | oHorzLines | oColSizing | oRowSizing | oDrawFocus |
                       oPermEdit | oRangeSelect | oTracking | oAutoTitles);
    QvGrid->OnColDblClick = [this](TObject* Sender, TPoint ACoord) { QvGridColDblClick(Sender, ACoord); };
    QvGrid->OnRowDblClick = [this](TObject* Sender, TPoint ACoord) { QvGridRowDblClick(Sender, ACoord); };
    QvGrid->OnStatus = [this](TObject*, const std::string& Text) {
        statusBar()->showMessage(QString::fromStdString(Text), 10000);
    };
    InstallSheet(MakeSheet(), QString());
    setCentralWidget(QvGrid);
    // Made now, so that the grid keeps its height when the first message
    // comes.
    statusBar();
    QvGrid->setFocus();
}

// The sheet goes before the grid (a child widget, destroyed by the window):
// the grid lets go of it on the way.
TForm1::~TForm1() = default;

std::unique_ptr<TQvSheet> TForm1::MakeSheet() const {
    auto sheet = std::make_unique<TQvSheet>();
    sheet->SetStyler(QvStyler.get());
    sheet->SetColCount(50);
    sheet->SetColDefWidth(60);
    sheet->SetColMaxWidth(200);
    sheet->SetRowCount(50);
    sheet->SetRowDefHeight(16);
    sheet->SetRowMaxHeight(20);
    sheet->SetTitleCols(1);
    sheet->SetTitleRows(1);
    sheet->SetReadOnly(false);
    sheet->SetModified(false);
    return sheet;
}

void TForm1::InstallSheet(std::unique_ptr<TQvSheet> NewSheet, const QString& FileName) {
    // The grid lets go of the old sheet before it is freed.
    QvGrid->SetSheet(NewSheet.get());
    Sheet = std::move(NewSheet);
    FFileName = FileName;
    Sheet->SetModified(false);
    Sheet->UndoStack().Clear();
    Sheet->UndoStack().SetClean();
    Sheet->OnModified = [this](TObject*) { UpdateTitle(); };
    Sheet->UndoStack().OnChange = [this](TObject*) { UpdateTitle(); };
    UpdateTitle();
}

bool TForm1::IsModified() const {
    // The undo stack is made on first use, hence the non-const access.
    return Sheet && (Sheet->Modified() || !const_cast<TQvSheet&>(*Sheet).UndoStack().IsClean());
}

void TForm1::UpdateTitle() {
    const QString name = FFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FFileName).fileName();
    // Qt adds the application's display name ("QvGrid Demo") where the
    // platform shows it in title bars.
    setWindowTitle(name + "[*]");
    setWindowModified(IsModified());
}

void TForm1::ShowError(const QString& Action, const QString& FileName, const std::string& Reason) {
    const std::string text = "Cannot " + Action.toStdString() + " " + LocalName(FileName) + ":\n" + Reason;
    ShowMessageBox(text, "TestQv", miError);
}

void TForm1::CommitEdit() {
    if (!QvGrid->Editing()) return;
    QvGrid->EndEdit();
    if (QvGrid->HasOption(oPermEdit)) QvGrid->BeginEdit();
}

void TForm1::showEvent(QShowEvent* E) {
    QMainWindow::showEvent(E);
    // The stored size is the outer one: take the frame the window system
    // added off the inside, once.
    if (FSized) return;
    FSized = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() > 0 || frame.height() > 0) resize(FormWidth - frame.width(), FormHeight - frame.height());
}

void TForm1::closeEvent(QCloseEvent* E) {
    if (MaySave()) E->accept();
    else E->ignore();
}

bool TForm1::MaySave() {
    CommitEdit();
    if (!IsModified()) return true;
    const QString name = FFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FFileName).fileName();
    QMessageBox box(QMessageBox::Warning, "TestQv", "Save the changes to " + name + "?",
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName("SaveChanges");
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save: return Save1Click();
        case QMessageBox::Discard: return true;
        default: return false;
    }
}

void TForm1::LoadFile(const QString& FileName) {
    std::unique_ptr<TQvSheet> sheet;
    if (IsCsvName(FileName)) {
        sheet = MakeSheet();
        ImportCsvFile(*sheet, LocalName(FileName));
    } else if (IsSpreadsheetName(FileName)) {
        // One sheet of the workbook, the first. It is no sheet file: Save
        // asks where to write one.
        sheet = MakeSheet();
        ImportSpreadsheetFile(*sheet, LocalName(FileName));
        InstallSheet(std::move(sheet), QString());
        return;
    } else {
        // A sheet file brings its own counts and sizes: it is read over a
        // sheet with the defaults, as it was written.
        sheet = std::make_unique<TQvSheet>();
        sheet->SetStyler(QvStyler.get());
        sheet->LoadFromFile(LocalName(FileName));
    }
    InstallSheet(std::move(sheet), QFileInfo(FileName).absoluteFilePath());
}

bool TForm1::OpenFile(const QString& FileName) {
    try {
        LoadFile(FileName);
    } catch (const std::exception& E) {
        ShowError("open", FileName, E.what());
        return false;
    }
    statusBar()->showMessage("Opened " + FileName, 5000);
    return true;
}

bool TForm1::SaveFile(const QString& FileName) {
    if (!Sheet) return false;
    CommitEdit();
    const bool modified = Sheet->Modified();
    try {
        if (IsCsvName(FileName)) ExportCsvFile(*Sheet, LocalName(FileName));
        else Sheet->SaveToFile(LocalName(FileName));
    } catch (const std::exception& E) {
        // Writing the sheet's data clears its flag before the file is
        // complete: a save that failed keeps the changes marked.
        Sheet->SetModified(modified);
        ShowError("save", FileName, E.what());
        return false;
    }
    FFileName = QFileInfo(FileName).absoluteFilePath();
    Sheet->SetModified(false);
    Sheet->UndoStack().SetClean();
    UpdateTitle();
    statusBar()->showMessage("Saved " + FileName, 5000);
    return true;
}

bool TForm1::New1Click() {
    if (!MaySave()) return false;
    InstallSheet(MakeSheet(), QString());
    return true;
}

bool TForm1::Open1Click() {
    if (!MaySave()) return false;
    TFileDialogOptions options;
    options.Kind = fdOpen;
    options.Title = "Open";
    options.Filter = QString(SheetFilter) + "|Spreadsheet files (*.xlsx;*.ods)|*.xlsx;*.ods|All files (*.*)|*";
    QString name;
    return ExecuteFileDialog(options, name, this) && OpenFile(name);
}

bool TForm1::Save1Click() {
    if (!Sheet) return false;
    if (FFileName.isEmpty()) return SaveAs1Click();
    return SaveFile(FFileName);
}

bool TForm1::SaveAs1Click() {
    if (!Sheet) return false;
    TFileDialogOptions options;
    options.Kind = fdSave;
    options.Title = "Save As";
    options.Filter = SheetFilter;
    options.DefaultExtension = "qvf";
    QString name = FFileName;
    if (!ExecuteFileDialog(options, name, this)) return false;
    return SaveFile(WithDefaultExtension(name, options.DefaultExtension));
}

bool TForm1::Export(TExportKind Kind) {
    if (!Sheet) return false;
    static const struct {
        const char* Title;
        const char* Filter;
        const char* Extension;
    } kinds[] = {{"Export CSV", "CSV text (*.csv)|*.csv", "csv"},
                 {"Export Spreadsheet File", "Spreadsheet files (*.xlsx)|*.xlsx", "xlsx"},
                 {"Export PDF", "PDF files (*.pdf)|*.pdf", "pdf"}};
    TFileDialogOptions options;
    options.Kind = fdSave;
    options.Title = kinds[Kind].Title;
    options.Filter = kinds[Kind].Filter;
    options.DefaultExtension = kinds[Kind].Extension;
    QString name;
    if (!FFileName.isEmpty()) {
        const QFileInfo info(FFileName);
        name = info.path() + "/" + info.completeBaseName() + "." + kinds[Kind].Extension;
    }
    if (!ExecuteFileDialog(options, name, this)) return false;
    name = WithDefaultExtension(name, options.DefaultExtension);
    CommitEdit();
    // An export writes a copy: the document keeps its file and its mark.
    try {
        switch (Kind) {
            case ekCsv: ExportCsvFile(*Sheet, LocalName(name)); break;
            case ekXlsx: ExportXlsx(*Sheet, LocalName(name)); break;
            case ekPdf: {
                TQvSheetPrinter printer(*Sheet);
                printer.Setup().AutoTitles = (QvGrid->Options() & oAutoTitles) != 0;
                printer.PrintToPdf(name);
                break;
            }
        }
    } catch (const std::exception& E) {
        ShowError("export to", name, E.what());
        return false;
    }
    statusBar()->showMessage("Exported " + name, 5000);
    return true;
}

bool TForm1::ExportCsv1Click() { return Export(ekCsv); }
bool TForm1::ExportXlsx1Click() { return Export(ekXlsx); }
bool TForm1::ExportPdf1Click() { return Export(ekPdf); }

void TForm1::Print1Click() {
    if (!Sheet) return;
    CommitEdit();
    TQvSheetPrinter printer(*Sheet);
    printer.Setup().AutoTitles = (QvGrid->Options() & oAutoTitles) != 0;
    QPrinter device(QPrinter::HighResolution);
    printer.ApplySetup(device);
    QPrintDialog dialog(&device, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!printer.Print(device)) ShowError("print", FFileName.isEmpty() ? "Untitled" : FFileName, "the printer cannot be painted");
}

// A size set by double click is a step of its own, as one set by dragging
// the edge: it can be taken back and marks the document modified.
void TForm1::QvGridColDblClick(TObject*, TPoint ACoord) {
    if (!Sheet) return;
    TQvUndoStep step(Sheet.get(), "Size");
    Sheet->SetSize(ACoord.X, axCols, 100);
}

void TForm1::QvGridRowDblClick(TObject*, TPoint ACoord) {
    if (!Sheet) return;
    TQvUndoStep step(Sheet.get(), "Size");
    Sheet->SetSize(ACoord.Y, axRows, 20);
}

void TForm1::Edit1Click() { EditSheet(QvGrid->Sheet(), this); }

void TForm1::Close1Click() { close(); }

void TForm1::Styler1Click() { EditStyles(QvStyler.get(), this); }

void TForm1::Remove1Click() {
    Sheet.reset();
    UpdateTitle();
}

}  // namespace qv
