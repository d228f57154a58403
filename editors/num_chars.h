// The character sets of the numeric edit controls.
#pragma once

#include <string>

namespace qv {

// The characters a number may be typed with: digits and "+", then "-" with
// AllowMinus, then the decimal separator and "Ee" unless NoDecimal. With
// AllowFormatChars the characters of a display format instead: its decimal
// point is "." whatever the locale, followed by "#" and the thousands flag
// ",". A typed number's separator is the process-wide FormatSettings()'s.
std::string ValidChars(bool NoDecimal, bool AllowMinus, bool AllowFormatChars);

// S without every character that does not occur in Allowed.
std::string FilterChars(const std::string& S, const std::string& Allowed);

}  // namespace qv
