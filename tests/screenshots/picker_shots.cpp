// The pickers: the colour box alone with one swatch active, and a panel of
// every picker as a form shows them.
#include <QGridLayout>
#include <QLabel>
#include <QToolBar>

#include "designer/color_box.h"
#include "designer/color_tool_button.h"
#include "designer/font_boxes.h"
#include "designer/pick_box.h"
#include "designer_shots.h"

namespace qv {

void WritePickerShots(const QString& Folder) {
    {
        TColorBox box;
        box.resize(144, 133);
        box.SetActiveIndex(18);
        SaveShot(box, Folder, QStringLiteral("color_box.png"));
    }

    QWidget form;
    form.resize(460, 260);
    auto* grid = new QGridLayout(&form);

    auto* bar = new QToolBar(&form);
    auto* fill = new TColorToolButton(bar);
    fill->setText(QStringLiteral("Fill"));
    fill->setToolButtonStyle(Qt::ToolButtonTextOnly);
    fill->SetColor(RGB(255, 200, 0));
    fill->setMinimumSize(40, 26);
    bar->addWidget(fill);
    auto* text = new TColorToolButton(bar);
    text->setText(QStringLiteral("Text"));
    text->setToolButtonStyle(Qt::ToolButtonTextOnly);
    text->SetColor(RGB(255, 0, 0));
    text->setMinimumSize(40, 26);
    bar->addWidget(text);
    grid->addWidget(bar, 0, 0, 1, 3);

    auto* fontBox = new TFontBox(&form);
    auto* outlineBox = new TFontOutlineBox(&form);
    auto* sizeBox = new TFontSizeBox(&form);
    fontBox->SetOutlineBox(outlineBox);
    fontBox->SetSizeBox(sizeBox);
    TFont font;
    font.SetName("DejaVu Sans");
    font.SetStyle({fsBold, fsItalic});
    font.SetSize(12);
    fontBox->SetSelFont(font);
    grid->addWidget(new QLabel(QStringLiteral("Font"), &form), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Font style"), &form), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Size"), &form), 1, 2);
    grid->addWidget(fontBox, 2, 0);
    grid->addWidget(outlineBox, 2, 1);
    grid->addWidget(sizeBox, 2, 2);

    auto* simple = new TPickBox(&form, csSimple);
    for (const char* name : {"Heading", "Money", "Note", "Total"}) simple->AddItem(QString::fromLatin1(name));
    simple->SetItemIndex(1);
    grid->addWidget(simple, 3, 0);
    auto* fonts = new TFontBox(&form, csSimple);
    fonts->SelFont().SetName("DejaVu Serif");
    grid->addWidget(fonts, 3, 1, 1, 2);
    grid->setRowStretch(3, 1);
    SaveShot(form, Folder, QStringLiteral("pickers.png"));
}

}  // namespace qv
