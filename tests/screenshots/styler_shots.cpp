// The style designer over a styler with two styles, the second chosen as a
// user clicks it: the "Style" page with what the style defines under
// " Includes ", then each page after it showing the chosen style.
#include <QTabWidget>

#include "cells/double_cell.h"
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
    money->SetCellClass(TQvCDouble::StaticClass());
    money->SetFormat("#,##0.00");
    money->SetHAlign(1);
    money->SetColor(RGB(255, 255, 146));  // a swatch of the shown palette
    money->Font()->SetName("Liberation Serif");
    money->Font()->SetColor(clNavy);
    money->SetBorder(liBottom, {lsDouble, clNavy});

    TQvStylerDesigner dialog;
    dialog.SetStyler(&styler);
    dialog.StylesBox()->SetItemIndex(1);
    dialog.StylesChange();
    SaveShot(dialog, Folder, QStringLiteral("styler_designer.png"));

    QTabWidget* pages = dialog.PageControl();
    for (int i = 1; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i)) continue;
        pages->setCurrentIndex(i);
        const QString name = pages->tabText(i).toLower().replace(' ', '_');
        SaveShot(dialog, Folder, QStringLiteral("styler_designer_") + name + QStringLiteral(".png"));
    }
}

}  // namespace qv
