// Date and time formatting with format strings.
//
// Codes (case-insensitive; a run of one letter forms one code):
//   d dd          day without / with a leading zero
//   ddd dddd      short / long day name
//   ddddd dddddd  ShortDateFormat / LongDateFormat
//   m mm          month without / with a leading zero; minutes when it comes
//                 right after an h or hh code (only non-letters between)
//   mmm mmmm      short / long month name
//   yy yyyy       two-digit / four-digit year (y counts as yy, yyy as yyyy)
//   h hh          hour without / with a leading zero (12-hour clock when the
//                 format holds am/pm, a/p or ampm)
//   n nn, s ss    minutes, seconds
//   z zzz         milliseconds without / with leading zeros
//   am/pm a/p     the chosen half as written in the format ("AM/PM" → "PM")
//   ampm          TimeAMString / TimePMString
//   c             ShortDateFormat, then a blank and LongTimeFormat unless
//                 the time is exactly midnight
//   t tt          ShortTimeFormat / LongTimeFormat
//   /  :          DateSeparator / TimeSeparator
//   '...' "..."   literal text; any other character is shown as it is.
// An empty format means "c". A value outside the valid date range raises
// EConvertError.
#pragma once

#include <string>

#include "platform/date_time.h"
#include "platform/format_settings.h"

namespace qv {

std::string FormatDateTime(const std::string& Format, TDateTime Value,
                           const TFormatSettings& Settings = FormatSettings());

std::string DateToStr(TDateTime Value, const TFormatSettings& Settings = FormatSettings());      // "ddddd"
std::string TimeToStr(TDateTime Value, const TFormatSettings& Settings = FormatSettings());      // "tt"
std::string DateTimeToStr(TDateTime Value, const TFormatSettings& Settings = FormatSettings());  // "c"

}  // namespace qv
