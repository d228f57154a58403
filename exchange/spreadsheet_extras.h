// What the spreadsheet parser leaves out and the import reads itself: of a
// .xlsx package, the wrap and indent of each cell format, the comments of
// one sheet (which become hints), its default sizes and its inline texts; of
// an .ods document, the sheet's column widths, merged ranges, hidden rows and
// columns, comments, frozen panes and the display text of percentages. Read from the package's members with the
// same zip and XML readers the parser uses, and the texts of cells written
// inline in the sheet; a member that is missing or
// damaged leaves its part out, with a warning, and never fails the import.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/orcus_adapter.h"
#include "exchange/zip_guard.h"

namespace qv {

struct TStagedAlignment {
    bool Wrap = false;
    int32_t Indent = 0;  // levels
};

struct TStagedHint {
    int32_t Row = 0, Col = 0;  // the file's, from 0
    std::string Text;
};

struct TStagedExtras {
    std::vector<TStagedAlignment> Alignments;  // by cell format, as the file numbers them
    std::vector<TStagedHint> Hints;
    // Text cells written inline (t="inlineStr"), which the parser skips.
    std::vector<TStagedHint> InlineTexts;
    // The sheet's default row height (points) and column width (characters,
    // padding included); -1 where the file gives none.
    double DefaultRowPoints = -1;
    double DefaultColChars = -1;
    // The workbook counts days from 1904 (its properties say so).
    bool Date1904 = false;

    // Documents (.ods) only: what the parser gives wrongly or not at all.
    bool HasLayout = false;  // the fields below were read
    std::vector<TStagedSize> ColSizes;
    std::vector<int32_t> HiddenRows;  // .xlsx too: the parser reads hidden="1" only, not "true"
    std::vector<int32_t> HiddenCols;
    std::vector<TStagedRange> Merges;
    int32_t FrozenCols = 0, FrozenRows = 0;
};

// Sheet is the number of the sheet read, from 0, in workbook order. Facts,
// when given, come from CheckZipPackage asked for the words XlsxExtraWords:
// a sheet without them is not inflated again.
inline const std::vector<std::string>& XlsxExtraWords() {
    static const std::vector<std::string> words{"inlineStr", "hidden=\"true\""};
    return words;
}
void StageXlsxExtras(std::string_view Bytes, int32_t Sheet, TStagedExtras& Extras, std::vector<std::string>& Warnings,
                     const std::string& Name, const TZipFacts* Facts = nullptr);

void StageOdsExtras(std::string_view Bytes, int32_t Sheet, TStagedExtras& Extras, std::vector<std::string>& Warnings,
                    const std::string& Name);

// Raises EReadError naming Name when the styles of an .ods document are
// nested in a way the parser cannot take (it stops the program on them): a
// style inside a style, or column, row or cell properties outside a style
// of their family.
void CheckOdsStyles(std::string_view Bytes, const std::string& Name);

// A cell reference such as "B12" as a row and column from 0; false when it
// is none or lies past the rows and columns a file holds.
bool ParseCellRef(std::string_view Ref, int32_t& Row, int32_t& Col);

}  // namespace qv
