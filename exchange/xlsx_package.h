// The zip package of a spreadsheet file, after the writer library closed it:
// giving number cells back the digits the library dropped.
//
// The library prints every number with 16 significant digits, which is not
// enough to name every double: the largest one comes back as infinity and
// many date-times land a fraction of a second early. The exporter notes the
// cells whose value does not survive that printing, and this rewrites their
// values in the worksheet member with the shortest text that reads back as
// the same double. Every other member is copied byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct TXlsxExactNumber {
    uint32_t Row = 0;  // from 0, as the file counts
    uint32_t Col = 0;
    double Value = 0;
};

// True when the library's printing of V reads back as another double.
bool LosesDigits(double V);

// Rewrites, in the package File, the values of the number cells Fixes in the
// worksheet member Member. Raises EWriteError naming Shown (the name the
// user gave) when the package cannot be read or written; File is then
// incomplete.
void RewriteNumberCells(const std::string& File, const std::string& Shown, const std::string& Member,
                        std::vector<TXlsxExactNumber> Fixes);

}  // namespace qv
