// Number formatting with format strings.
//
// Format language (one to three sections separated by ';': positive;
// negative; zero):
//   0        digit placeholder, shows a digit or a zero
//   #        digit placeholder, shows a digit or nothing
//   .        the first one marks the decimal point (shown as DecimalSeparator,
//            and only when a fraction digit follows it)
//   ,        anywhere before the decimal point: group the integer digits by
//            thousands with ThousandSeparator; never shown itself
//   E+ E- e+ e-  followed by one or more 0s: scientific notation; E+ always
//            shows the exponent's sign, E- only a minus; the 0s give the
//            minimum number of exponent digits
//   '...' "..."  literal text
//   anything else is shown as it is ('%' too: it does not scale the value).
// Integer digits beyond the placeholders are all shown at the first one.
// A section with no digit placeholder shows only its literal text.
//
// Rounding is half away from zero on the value's decimal form at 15
// significant digits, so 12.345 with "0.00" shows 12.35, as a person expects.
//
// Sections: a negative value uses the second section when there is a
// non-empty one, and then shows no minus sign of its own (the section's text
// decides, e.g. "0.00;(0.00)"); otherwise the first section with a leading
// minus. Zero uses a non-empty third section. A value whose shown digits
// round to zero is shown as zero: by the third section when there is one,
// else by the first section without a minus sign (never "-0.00").
// An empty chosen section, and an empty format, give the general format:
// up to 15 significant digits, shortest form, and scientific form ("1E20",
// "1.5E-10") when the value is 1E15 or more, or less than 1E-5.
// NaN and infinities show as "NAN", "INF" and "-INF".
#pragma once

#include <string>

#include "platform/currency.h"
#include "platform/format_settings.h"

namespace qv {

std::string FormatFloat(const std::string& Format, double Value,
                        const TFormatSettings& Settings = FormatSettings());
// The same language over an exact currency value (no binary rounding at all).
std::string FormatCurr(const std::string& Format, Currency Value,
                       const TFormatSettings& Settings = FormatSettings());

// The general format.
std::string FloatToStr(double Value, const TFormatSettings& Settings = FormatSettings());
std::string CurrToStr(Currency Value, const TFormatSettings& Settings = FormatSettings());

}  // namespace qv
