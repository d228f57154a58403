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
