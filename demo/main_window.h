// TForm1: the demonstration program's main window. A grid fills the window
// and shows a 50 x 50 sheet that uses a styler; double-clicking a column's
// or row's sizing edge in the titles gives it a fixed width or height.
//
// The window holds one document: the shown sheet and the file it came from
// (none for a new sheet). The File menu opens ".qvf" sheet files and CSV
// text, saves in the format the file name says, exports CSV, spreadsheet
// files and PDF and prints. The title shows the file's name and, while the
// sheet differs from the file, the modified mark; closing, New and Open ask
// first whether to save such changes.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "grids/sheet.h"
#include "grids/styler.h"
#include "view/grid.h"

namespace qv {

class TForm1 : public QMainWindow {
public:
    explicit TForm1(QWidget* Parent = nullptr);
    ~TForm1() override;

    // The form's components, under their stored names. The styler is
    // declared first so that it outlives the sheet using it.
    std::unique_ptr<TQvStyler> QvStyler;
    std::unique_ptr<TQvSheet> Sheet;
    TQvGrid* QvGrid = nullptr;
    QAction* Edit1 = nullptr;
    QAction* Close1 = nullptr;
    // The File menu.
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* ExportCsv1 = nullptr;
    QAction* ExportXlsx1 = nullptr;
    QAction* ExportPdf1 = nullptr;
    QAction* Print1 = nullptr;

    // Event handlers.
    // Opens the sheet designer on the grid's sheet.
    void Edit1Click();
    void QvGridColDblClick(TObject* Sender, TPoint ACoord);
    void QvGridRowDblClick(TObject* Sender, TPoint ACoord);
    void Close1Click();
    // Opens the style designer on the styler. No control raises it.
    void Styler1Click();
    // Frees the sheet: the grid then shows no sheet. No control raises it.
    void Remove1Click();

    // The File menu's commands. Each that replaces or writes the document
    // returns whether it did; a cancelled question or dialog answers false.
    bool New1Click();
    bool Open1Click();
    bool Save1Click();
    bool SaveAs1Click();
    bool ExportCsv1Click();
    bool ExportXlsx1Click();
    bool ExportPdf1Click();
    void Print1Click();

    // The document's file; empty for a sheet never saved.
    const QString& FileName() const { return FFileName; }
    // Whether the sheet holds changes its file does not: the sheet's own
    // flag, or steps taken since the last save or load.
    bool IsModified() const;

    // Reads FileName (".csv": CSV text, anything else: a sheet file) into a
    // new sheet that then replaces the shown one. Raises the reader's
    // exception, which names the file and the fault; the shown sheet is
    // untouched then.
    void LoadFile(const QString& FileName);
    // LoadFile without asking about unsaved changes; a failure is shown in
    // a message naming the file and the reason, and changes nothing.
    bool OpenFile(const QString& FileName);
    // Writes the sheet to FileName (".csv": CSV text, anything else: a
    // sheet file), which becomes the document's file. A failure is shown
    // in a message and leaves the document's name and mark as they were.
    bool SaveFile(const QString& FileName);
    // When the sheet holds unsaved changes, asks Save / Discard / Cancel
    // (a modal box over the window). True when the caller may go on: the
    // changes were saved, or discarded, or there were none.
    bool MaySave();

protected:
    void showEvent(QShowEvent* E) override;
    void closeEvent(QCloseEvent* E) override;

private:
    enum TExportKind { ekCsv, ekXlsx, ekPdf };

    // A sheet with the demonstration program's settings: 50 x 50, one
    // title column and row, the form's sizes, its styler.
    std::unique_ptr<TQvSheet> MakeSheet() const;
    // Shows NewSheet in the grid, frees the old one and names the document.
    void InstallSheet(std::unique_ptr<TQvSheet> NewSheet, const QString& FileName);
    // Writes what the open editor holds into its cell, so that saving and
    // the question before closing see it; the editor stays open.
    void CommitEdit();
    bool Export(TExportKind Kind);
    void UpdateTitle();
    // A message box naming the failed action's file and the reason.
    void ShowError(const QString& Action, const QString& FileName, const std::string& Reason);

    QString FFileName;
    bool FSized = false;
};

}  // namespace qv
