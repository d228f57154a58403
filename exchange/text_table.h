// A rectangle of cells as text, the way other programs exchange tables:
// tab-separated lines of display texts, and an HTML table that keeps the
// look (values, fonts, fills, borders, alignment and merged cells). Both
// read back as a grid of typed values: integers, decimal numbers and ISO
// dates are recognised as CSV import does, everything else stays text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/range_record.h"
#include "exchange/value_text.h"

namespace qv {

// One non-empty field of a text table, with its typed value; Text keeps the
// field as it was (the value of text fields).
struct TTextTableCell {
    int32_t Row = 0;
    int32_t Col = 0;
    TTextValue Value;
    std::string Text;
};

// Rows x Cols fields; empty fields are not listed.
struct TTextTable {
    int32_t Rows = 0;
    int32_t Cols = 0;
    std::vector<TTextTableCell> Cells;
};

// Tab-separated text: fields end at a tab, lines at LF or CR LF (a lone CR
// too). A field starting with a double quote runs to the closing quote and
// may hold tabs and line ends; a doubled quote inside is one quote. A line
// end after the last line gives no further row. With DetectTypes off every
// field stays text. Both readers take time linear in their input, and raise
// EReadError when the table needs more memory than there is.
TTextTable ParseTabText(std::string_view Text, bool DetectTypes = true);

// The cell texts of the first table of an HTML fragment, placed as its rows
// and cells stand, with rowspan and colspan honoured (the text goes to the
// top-left position). Tags inside a cell are dropped, <br> and block ends
// become line ends, entities are decoded and blanks collapse as a browser
// shows them. Tolerant: missing end tags are implied; no table gives an
// empty result. Cells starting past column 16384 are dropped.
TTextTable ParseHtmlTable(std::string_view Html, bool DetectTypes = true);

// The display texts of rectangle R of section Kind, tab-separated, one line
// (ending in LF) per row. Fields holding a tab, a line end or a double quote
// are quoted. Positions covered by a merged range are empty; hidden cells
// give nothing.
std::string RangeToTabText(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R);

// The same rectangle as an HTML document holding one table: display texts,
// fonts, fills, borders, alignment and wrapping as inline styles, column
// widths and row heights in pixels, merged ranges as rowspan and colspan.
std::string RangeToHtml(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R);

// Writes the values of Table into section Kind of Target from local point
// At: a field of a recognised kind makes an integer, double or date cell,
// any other a text cell; a cell of the same class is reused, so it keeps its
// own formatting; an empty field releases the cell at its position. Lines,
// fills and frames stay. Cut at the end of the section; protected positions
// are skipped. All or nothing: a paste that runs out of memory puts the
// area back and raises EQvGridError saying so.
TQvPasteResult PasteTextTable(const TTextTable& Table, TQvSheet& Target, TQvSectionKind Kind, TPoint At);

}  // namespace qv
