// Writing a sheet as a spreadsheet file (".xlsx").
//
// The title rows and columns come first and stay frozen; the client cells
// follow. Values keep their types: numbers and dates go out as numbers with
// their display format translated (see xlsx_formats.h), or as their display
// text where the format has no equivalent; check boxes as booleans, text and
// pick lists as text. Each cell takes its font, fill, four border edges
// (style and colour), alignment, indent and wrap; merged ranges, column
// widths, row heights and hidden columns and rows go along. Pictures held
// as bitmaps are placed as images over their cells; hints become comments.
//
// The file is written beside its final name and renamed only when complete.
#pragma once

#include <string>

#include "exchange/csv_options.h"

namespace qv {

class TQvSheet;

struct TXlsxOptions {
    std::string SheetName = "Sheet1";
    // Done of Total cells written.
    TCsvProgress Progress;
};

// Raises EWriteError naming the file and the fault (a cell past the rows or
// columns a spreadsheet file holds, a folder that cannot be written).
void ExportXlsx(TQvSheet& Sheet, const std::string& FileName, const TXlsxOptions& Options = {});

}  // namespace qv
