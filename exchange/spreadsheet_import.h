// Reading one sheet of a spreadsheet file (".xlsx", ".ods") into a sheet.
//
// The file's sheet replaces what the sheet held: its cells, merged ranges,
// borders, fills and individual sizes go, and the counts become the extent
// of the data. Frozen rows and columns become title rows and columns, which
// stay in view as frozen panes do (the cells there go into the title
// sections, so the client section starts below and right of them).
//
// Values keep their types: numbers become integer cells (whole numbers that
// fit 32 bits) or double cells, text (shared, inline or rich, kept plain)
// string cells, booleans check boxes, dates and times (either date system)
// date/time cells, errors their text. Number formats are translated into the
// format language; a percentage, which that language cannot scale, becomes
// its display text, and other codes without an equivalent leave the value
// with the default format (counted in Warnings). Fonts other than the
// workbook's default, fills, the four border edges (style and colour),
// alignment, wrap, indent, merged ranges, column widths, row heights and
// hidden rows and columns go along, and comments become hints.
//
// Formulas: each cell shows the result the file cached, and the formula's
// text is handed back in the result (Formulas), for a formula engine to take
// over; the sheet itself has nowhere to keep it.
//
// Everything is read and checked before the sheet is touched. A damaged or
// hostile file (not a spreadsheet, a truncated package, members that would
// inflate past what any sheet needs, XML the parser refuses) raises
// EReadError naming the file and the fault, and leaves the sheet as it was;
// running out of memory while writing puts the sheet back first. Parts that
// point nowhere (a shared-string index or a style past its table, a cell
// past the rows and columns a file holds) are dropped and counted in
// Warnings; what is sound loads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class TQvSheet;

struct TSpreadsheetImportOptions {
    // The sheet to read: by name when not empty, else by number from 0.
    std::string SheetName;
    int32_t SheetIndex = 0;
};

// A formula of the file: the cell that holds it (the file's row and column
// from 0, titles included) and its text as the file wrote it, without '='.
// Cells of a shared formula after its first carry the group's number and
// an empty text; an array formula is given on its top-left cell.
struct TSpreadsheetFormula {
    int32_t Row = 0;
    int32_t Col = 0;
    std::string Text;
    int32_t SharedIndex = -1;
    bool Array = false;
};

struct TSpreadsheetImportResult {
    std::vector<std::string> SheetNames;  // every sheet of the workbook, in order
    std::string SheetName;                // the one read
    int32_t SheetIndex = 0;
    int32_t Rows = 0;  // the extent read, titles included
    int32_t Cols = 0;
    int64_t Cells = 0;  // cells made
    std::vector<TSpreadsheetFormula> Formulas;
    std::vector<std::string> Warnings;
};

// Name is what error messages call the input (a file name).
TSpreadsheetImportResult ImportSpreadsheet(TQvSheet& Sheet, std::string_view Bytes, const std::string& Name,
                                           const TSpreadsheetImportOptions& Options = {});
// Raises EFOpenError naming the file when it cannot be read.
TSpreadsheetImportResult ImportSpreadsheetFile(TQvSheet& Sheet, const std::string& FileName,
                                               const TSpreadsheetImportOptions& Options = {});

// True for the file names the import reads (".xlsx", ".ods", any case).
bool IsSpreadsheetFileName(const std::string& FileName);

}  // namespace qv
