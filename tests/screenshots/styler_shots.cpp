// The style designer over a styler with two styles, the second chosen as a
// user clicks it: its properties are being edited and " Includes " shows
// what it defines.
#include "designer/pick_box.h"
#include "designer/styler_designer.h"
#include "designer_shots.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/font.h"

namespace qv {

void WriteStylerShots(const QString& Folder) {
    TQvStyler styler;
    styler.SetName("QvStyler1");
    TQvStyle* heading = styler.AddStyle("Heading");
    heading->Font()->SetStyle({fsBold});
    TQvStyle* money = styler.AddStyle("Money");
    money->SetHAlign(1);
    money->SetColor(RGB(255, 255, 200));

    TQvStylerDesigner dialog;
    dialog.SetStyler(&styler);
    dialog.StylesBox()->SetItemIndex(1);
    dialog.StylesChange();
    SaveShot(dialog, Folder, QStringLiteral("styler_designer.png"));
}

}  // namespace qv
