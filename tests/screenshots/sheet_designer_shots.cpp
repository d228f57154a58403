// The sheet designer over the showcase sheet: as it opens, with the styles
// and hint bars on and a range selected, and with its colour pop-up open.
#include <QApplication>
#include <QToolButton>

#include "designer/color_tool_button.h"
#include "designer/popup_panel.h"
#include "designer/sheet_designer.h"
#include "designer_shots.h"
#include "grids/sheet.h"
#include "grids/styler.h"
#include "view/grid.h"

namespace qv {

void WriteSheetDesignerShots(const QString& Folder) {
    TQvStyler styler;
    styler.AddStyle("Heading");
    styler.AddStyle("Money");
    TQvSheet sheet;
    sheet.SetStyler(&styler);
    sheet.LoadFromFile(QV_SOURCE_DIR "/examples/showcase.qvf");

    TQvSheetDesigner designer;
    designer.SetSheet(&sheet);
    SaveShot(designer, Folder, QStringLiteral("sheet_designer.png"));

    designer.Button(QStringLiteral("Styles On / Off"))->click();
    designer.Button(QStringLiteral("Hints On / Off"))->click();
    TQvView* pane = designer.Grid()->Views(skClient);
    designer.Grid()->SetActiveView(pane);
    pane->SetCurrent({7, 7}, true, false);
    designer.Button(QStringLiteral("First Diagonal"))->click();
    designer.Button(QStringLiteral("Second Diagonal"))->click();
    pane->SetCurrent({1, 1}, true, false);
    pane->SelectRect({1, 1, 4, 5});
    SaveShot(designer, Folder, QStringLiteral("sheet_designer_bars.png"));

    designer.findChild<TColorToolButton*>(QStringLiteral("BCellColor"))->OnDropDown(nullptr);
    QApplication::processEvents();
    SaveShot(*designer.PopupColors(), Folder, QStringLiteral("sheet_designer_colors.png"));
    designer.PopupColors()->Close();
}

}  // namespace qv
