#include "editors/num_chars.h"

#include "platform/format_settings.h"

namespace qv {

std::string ValidChars(bool NoDecimal, bool AllowMinus, bool AllowFormatChars) {
    // A display format is written in the format language, whose decimal
    // point and thousands flag are "." and ","; a typed number uses the
    // locale's separators.
    const TFormatSettings& fs = FormatSettings();
    std::string r = "0123456789+";
    if (AllowMinus) r += '-';
    if (!NoDecimal) {
        r += AllowFormatChars ? '.' : fs.DecimalSeparator;
        r += "Ee";
    }
    if (AllowFormatChars) r += "#,";
    return r;
}

std::string FilterChars(const std::string& S, const std::string& Allowed) {
    std::string r;
    r.reserve(S.size());
    for (char c : S)
        if (Allowed.find(c) != std::string::npos) r += c;
    return r;
}

}  // namespace qv
