// The character sets of the numeric edit controls.
#pragma once

#include <string>

namespace qv {

// The characters a number may be typed with: digits and "+", then "-" with
// AllowMinus, then the decimal separator and "Ee" unless NoDecimal, then "#"
// and the thousands separator with AllowFormatChars (for display formats).
// Separators are the process-wide FormatSettings().
std::string ValidChars(bool NoDecimal, bool AllowMinus, bool AllowFormatChars);

// S without every character that does not occur in Allowed.
std::string FilterChars(const std::string& S, const std::string& Allowed);

}  // namespace qv
