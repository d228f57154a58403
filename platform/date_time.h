// Dates and times as the platform counts them.
//
// A TDateTime is a double: the whole part counts days since 30 December
// 1899 (day 0), the fraction is the time of day. For dates before day 0 the
// fraction still counts forward from midnight: -1.25 is 29 December 1899,
// 06:00 (so -0.5 and 0.5 are the same moment). Valid dates run from
// 1 January 0001 to 31 December 9999.
//
// Decoding rounds to the nearest millisecond once for date and time
// together, so a value a hair before midnight reads as the next day at
// 00:00:00.000, never as 24:00.
#pragma once

#include <cstdint>

namespace qv {

using TDateTime = double;

constexpr double MSecsPerDay = 86400000.0;
constexpr TDateTime MinDateTime = -693593.0;           // 0001-01-01
constexpr TDateTime MaxDateTime = 2958465.99999999;    // 9999-12-31 23:59:59.999

bool IsLeapYear(int Year);
// Days in the month, 0 when the year or month is invalid.
int DaysInAMonth(int Year, int Month);

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Result);
// These raise EConvertError naming the values when they are invalid.
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
// Combines a date and a time of day the platform's way (for a negative date
// the time is subtracted, so the fraction still counts forward).
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time);

// The parts of a value. Try* returns false for values outside the valid
// range (and NaN); the others raise EConvertError for them.
bool TryDecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                       int& MSec);
void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);

// 1 = Sunday … 7 = Saturday (day 0 was a Saturday).
int DayOfWeek(TDateTime Value);

// The local date and time now; Date() is today at midnight, Time() the time
// of day alone.
TDateTime Now();
TDateTime Date();
TDateTime Time();

}  // namespace qv
