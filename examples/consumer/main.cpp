// A program built against an installed QvGrid: a grid over a small sheet.
// With --check it paints the grid off screen and exits (for scripts).
#include <QApplication>
#include <cstring>

#include "grids/sheet.h"
#include "platform/variant.h"
#include "view/grid.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qv::TQvSheet sheet;
    sheet.SetColCount(4);
    sheet.SetRowCount(10);
    sheet.SetCellValue(0, 0, qv::TVariant(std::string("Hello from a consumer")));
    sheet.SetCellValue(1, 1, qv::TVariant(int32_t(42)));
    qv::TQvGrid grid;
    grid.SetSheet(&sheet);
    grid.resize(400, 240);
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0) return grid.grab().isNull() ? 1 : 0;
    grid.show();
    return app.exec();
}
