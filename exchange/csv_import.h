// Reading CSV text into a sheet.
//
// Each record becomes a row and each field a cell of the client quadrant,
// starting at Origin. A field's cell class follows its text the way a
// spreadsheet decides it: integers, decimal numbers and ISO dates become
// integer, double and date cells, everything else (and every empty field's
// absence) stays text. The sheet grows to the data; a record or field past
// the highest row or column a sheet can hold raises EReadError naming the
// line and column (a blank line is a row like any other), and leaves the
// sheet as it was. The whole input is read and checked before the sheet is
// touched; running out of memory while reading or while writing raises
// EReadError saying so, and the area written is put back first, so that a
// failed import never leaves part of its data behind.
//
// Cells already at positions the data covers are replaced; an empty field
// leaves its position empty. Blank lines are empty rows; ragged rows are
// fine. Invalid UTF-8 is replaced by U+FFFD and reported once in Warnings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/csv_options.h"
#include "platform/geometry.h"

namespace qv {

class TQvSheet;
class TStream;

struct TCsvImportResult {
    int32_t Rows = 0;  // records read
    int32_t Cols = 0;  // fields of the widest record
    int64_t Cells = 0;  // cells made (empty fields make none)
    std::vector<std::string> Warnings;
};

// Name is what error messages call the input (a file name).
TCsvImportResult ImportCsv(TQvSheet& Sheet, TStream& Stream, const TCsvOptions& Options = {},
                           const std::string& Name = "CSV data", TPoint Origin = {0, 0});
// Raises EFOpenError naming the file when it cannot be read.
TCsvImportResult ImportCsvFile(TQvSheet& Sheet, const std::string& FileName, const TCsvOptions& Options = {},
                               TPoint Origin = {0, 0});

}  // namespace qv
