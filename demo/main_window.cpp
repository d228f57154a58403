#include "demo/main_window.h"

#include <QMenuBar>

#include "designer/sheet_designer.h"
#include "designer/styler_designer.h"

namespace qv {

namespace {

// The window's outer size, frame and title bar included.
constexpr int FormWidth = 667;
constexpr int FormHeight = 464;

}  // namespace

TForm1::TForm1(QWidget* Parent) : QMainWindow(Parent) {
    setWindowTitle("Form1");
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    resize(FormWidth, FormHeight);

    QMenu* edit = menuBar()->addMenu("&Edit");
    Edit1 = edit->addAction("&Sheet");
    Edit1->setObjectName("Sheet");
    connect(Edit1, &QAction::triggered, this, [this]() { Edit1Click(); });
    edit->addSeparator();
    Close1 = edit->addAction("&Close");
    Close1->setObjectName("Close");
    connect(Close1, &QAction::triggered, this, [this]() { Close1Click(); });

    QvStyler = std::make_unique<TQvStyler>();
    Sheet = std::make_unique<TQvSheet>();
    Sheet->SetStyler(QvStyler.get());
    Sheet->SetColCount(50);
    Sheet->SetColDefWidth(60);
    Sheet->SetColMaxWidth(200);
    Sheet->SetRowCount(50);
    Sheet->SetRowDefHeight(16);
    Sheet->SetRowMaxHeight(20);
    Sheet->SetTitleCols(1);
    Sheet->SetTitleRows(1);
    Sheet->SetReadOnly(false);

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
    QvGrid->SetSheet(Sheet.get());
    setCentralWidget(QvGrid);
    QvGrid->setFocus();
}

// The sheet goes before the grid (a child widget, destroyed by the window):
// the grid lets go of it on the way.
TForm1::~TForm1() = default;

void TForm1::showEvent(QShowEvent* E) {
    QMainWindow::showEvent(E);
    // The stored size is the outer one: take the frame the window system
    // added off the inside, once.
    if (FSized) return;
    FSized = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() > 0 || frame.height() > 0) resize(FormWidth - frame.width(), FormHeight - frame.height());
}

void TForm1::QvGridColDblClick(TObject*, TPoint ACoord) {
    if (Sheet) Sheet->SetSize(ACoord.X, axCols, 100);
}

void TForm1::QvGridRowDblClick(TObject*, TPoint ACoord) {
    if (Sheet) Sheet->SetSize(ACoord.Y, axRows, 20);
}

void TForm1::Edit1Click() { EditSheet(QvGrid->Sheet(), this); }

void TForm1::Close1Click() { close(); }

void TForm1::Styler1Click() { EditStyles(QvStyler.get(), this); }

void TForm1::Remove1Click() { Sheet.reset(); }

}  // namespace qv
