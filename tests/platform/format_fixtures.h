// Settings and helpers shared by the conversion tests: the C settings, a
// German-style locale (comma decimals, point thousands and dates), and the
// message of the error a call raises.
#pragma once

#include <string>

#include "platform/format_settings.h"

namespace qv::test {

inline TFormatSettings GermanFormatSettings() {
    TFormatSettings S = DefaultFormatSettings();
    S.DecimalSeparator = ',';
    S.ThousandSeparator = '.';
    S.DateSeparator = '.';
    S.ShortDateFormat = "dd/mm/yyyy";
    return S;
}

// The message of the error of type E that Fn raises, or "no error".
template <class E, class Fn>
std::string MessageOf(Fn F) {
    try {
        F();
    } catch (const E& Error) {
        return Error.Message();
    }
    return "no error";
}

}  // namespace qv::test
