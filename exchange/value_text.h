// Cell values as plain text, the way a spreadsheet reads and writes them:
// recognising integers, decimal numbers and ISO dates in text, and writing
// a cell's value back in a form that reads as the same value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class TQvCell;

enum TTextValueKind : uint8_t { tvText, tvInteger, tvDouble, tvDate, tvDateTime };

struct TTextValue {
    TTextValueKind Kind = tvText;
    int32_t Integer = 0;
    double Number = 0;  // the double, or the date as days since 1899-12-30
};

// Integers ("-42"; "007" keeps its leading zeros as text; beyond 32 bits an
// integer of at most 15 digits is a double, a longer one stays text so that
// no digit is lost), decimal numbers with '.' ("3.5", "-.5", "1e6", "2.5E-3")
// and ISO dates ("2024-02-29", "2024-02-29 13:05", "2024-02-29T13:05:07.250").
// Anything else, including surrounding blanks, is text.
TTextValue DetectTextValue(std::string_view S);

// Formats for the date cells made from ISO text, so that they show (and
// export) as they were read.
extern const char* const IsoDateFormat;      // "yyyy-mm-dd"
extern const char* const IsoDateTimeFormat;  // "yyyy-mm-dd hh:nn:ss"

// The shortest decimal text that reads back as exactly V ("0.1", "1e+300").
std::string ExactDoubleText(double V);
// An ISO date, with the time of day when it is not midnight
// ("2024-02-29", "2024-02-29 13:05:07", milliseconds when not zero).
std::string IsoDateText(double DateTime);

// The value of a cell as text: with Raw, numbers in full precision and dates
// in ISO form; otherwise the display text. Check boxes give "True" or
// "False", pick lists the chosen line, pictures nothing.
std::string CellValueText(TQvCell* Cell, bool Raw);

}  // namespace qv
