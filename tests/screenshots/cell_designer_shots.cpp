// The Format Cells dialog: each page opened on a grid's selection that has
// borders, a fill, a merged range and a styler, and the dialog on the
// sheet's base client style.
#include <QApplication>
#include <QTabWidget>

#include "cells/double_cell.h"
#include "designer/cell_designer.h"
#include "designer_shots.h"
#include "grids/base_style.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/font.h"
#include "view/grid.h"

namespace qv {

namespace {

void WritePages(TQvCellDesigner& Dialog, const QString& Folder, const QString& Prefix) {
    QTabWidget* pages = Dialog.PageControl();
    for (int i = 0; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i)) continue;
        pages->setCurrentIndex(i);
        const QString name = pages->tabText(i).toLower().replace(' ', '_');
        SaveShot(Dialog, Folder, Prefix + name + ".png");
    }
}

}  // namespace

void WriteCellDesignerShots(const QString& Folder) {
    TQvSheet sheet;
    sheet.SetName("Sheet1");
    sheet.SetColCount(8);
    sheet.SetRowCount(8);
    TQvStyler styler;
    sheet.SetStyler(&styler);
    styler.AddStyle("Heading")->Font()->SetStyle({fsBold});
    TQvStyle* money = styler.AddStyle("Money");
    money->SetCellClass(TQvCDouble::StaticClass());
    money->SetFormat("#,##0.00");

    TQvGrid grid;
    grid.resize(400, 200);
    grid.SetSheet(&sheet);
    TQvSection* client = sheet.Sections(skClient);
    auto* top = static_cast<TQvCDouble*>(client->NeedCellOfClass({1, 1}, TQvCDouble::StaticClass()));
    top->SetAsFloat(1234.5678);
    top->SetFormat("0.00");
    top->Font()->SetName("Liberation Serif");
    top->Font()->SetSize(10);
    top->SetStyle(money);
    client->Merge({2, 2, 4, 3});

    TQvView* pane = grid.Views(skClient);
    pane->SetSelection({1, 1, 4, 3}, {1, 1}, nullptr);
    TQvSelection* sel = grid.Selection();
    sel->SetBorder(liLeft, {lsMedium, clNavy});
    sel->SetBorder(liTop, {lsMedium, clNavy});
    sel->SetBorder(liRight, {lsMedium, clNavy});
    sel->SetBorder(liBottom, {lsMedium, clNavy});
    sel->SetBorder(liVInternal, {lsSingle, clGray});
    sel->SetColor(RGB(255, 255, 146));
    sel->SetFrame(frFlatDown);
    pane->SetSelection({1, 1, 4, 3}, {1, 1}, nullptr);

    {
        TQvCellDesigner dialog;
        dialog.SetPro(sel);
        WritePages(dialog, Folder, "cell_designer_");
    }
    {
        TQvCellDesigner dialog;
        dialog.SetPro(sheet.BaseClientStyle());
        WritePages(dialog, Folder, "cell_designer_base_");
    }
}

}  // namespace qv
