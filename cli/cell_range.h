// Client cell ranges written the spreadsheet way: "A1", "B2:H20" (columns as
// letters from A, rows counted from 1).
#pragma once

#include <string>

#include "platform/geometry.h"

namespace qv::cli {

// The half-open rectangle of client cells; raises EConvertError naming the
// text when it is not a range.
TRect ParseCellRange(const std::string& Text);

}  // namespace qv::cli
