// A program built against an installed QvGrid without Qt: a sheet with
// typed cells, written as CSV text to standard output.
#include <cstdio>

#include "cells/boolean_cell.h"
#include "cells/date_time_cell.h"
#include "cells/integer_cell.h"
#include "exchange/csv_export.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/stream.h"
#include "platform/variant.h"

qv::TQvCell* Typed(qv::TQvSheet& Sheet, int32_t X, int32_t Y, qv::TQvCellClass Class) {
    return Sheet.Sections(qv::skClient)->NeedCellOfClass({X, Y}, Class);
}

int main() {
    qv::TQvSheet sheet;
    sheet.SetCellValue(0, 0, qv::TVariant(std::string("Oak desk")));
    Typed(sheet, 1, 0, qv::TQvCInteger::StaticClass())->SetAsInteger(42);
    qv::TQvCell* due = Typed(sheet, 2, 0, qv::TQvCDateTime::StaticClass());
    due->SetAsDateTime(qv::EncodeDate(2024, 4, 2));
    due->SetFormat("yyyy-mm-dd");
    Typed(sheet, 3, 0, qv::TQvCBoolean::StaticClass())->SetAsBoolean(true);
    qv::TMemoryStream csv;
    qv::TCsvOptions options;
    options.RawValues = true;
    qv::ExportCsv(sheet, csv, options);
    std::fwrite(csv.Memory(), 1, csv.Bytes().size(), stdout);
    return 0;
}
