// Pictures of each editor over a white background, for a person to look at:
// run with --gtest_also_run_disabled_tests; the PNGs go to /tmp.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "editors/qv_combobox.h"
#include "editors/qv_date_edit.h"
#include "editors/qv_edit.h"
#include "editors/qv_memo.h"
#include "editors/qv_num_edit.h"
#include "editors/qv_rich_edit.h"
#include "editors/qv_spin_num_edit.h"
#include "editors/qv_time_edit.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/string_list.h"

using namespace qv;

TEST(EditorShots, DISABLED_EachEditorOverWhite) {
    TQvSheet sheet;
    TQvSection* s = sheet.Sections(skClient);
    auto* text = s->NeedCellOfClass({0, 0}, TQvCString::StaticClass());
    text->SetAsString("Hello, grid");
    auto* lines = s->NeedCellOfClass({1, 0}, TQvCString::StaticClass());
    lines->SetAsString("first line\r\nsecond line\r\nthird line");
    auto* money = s->NeedCellOfClass({2, 0}, TQvCCurrency::StaticClass());
    money->SetFormat("#,##0.00");
    money->SetAsFloat(1234.5);
    auto* when = s->NeedCellOfClass({3, 0}, TQvCDateTime::StaticClass());
    when->SetAsDateTime(45000.75);
    auto* pick = static_cast<TQvCStrings*>(s->NeedCellOfClass({4, 0}, TQvCStrings::StaticClass()));
    pick->Items()->SetText("red\r\ngreen\r\nblue");
    pick->SetAsInteger(1);

    QWidget page;
    page.setAutoFillBackground(true);
    QPalette p = page.palette();
    p.setColor(QPalette::Window, Qt::white);
    page.setPalette(p);
    page.resize(260, 330);
    page.show();
    int y = 8;
    auto place = [&](QWidget* w, TQvCell* c, int h, TQvLayout l = {}) {
        w->setGeometry(8, y, 160, h);
        if (auto* li = dynamic_cast<IQvLayout*>(w)) li->SetLayout(l);
        dynamic_cast<IQvEditor*>(w)->LoadCell(c, clRed);
        w->show();
        y += w->height() + 8;
    };
    TQvLayout right;
    right.HAlign = haRight;
    TQvLayout indented;
    indented.Indent = 6;
    place(new TQvEdit(&page), text, 17, indented);
    place(new TQvMemo(&page), lines, 50);
    place(new TQvRichEdit(&page), lines, 17, right);
    place(new TQvNumEdit(&page), money, 17, right);
    place(new TQvSpinNumEdit(&page), money, 17, right);
    auto* bad = new TQvNumEdit(&page);
    place(bad, money, 17);
    bad->selectAll();
    bad->insert("12x");
    place(new TQvDateEdit(&page), when, 22);
    place(new TQvTimeEdit(&page), when, 22);
    place(new TQvCombobox(&page), pick, 22);
    QApplication::processEvents();
    page.grab().scaled(page.size() * 2).save("/tmp/qv_editors.png");
}
