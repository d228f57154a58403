// The display formats of cells in the number-format language of spreadsheet
// files. Both translations give false when a format has no equivalent there;
// the exporter then writes the cell's display text instead of its value.
#pragma once

#include <string>

#include "platform/format_settings.h"

namespace qv {

// Number formats: sections, the 0 and # placeholders, the decimal point,
// the thousands flag (one ',' anywhere in a section), exponents and quoted
// or plain literal characters. "%" stays a literal: it does not scale. An
// empty format is "General".
bool TranslateNumberFormat(const std::string& Format, std::string& Out);

// Date and time formats: day, month, year, hour, minute, second and
// millisecond codes, halves of the day, the named date and time formats of
// Settings, separators and literals. An empty format is "c".
bool TranslateDateFormat(const std::string& Format, std::string& Out,
                         const TFormatSettings& Settings = FormatSettings());

}  // namespace qv

namespace qv {

// The other way: a number-format code of a spreadsheet file in the format
// language. Kind says what the code shows: a number, a date or time, a
// percentage (the language has no scaling '%': Out then shows the value
// times 100, which the caller formats as text), or text ('@'). False when
// the code has no equivalent (fractions, elapsed hours, conditions, an
// unclosed quote); Kind is still set then, so that a date stays a date.
enum TFileFormatKind : uint8_t { ffNumber, ffDate, ffPercent, ffText };
bool TranslateFileFormat(const std::string& Code, std::string& Out, TFileFormatKind& Kind,
                         const TFormatSettings& Settings = FormatSettings());

// The code of a built-in number format of the file format (0 .. 49), or
// null for an id without one.
const char* BuiltinFileFormat(size_t Id);

}  // namespace qv
