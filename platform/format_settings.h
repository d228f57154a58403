// Locale settings used by number and date formatting and by the conversions.
//
// One process-wide record, FormatSettings(), is filled from the C library's
// current locale the first time it is used (the library never calls
// setlocale itself; a program that wants the user's locale calls
// setlocale(LC_ALL, "") before first use, or ReloadFormatSettings() after).
// DefaultFormatSettings() is the fixed record of the "C" locale, for callers
// and tests that must not depend on the machine.
//
// Format strings held here use the format language of FormatDateTime: "/" is
// replaced by DateSeparator and ":" by TimeSeparator when formatting.
#pragma once

#include <string>

namespace qv {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "mm/dd/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};
    // Sunday first, as DayOfWeek numbers them (1 = Sunday).
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
};

// The fixed settings of the "C" locale.
TFormatSettings DefaultFormatSettings();

// Settings read now from the process's current C locale (localeconv and
// nl_langinfo); anything the locale does not give keeps its default.
TFormatSettings LocaleFormatSettings();

// The process-wide settings, filled from the locale on first use. Callers may
// change fields (tests, a host that offers its own options).
TFormatSettings& FormatSettings();

// Re-reads the global settings from the current locale.
void ReloadFormatSettings();

// Converts a C library date/time format (strftime notation, as nl_langinfo
// gives it) into FormatDateTime notation. Separator receives the first
// separator character found (left unchanged when there is none); every
// occurrence of it becomes SeparatorCode ('/' for dates, ':' for times) so
// that the format follows DateSeparator/TimeSeparator. Exposed for tests.
std::string ConvertCFormat(const std::string& CFormat, char& Separator, char SeparatorCode);

}  // namespace qv
