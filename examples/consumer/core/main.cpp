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

template <class T>
T* TypedCell(qv::TQvSheet& Sheet, int32_t X, int32_t Y) {
    return static_cast<T*>(Sheet.Sections(qv::skClient)->NeedCellOfClass({X, Y}, T::StaticClass()));
}

int main() {
    qv::TQvSheet sheet;
    sheet.SetCellValue(0, 0, qv::TVariant(std::string("Oak desk")));
    TypedCell<qv::TQvCInteger>(sheet, 1, 0)->SetAsInteger(42);
    auto* due = TypedCell<qv::TQvCDateTime>(sheet, 2, 0);
    due->SetAsDateTime(qv::EncodeDate(2024, 4, 2));
    due->SetFormat("yyyy-mm-dd");
    TypedCell<qv::TQvCBoolean>(sheet, 3, 0)->SetAsBoolean(true);
    qv::TMemoryStream csv;
    qv::TCsvOptions options;
    options.RawValues = true;
    qv::ExportCsv(sheet, csv, options);
    std::fwrite(csv.Memory(), 1, csv.Bytes().size(), stdout);
    return 0;
}
