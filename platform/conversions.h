// Conversions between text and numbers, currency and dates, and the small
// string helpers they need.
//
// Readers accept leading and trailing blanks (any character up to ' ') and
// raise EConvertError naming the text when it is not a valid value:
//   "<text>" is not a valid integer value
//   "<text>" is not a valid floating point value
//   "<text>" is not a valid currency value
//   "<text>" is not a valid date / time / date and time
// Numbers use the settings' DecimalSeparator and never thousands separators;
// they may carry a sign and an exponent ("1.5e-3"). Integers are decimal, or
// hexadecimal after "$" or "0x".
// Dates are read in the order of day, month and year in ShortDateFormat,
// separated by DateSeparator; with two numbers the year is the current one.
// A year written with one or two digits is the one within 50 years of today
// (so in 2025 "30" is 2030 and "80" is 1980). Times are h:n[:s[.z]] with an
// optional AM/PM marker (TimeAMString/TimePMString, "AM"/"PM", "A"/"P").
#pragma once

#include <cstdint>
#include <string>

#include "platform/currency.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"

namespace qv {

std::string Trim(const std::string& S);
std::string UpperCase(const std::string& S);  // ASCII letters only
std::string LowerCase(const std::string& S);
bool SameText(const std::string& A, const std::string& B);  // ASCII case-insensitive
// <0, 0, >0 as A sorts before, with or after B, ignoring ASCII case.
int CompareText(const std::string& A, const std::string& B);

std::string IntToStr(int64_t Value);
bool TryStrToInt(const std::string& S, int32_t& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);
int32_t StrToInt(const std::string& S);
int64_t StrToInt64(const std::string& S);
int32_t StrToIntDef(const std::string& S, int32_t Default);

bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings = FormatSettings());
double StrToFloat(const std::string& S, const TFormatSettings& Settings = FormatSettings());
double StrToFloatDef(const std::string& S, double Default, const TFormatSettings& Settings = FormatSettings());

// Exact: the text's decimals are rounded half away from zero at the fourth
// place without passing through a double.
bool TryStrToCurr(const std::string& S, Currency& Value, const TFormatSettings& Settings = FormatSettings());
Currency StrToCurr(const std::string& S, const TFormatSettings& Settings = FormatSettings());
// A double as currency, rounded to the nearest 1/10 000 with halves to the
// even neighbour (the platform's rounding); false when it does not fit.
bool TryFloatToCurr(double Value, Currency& Result);

// "True" / "False"; reading ignores case and also takes numbers (0 is false).
std::string BoolToStr(bool Value);
bool TryStrToBool(const std::string& S, bool& Value, const TFormatSettings& Settings = FormatSettings());

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings = FormatSettings());
bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings = FormatSettings());
// A date, a time, or a date followed by blanks and a time.
bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings = FormatSettings());
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings = FormatSettings());
TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings = FormatSettings());
TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings = FormatSettings());

// What a person types into a date or time field, read strictly: a complete
// date, a time, or a date followed by blanks (or "T") and a time. A date is
//   - three numbers in the order of ShortDateFormat, separated by
//     DateSeparator ("03/12/2024"),
//   - "yyyy-mm-dd" ("2024-04-02"),
//   - day, month name and year ("1 Apr 2024", "01-April-2024"), the names
//     being the settings' or the English ones, in any case, separated by
//     blanks, "-", "." or DateSeparator.
// A year has four digits, or two (then within 50 years of today). A time is
// what TryStrToTime reads. Parts receives which of the two were written
// (EntryDate, EntryTime or both). Anything else, a day the calendar lacks
// included, is false and leaves Value alone.
enum : unsigned { EntryDate = 1u, EntryTime = 2u };
bool TryReadDateTimeEntry(const std::string& S, TDateTime& Value, unsigned& Parts,
                          const TFormatSettings& Settings = FormatSettings());

}  // namespace qv
