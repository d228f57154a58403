#include "cli/cell_range.h"

#include <algorithm>
#include <cctype>

#include "platform/exceptions.h"

namespace qv::cli {

namespace {

bool ParseCell(const std::string& S, int64_t& Col, int64_t& Row) {
    size_t i = 0;
    Col = 0;
    while (i < S.size() && std::isalpha(static_cast<unsigned char>(S[i]))) {
        Col = Col * 26 + (std::toupper(static_cast<unsigned char>(S[i])) - 'A' + 1);
        if (Col > 10000000) return false;
        ++i;
    }
    if (i == 0 || i == S.size()) return false;
    Row = 0;
    for (; i < S.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(S[i]))) return false;
        Row = Row * 10 + (S[i] - '0');
        if (Row > 100000000) return false;
    }
    --Col;
    --Row;
    return Row >= 0;
}

}  // namespace

TRect ParseCellRange(const std::string& Text) {
    const size_t colon = Text.find(':');
    int64_t c0, r0, c1, r1;
    const bool ok = colon == std::string::npos
                        ? ParseCell(Text, c0, r0) && ((c1 = c0), (r1 = r0), true)
                        : ParseCell(Text.substr(0, colon), c0, r0) && ParseCell(Text.substr(colon + 1), c1, r1);
    if (!ok) throw EConvertError("'" + Text + "' is not a cell range such as A1:H20");
    return {static_cast<int32_t>(std::min(c0, c1)), static_cast<int32_t>(std::min(r0, r1)),
            static_cast<int32_t>(std::max(c0, c1) + 1), static_cast<int32_t>(std::max(r0, r1) + 1)};
}

}  // namespace qv::cli
