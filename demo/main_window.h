// TForm1: the demonstration program's main window. A grid fills the window
// and shows a 50 x 50 sheet that uses a styler; double-clicking a column's
// or row's sizing edge in the titles gives it a fixed width or height.
#pragma once

#include <QMainWindow>
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

protected:
    void showEvent(QShowEvent* E) override;

private:
    bool FSized = false;
};

}  // namespace qv
