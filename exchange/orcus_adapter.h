// What a spreadsheet file's parser reports, gathered as plain values before
// any sheet is touched: the styles of the workbook, its shared strings, and
// the cells, sizes, merged ranges, frozen panes and formulas of the one
// sheet chosen. The parser's callbacks only record; checking and translating
// happen when the sheet is written (spreadsheet_import.cpp).
//
// Positions are the file's own: row and column from 0. Nothing is ever
// allocated by a size the file claims (its dimension, a count of styles):
// only by what it actually holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_time.h"

namespace qv {

// Colours as 0xRRGGBB; -1 for none.
struct TStagedFont {
    std::string Name;
    double Points = 0;
    bool Bold = false, Italic = false, Underline = false, Strike = false;
    int32_t Color = -1;
};

struct TStagedEdge {
    uint8_t Style = 0;  // a TQvLineStyle
    int32_t Color = -1;
};

// Left, top, right, bottom.
struct TStagedBorder {
    TStagedEdge Edges[4];
};

struct TStagedXf {
    size_t Font = 0, Fill = 0, Border = 0, NumFormat = 0;
    int8_t HAlign = -1, VAlign = -1;  // a TQvHAlign / TQvVAlign, or -1 for the default
    bool Wrap = false;
    uint16_t Indent = 0;  // levels
};

enum TStagedKind : uint8_t { scNone, scNumber, scText, scBool, scDate, scError };

// One position of the sheet. Text is an index into the book's strings
// (shared strings first, then the texts the sheet held itself); it may be
// out of range in a damaged file, which the writer reports.
struct TStagedCell {
    int32_t Row = 0, Col = 0;
    uint32_t Xf = UINT32_MAX;  // UINT32_MAX: no format of its own
    TStagedKind Kind = scNone;
    bool HasFormula = false;
    double Number = 0;  // numbers, booleans (0 or 1), dates (as TDateTime)
    uint32_t Text = 0;
};

struct TStagedSize {
    int32_t Index = 0;
    double Pixels = -1;  // -1: the default
    bool Hidden = false;
};

struct TStagedFormula {
    int32_t Row = 0, Col = 0;
    std::string Text;  // as the file wrote it, without a leading '='
    int32_t SharedIndex = -1;  // a shared formula's group, the text given on its first cell only
    bool Array = false;
};

struct TStagedRange {
    int32_t Top = 0, Left = 0, Bottom = 0, Right = 0;  // inclusive, as the file gives them
};

struct TStagedBook {
    // The sheets of the workbook, in order; Chosen is the one staged (-1 none yet).
    std::vector<std::string> SheetNames;
    int32_t Chosen = -1;
    bool Date1904 = false;
    TDateTime Origin = 0;  // day 0 of the file's serial numbers

    std::vector<TStagedFont> Fonts;
    std::vector<int32_t> Fills;  // colour of each fill, -1 for none
    std::vector<TStagedBorder> Borders;
    // Number formats by id (what an xf names), with their codes.
    std::vector<std::pair<size_t, std::string>> NumFormats;
    std::vector<TStagedXf> Xfs;

    std::vector<std::string> Strings;
    size_t SharedStrings = 0;  // how many of Strings the shared-string part gave

    std::vector<TStagedCell> Cells;  // in the order reported
    std::vector<TStagedSize> ColSizes, RowSizes;
    std::vector<TStagedRange> Merges;
    int32_t FrozenCols = 0, FrozenRows = 0;
    std::vector<TStagedFormula> Formulas;
    // Positions past the rows and columns a spreadsheet file holds, dropped.
    int64_t OutOfRange = 0;
    // Dates that name no day of the calendar, dropped.
    int64_t BadDates = 0;
};

enum TSpreadsheetKind : uint8_t { sfUnknown, sfXlsx, sfOds };

// Runs the parser over Bytes (the whole file), staging the sheet picked by
// SheetName (when not empty) or by SheetIndex. Raises EReadError naming Name
// and the parser's complaint when the file cannot be read; the book then
// holds whatever was staged and must be thrown away.
void StageSpreadsheet(std::string_view Bytes, TSpreadsheetKind Kind, const std::string& Name,
                      const std::string& SheetName, int32_t SheetIndex, TStagedBook& Book);

// The kind of spreadsheet file Bytes hold, from their content.
TSpreadsheetKind DetectSpreadsheet(std::string_view Bytes);

}  // namespace qv
