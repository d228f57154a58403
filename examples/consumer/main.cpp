// A program built against an installed QvGrid: a grid over a small sheet
// with typed cells, its title cells numbered and lettered by the grid.
// With --check it paints the grid off screen, checks what the cells hold
// and exits (for scripts).
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "cells/boolean_cell.h"
#include "cells/date_time_cell.h"
#include "cells/integer_cell.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/variant.h"
#include "view/grid.h"

// The cell of class Class at client column X, row Y, made when there is none.
// A cell's class decides what it holds, how it shows it and which editor
// opens on it.
qv::TQvCell* Typed(qv::TQvSheet& Sheet, int32_t X, int32_t Y, qv::TQvCellClass Class) {
    return Sheet.Sections(qv::skClient)->NeedCellOfClass({X, Y}, Class);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qv::TQvSheet sheet;
    sheet.SetColCount(4);
    sheet.SetRowCount(10);
    // A value without a class makes a text cell.
    sheet.SetCellValue(0, 0, qv::TVariant(std::string("Oak desk")));
    Typed(sheet, 1, 0, qv::TQvCInteger::StaticClass())->SetAsInteger(42);
    qv::TQvCell* due = Typed(sheet, 2, 0, qv::TQvCDateTime::StaticClass());
    due->SetAsDateTime(qv::EncodeDate(2024, 4, 2));
    due->SetFormat("dd mmm yyyy");
    Typed(sheet, 3, 0, qv::TQvCBoolean::StaticClass())->SetAsBoolean(true);  // a check box

    qv::TQvGrid grid;
    // Column letters and row numbers in the title cells that hold no cell:
    // they follow inserted and removed rows, as stored text would not.
    grid.SetOptions(grid.Options() | qv::oAutoTitles);
    grid.SetSheet(&sheet);
    grid.resize(400, 240);
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0) {
        const bool ok = !grid.grab().isNull() && sheet.FindCell(1, 0)->AsInteger() == 42 &&
                        sheet.FindCell(2, 0)->GetText() == "02 Apr 2024" && sheet.FindCell(3, 0)->AsBoolean();
        if (!ok) std::fprintf(stderr, "consumer: the cells do not hold what was put in them\n");
        return ok ? 0 : 1;
    }
    grid.show();
    return app.exec();
}
