#include "platform/date_time.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "platform/exceptions.h"
#include "platform/format_float.h"

namespace qv {

namespace {

// Days between 1970-01-01 and 1899-12-30.
constexpr int64_t UnixDay0 = -25569;

// Days since 1970-01-01 of a proleptic Gregorian date (civil calendar
// arithmetic with 400-year eras).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t Era = (y >= 0 ? y : y - 399) / 400;
    const int64_t Yoe = y - Era * 400;
    const int64_t Doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + Doe - 719468;
}

void CivilFromDays(int64_t z, int& Year, int& Month, int& Day) {
    z += 719468;
    const int64_t Era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t Doe = z - Era * 146097;
    const int64_t Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    const int64_t Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const int64_t Mp = (5 * Doy + 2) / 153;
    Day = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
    Month = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
    Year = static_cast<int>(Yoe + Era * 400 + (Month <= 2));
}

// Splits a value into its day number and milliseconds since midnight,
// rounding to the millisecond once.
bool SplitValue(TDateTime Value, int64_t& Day, int64_t& MSec) {
    if (!std::isfinite(Value) || Value <= MinDateTime - 1 || Value >= MaxDateTime + 1) return false;
    const int64_t Ms = std::llround(std::fabs(Value) * MSecsPerDay);
    const int64_t PerDay = static_cast<int64_t>(MSecsPerDay);
    Day = Ms / PerDay;
    if (Value < 0) Day = -Day;
    MSec = Ms % PerDay;
    return Day >= static_cast<int64_t>(MinDateTime) && Day <= static_cast<int64_t>(MaxDateTime);
}

[[noreturn]] void RaiseRange(TDateTime Value) {
    throw EConvertError("Date/time value " + FloatToStr(Value, DefaultFormatSettings()) +
                        " is outside the valid range");
}

}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12) return 0;
    return Days[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result) {
    if (Day < 1 || Day > DaysInAMonth(Year, Month)) return false;
    Result = static_cast<double>(DaysFromCivil(Year, Month, Day) - UnixDay0);
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Result) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        return false;
    Result = ((Hour * 3600 + Min * 60 + Sec) * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime R;
    if (!TryEncodeDate(Year, Month, Day, R))
        throw EConvertError("Invalid date: year " + std::to_string(Year) + ", month " + std::to_string(Month) +
                            ", day " + std::to_string(Day));
    return R;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime R;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, R))
        throw EConvertError("Invalid time: hour " + std::to_string(Hour) + ", minute " + std::to_string(Min) +
                            ", second " + std::to_string(Sec) + ", millisecond " + std::to_string(MSec));
    return R;
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) { return Date < 0 ? Date - Time : Date + Time; }

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    const TDateTime D = EncodeDate(Year, Month, Day);
    return ComposeDateTime(D, EncodeTime(Hour, Min, Sec, MSec));
}

bool TryDecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                       int& MSec) {
    int64_t D, Ms;
    if (!SplitValue(Value, D, Ms)) return false;
    CivilFromDays(D + UnixDay0, Year, Month, Day);
    Hour = static_cast<int>(Ms / 3600000);
    Min = static_cast<int>(Ms / 60000 % 60);
    Sec = static_cast<int>(Ms / 1000 % 60);
    MSec = static_cast<int>(Ms % 1000);
    return true;
}

void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec) {
    if (!TryDecodeDateTime(Value, Year, Month, Day, Hour, Min, Sec, MSec)) RaiseRange(Value);
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
    int H, N, S, Ms;
    DecodeDateTime(Value, Year, Month, Day, H, N, S, Ms);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec) {
    int Y, M, D;
    DecodeDateTime(Value, Y, M, D, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Value) {
    int64_t D, Ms;
    if (!SplitValue(Value, D, Ms)) RaiseRange(Value);
    return static_cast<int>(((D - 1) % 7 + 7) % 7) + 1;
}

TDateTime Now() {
    const auto Clock = std::chrono::system_clock::now();
    const std::time_t T = std::chrono::system_clock::to_time_t(Clock);
    const auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock.time_since_epoch()).count() % 1000;
    std::tm Local{};
    localtime_r(&T, &Local);
    return EncodeDateTime(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday, Local.tm_hour, Local.tm_min,
                          Local.tm_sec > 59 ? 59 : Local.tm_sec, static_cast<int>(Ms < 0 ? 0 : Ms));
}

TDateTime Date() { return std::floor(Now()); }

TDateTime Time() {
    const TDateTime N = Now();
    return N - std::floor(N);
}

}  // namespace qv
