// Writing a sheet's client cells as CSV text.
//
// The used area is written: from the first client row and column to the
// last row and column that hold a cell inside the sheet's counts. Each cell
// gives its display text, or its raw value with Options.RawValues (see
// CellValueText); a field is quoted when it holds the separator, the quote
// character, a line end or blanks at either end, or starts with a byte-order
// mark. Lines end with CR LF.
#pragma once

#include <string>

#include "exchange/csv_options.h"

namespace qv {

class TQvSheet;
class TStream;

void ExportCsv(TQvSheet& Sheet, TStream& Stream, const TCsvOptions& Options = {});
// Writes a temporary file beside FileName and renames it over FileName only
// once it is complete: a failed export leaves any earlier file untouched.
void ExportCsvFile(TQvSheet& Sheet, const std::string& FileName, const TCsvOptions& Options = {});

}  // namespace qv
