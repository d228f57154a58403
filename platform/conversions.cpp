#include "platform/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/exceptions.h"

namespace qv {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

[[noreturn]] void RaiseInvalid(const std::string& Text, const char* What) {
    throw EConvertError("\"" + Text + "\" is not a valid " + What);
}

// A decimal number as written: value = ±Digits × 10^Scale, Digits without
// leading zeros (empty for zero).
struct TParsedNumber {
    bool Negative = false;
    std::string Digits;
    int64_t Scale = 0;
};

// [sign] digits [DecimalSeparator digits] [(E|e) [sign] digits], at least one
// mantissa digit, blanks around allowed.
bool ParseNumber(const std::string& S, char DecimalSeparator, TParsedNumber& R) {
    const std::string T = Trim(S);
    const size_t N = T.size();
    size_t i = 0;
    R = TParsedNumber();
    if (i < N && (T[i] == '+' || T[i] == '-')) R.Negative = T[i++] == '-';
    bool AnyDigit = false;
    while (i < N && IsDigit(T[i])) {
        R.Digits += T[i++];
        AnyDigit = true;
    }
    if (i < N && T[i] == DecimalSeparator) {
        ++i;
        while (i < N && IsDigit(T[i])) {
            R.Digits += T[i++];
            --R.Scale;
            AnyDigit = true;
        }
    }
    if (!AnyDigit) return false;
    if (i < N && (T[i] == 'e' || T[i] == 'E')) {
        ++i;
        bool NegExp = false;
        if (i < N && (T[i] == '+' || T[i] == '-')) NegExp = T[i++] == '-';
        if (i >= N || !IsDigit(T[i])) return false;
        int64_t Exp = 0;
        while (i < N && IsDigit(T[i])) {
            if (Exp < 100000000) Exp = Exp * 10 + (T[i] - '0');  // far beyond any double's range
            ++i;
        }
        R.Scale += NegExp ? -Exp : Exp;
    }
    if (i != N) return false;
    const size_t First = R.Digits.find_first_not_of('0');
    R.Digits.erase(0, First == std::string::npos ? R.Digits.size() : First);
    return true;
}

bool ParsedToDouble(const TParsedNumber& P, double& Value) {
    if (P.Digits.empty()) {
        Value = P.Negative ? -0.0 : 0.0;
        return true;
    }
    const std::string Text = P.Digits + "e" + std::to_string(P.Scale);
    double V = 0;
    const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
    if (R.ec == std::errc::result_out_of_range) {
        // Too large is an error; too small is zero.
        if (static_cast<int64_t>(P.Digits.size()) + P.Scale > 0) return false;
        V = 0;
    } else if (R.ec != std::errc()) {
        return false;
    }
    Value = P.Negative ? -V : V;
    return true;
}

// Accumulates decimal digits into an unsigned value; false on overflow.
bool AccumulateDigits(const std::string& Digits, size_t Count, uint64_t& Value) {
    Value = 0;
    for (size_t i = 0; i < Count; ++i) {
        const uint64_t d = static_cast<uint64_t>(Digits[i] - '0');
        if (Value > (std::numeric_limits<uint64_t>::max() - d) / 10) return false;
        Value = Value * 10 + d;
    }
    return true;
}

// Reads a magnitude with an optional sign, then checks it fits in [Min, Max].
bool ParseInteger(const std::string& S, int64_t Min, int64_t Max, int64_t& Value) {
    const std::string T = Trim(S);
    const size_t N = T.size();
    size_t i = 0;
    bool Negative = false;
    if (i < N && (T[i] == '+' || T[i] == '-')) Negative = T[i++] == '-';
    int Base = 10;
    if (i < N && T[i] == '$') {
        Base = 16;
        ++i;
    } else if (i + 1 < N && T[i] == '0' && (T[i + 1] == 'x' || T[i + 1] == 'X')) {
        Base = 16;
        i += 2;
    }
    if (i >= N) return false;
    uint64_t Magnitude = 0;
    for (; i < N; ++i) {
        const char c = LowerChar(T[i]);
        int d;
        if (IsDigit(c))
            d = c - '0';
        else if (Base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return false;
        if (Magnitude > (std::numeric_limits<uint64_t>::max() - d) / Base) return false;
        Magnitude = Magnitude * Base + d;
    }
    const uint64_t Limit = Negative ? uint64_t(0) - static_cast<uint64_t>(Min) : static_cast<uint64_t>(Max);
    if (Magnitude > Limit) return false;
    Value = Negative ? static_cast<int64_t>(uint64_t(0) - Magnitude) : static_cast<int64_t>(Magnitude);
    return true;
}

// The order of day, month and year in a date format, as three of 'D', 'M',
// 'Y'; letters the format lacks follow in month-day-year order.
std::string DateOrder(const std::string& Format) {
    std::string Order;
    char Quote = 0;
    for (const char c : Format) {
        if (Quote) {
            if (c == Quote) Quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            Quote = c;
            continue;
        }
        const char u = static_cast<char>(LowerChar(c) - 'a' + 'A');
        if ((u == 'D' || u == 'M' || u == 'Y') && Order.find(u) == std::string::npos) Order += u;
    }
    for (const char c : std::string("MDY"))
        if (Order.find(c) == std::string::npos) Order += c;
    return Order;
}

void SkipBlanks(const std::string& T, size_t& i) {
    while (i < T.size() && IsBlank(T[i])) ++i;
}

bool ScanNumber(const std::string& T, size_t& i, int& Value, int& Digits) {
    Value = 0;
    Digits = 0;
    while (i < T.size() && IsDigit(T[i])) {
        if (Digits >= 9) return false;
        Value = Value * 10 + (T[i++] - '0');
        ++Digits;
    }
    return Digits > 0;
}

int CurrentYear() {
    int Y, M, D;
    DecodeDate(Now(), Y, M, D);
    return Y;
}

// A one- or two-digit year as the year within 50 years of today.
int ExpandYear(int Year, int CurrentYear) {
    int Y = CurrentYear / 100 * 100 + Year;
    if (Y > CurrentYear + 50)
        Y -= 100;
    else if (Y <= CurrentYear - 50)
        Y += 100;
    return Y;
}

// A name as a person types it: without the dot some locales' short names
// end with ("avr.").
std::string BareName(std::string Name) {
    while (!Name.empty() && Name.back() == '.') Name.pop_back();
    return Name;
}

// A month name at T[i]: the word up to the next blank, digit or date
// separator, matched whole against the long and the short names.
bool ScanMonthName(const std::string& T, size_t& i, const TFormatSettings& S, int& Month) {
    size_t e = i;
    while (e < T.size() && !IsBlank(T[e]) && !IsDigit(T[e]) && T[e] != '-' && T[e] != '.' && T[e] != '/' &&
           T[e] != S.DateSeparator)
        ++e;
    const std::string Word = T.substr(i, e - i);
    if (Word.empty()) return false;
    static const TFormatSettings English = DefaultFormatSettings();
    for (const TFormatSettings* Names : {&S, &English})
        for (int m = 0; m < 12; ++m)
            if (SameText(Word, BareName(Names->LongMonthNames[m])) ||
                SameText(Word, BareName(Names->ShortMonthNames[m]))) {
                Month = m + 1;
                i = e;
                return true;
            }
    return false;
}

// A run of blanks and date separators between the parts of a named date;
// false when there is none.
bool SkipNameSeparators(const std::string& T, size_t& i, char DateSeparator) {
    const size_t Start = i;
    while (i < T.size() && (IsBlank(T[i]) || T[i] == '-' || T[i] == '.' || T[i] == '/' || T[i] == DateSeparator))
        ++i;
    return i > Start;
}

// A year as typed: four digits as they stand, two within 50 years of today.
bool EntryYear(int Value, int Digits, int& Year) {
    if (Digits == 4) Year = Value;
    else if (Digits <= 2) Year = ExpandYear(Value, CurrentYear());
    else return false;
    return true;
}

// One of the complete date forms of TryReadDateTimeEntry at T[i]; i moves
// past it.
bool ScanEntryDate(const std::string& T, size_t& i, const TFormatSettings& S, TDateTime& Value) {
    int N[3], Digits[3];
    size_t j = i;
    if (!ScanNumber(T, j, N[0], Digits[0])) return false;
    // yyyy-mm-dd
    {
        size_t k = j;
        if (Digits[0] == 4 && k < T.size() && T[k] == '-' && ScanNumber(T, ++k, N[1], Digits[1]) &&
            Digits[1] <= 2 && k < T.size() && T[k] == '-' && ScanNumber(T, ++k, N[2], Digits[2]) && Digits[2] <= 2 &&
            TryEncodeDate(N[0], N[1], N[2], Value)) {
            i = k;
            return true;
        }
    }
    // day, month name, year
    {
        size_t k = j;
        int Month = 0, Year = 0;
        if (Digits[0] <= 2 && SkipNameSeparators(T, k, S.DateSeparator) && ScanMonthName(T, k, S, Month) &&
            SkipNameSeparators(T, k, S.DateSeparator) && ScanNumber(T, k, N[2], Digits[2]) &&
            EntryYear(N[2], Digits[2], Year) && TryEncodeDate(Year, Month, N[0], Value)) {
            i = k;
            return true;
        }
    }
    // the short form: three numbers in the settings' order
    size_t k = j;
    for (int n = 1; n < 3; ++n)
        if (k >= T.size() || T[k] != S.DateSeparator || !ScanNumber(T, ++k, N[n], Digits[n])) return false;
    const std::string Order = DateOrder(S.ShortDateFormat);
    int Year = 0, Month = 0, Day = 0;
    for (int n = 0; n < 3; ++n) {
        if (Order[n] == 'Y') {
            if (!EntryYear(N[n], Digits[n], Year)) return false;
        } else if (Digits[n] > 2) {
            return false;
        } else {
            (Order[n] == 'D' ? Day : Month) = N[n];
        }
    }
    if (!TryEncodeDate(Year, Month, Day, Value)) return false;
    i = k;
    return true;
}

}  // namespace

std::string Trim(const std::string& S) {
    size_t b = 0, e = S.size();
    while (b < e && IsBlank(S[b])) ++b;
    while (e > b && IsBlank(S[e - 1])) --e;
    return S.substr(b, e - b);
}

std::string UpperCase(const std::string& S) {
    std::string R = S;
    for (char& c : R)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return R;
}

std::string LowerCase(const std::string& S) {
    std::string R = S;
    for (char& c : R) c = LowerChar(c);
    return R;
}

int CompareText(const std::string& A, const std::string& B) {
    const size_t N = std::min(A.size(), B.size());
    for (size_t i = 0; i < N; ++i) {
        const unsigned char a = static_cast<unsigned char>(LowerChar(A[i]));
        const unsigned char b = static_cast<unsigned char>(LowerChar(B[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool SameText(const std::string& A, const std::string& B) { return A.size() == B.size() && CompareText(A, B) == 0; }

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

bool TryStrToInt(const std::string& S, int32_t& Value) {
    int64_t V;
    if (!ParseInteger(S, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), V)) return false;
    Value = static_cast<int32_t>(V);
    return true;
}

bool TryStrToInt64(const std::string& S, int64_t& Value) {
    return ParseInteger(S, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), Value);
}

int32_t StrToInt(const std::string& S) {
    int32_t V;
    if (!TryStrToInt(S, V)) RaiseInvalid(S, "integer value");
    return V;
}

int64_t StrToInt64(const std::string& S) {
    int64_t V;
    if (!TryStrToInt64(S, V)) RaiseInvalid(S, "integer value");
    return V;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
    int32_t V;
    return TryStrToInt(S, V) ? V : Default;
}

bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings) {
    TParsedNumber P;
    return ParseNumber(S, Settings.DecimalSeparator, P) && ParsedToDouble(P, Value);
}

double StrToFloat(const std::string& S, const TFormatSettings& Settings) {
    double V;
    if (!TryStrToFloat(S, V, Settings)) RaiseInvalid(S, "floating point value");
    return V;
}

double StrToFloatDef(const std::string& S, double Default, const TFormatSettings& Settings) {
    double V;
    return TryStrToFloat(S, V, Settings) ? V : Default;
}

bool TryStrToCurr(const std::string& S, Currency& Value, const TFormatSettings& Settings) {
    TParsedNumber P;
    if (!ParseNumber(S, Settings.DecimalSeparator, P)) return false;
    uint64_t Magnitude = 0;
    if (!P.Digits.empty()) {
        const int64_t Shift = P.Scale + 4;  // powers of ten still to apply
        const int64_t Count = static_cast<int64_t>(P.Digits.size());
        if (Shift >= 0) {
            if (Count + Shift > 20 || !AccumulateDigits(P.Digits, P.Digits.size(), Magnitude)) return false;
            for (int64_t k = 0; k < Shift; ++k) {
                if (Magnitude > std::numeric_limits<uint64_t>::max() / 10) return false;
                Magnitude *= 10;
            }
        } else {
            const int64_t Keep = Count + Shift;
            if (Keep >= 0) {
                if (Keep > 20 || !AccumulateDigits(P.Digits, static_cast<size_t>(Keep), Magnitude)) return false;
                if (P.Digits[Keep] >= '5') ++Magnitude;  // half away from zero
            }
        }
    }
    const uint64_t Limit = uint64_t(std::numeric_limits<int64_t>::max()) + (P.Negative ? 1 : 0);
    if (Magnitude > Limit) return false;
    Value.Scaled = P.Negative ? static_cast<int64_t>(uint64_t(0) - Magnitude) : static_cast<int64_t>(Magnitude);
    return true;
}

Currency StrToCurr(const std::string& S, const TFormatSettings& Settings) {
    Currency V;
    if (!TryStrToCurr(S, V, Settings)) RaiseInvalid(S, "currency value");
    return V;
}

bool TryFloatToCurr(double Value, Currency& Result) {
    const double Scaled = std::nearbyint(Value * Currency::Scale);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(Scaled >= -9223372036854775808.0 && Scaled < 9223372036854775808.0)) return false;
    Result.Scaled = static_cast<int64_t>(Scaled);
    return true;
}

std::string BoolToStr(bool Value) { return Value ? "True" : "False"; }

bool TryStrToBool(const std::string& S, bool& Value, const TFormatSettings& Settings) {
    const std::string T = Trim(S);
    if (SameText(T, "True")) {
        Value = true;
        return true;
    }
    if (SameText(T, "False")) {
        Value = false;
        return true;
    }
    double D;
    if (!TryStrToFloat(T, D, Settings)) return false;
    Value = D != 0;
    return true;
}

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    const std::string T = Trim(S);
    int Nums[3], Digits[3];
    int Count = 0;
    size_t i = 0;
    for (;;) {
        SkipBlanks(T, i);
        if (Count == 3 || !ScanNumber(T, i, Nums[Count], Digits[Count])) return false;
        ++Count;
        SkipBlanks(T, i);
        if (i == T.size()) break;
        if (T[i] != Settings.DateSeparator) return false;
        ++i;
    }
    if (Count < 2) return false;
    std::string Order = DateOrder(Settings.ShortDateFormat);
    int Year = 0, Month = 0, Day = 0, YearDigits = 4;
    if (Count == 2) {
        Order.erase(Order.find('Y'), 1);
        Year = CurrentYear();
    }
    for (int k = 0; k < Count; ++k) {
        switch (Order[k]) {
            case 'D': Day = Nums[k]; break;
            case 'M': Month = Nums[k]; break;
            default: Year = Nums[k]; YearDigits = Digits[k]; break;
        }
    }
    if (YearDigits <= 2) Year = ExpandYear(Year, CurrentYear());
    return TryEncodeDate(Year, Month, Day, Value);
}

bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    const std::string T = Trim(S);
    size_t i = 0;
    int Parts[3] = {0, 0, 0}, Digits;
    int Count = 0, MSec = 0;
    for (;;) {
        SkipBlanks(T, i);
        if (!ScanNumber(T, i, Parts[Count], Digits)) return false;
        ++Count;
        SkipBlanks(T, i);
        if (Count < 3 && i < T.size() && T[i] == Settings.TimeSeparator) {
            ++i;
            continue;
        }
        break;
    }
    if (Count == 3 && i < T.size() && (T[i] == '.' || T[i] == Settings.DecimalSeparator)) {
        // Fractions of a second: the first three digits are milliseconds.
        ++i;
        int Scale = 100, Read = 0;
        while (i < T.size() && IsDigit(T[i])) {
            MSec += (T[i++] - '0') * Scale;
            Scale /= 10;
            ++Read;
        }
        if (Read == 0) return false;
        SkipBlanks(T, i);
    }
    const std::string Marker = T.substr(i);
    int Hour = Parts[0];
    if (!Marker.empty()) {
        bool Pm;
        if (SameText(Marker, Settings.TimeAMString) || SameText(Marker, "AM") || SameText(Marker, "A"))
            Pm = false;
        else if (SameText(Marker, Settings.TimePMString) || SameText(Marker, "PM") || SameText(Marker, "P"))
            Pm = true;
        else
            return false;
        if (Hour > 12) return false;
        Hour = Hour % 12 + (Pm ? 12 : 0);
    } else if (Count < 2) {
        return false;  // a lone number is not a time
    }
    return TryEncodeTime(Hour, Parts[1], Parts[2], MSec, Value);
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    const std::string T = Trim(S);
    if (TryStrToDate(T, Value, Settings)) return true;
    for (size_t p = 1; p < T.size(); ++p) {
        if (!IsBlank(T[p])) continue;
        TDateTime D, Tm;
        if (TryStrToDate(T.substr(0, p), D, Settings) && TryStrToTime(T.substr(p), Tm, Settings)) {
            Value = ComposeDateTime(D, Tm);
            return true;
        }
    }
    return TryStrToTime(T, Value, Settings);
}

TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToDate(S, V, Settings)) RaiseInvalid(S, "date");
    return V;
}

TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToTime(S, V, Settings)) RaiseInvalid(S, "time");
    return V;
}

TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings) {
    TDateTime V;
    if (!TryStrToDateTime(S, V, Settings)) RaiseInvalid(S, "date and time");
    return V;
}

bool TryReadDateTimeEntry(const std::string& S, TDateTime& Value, unsigned& Parts,
                          const TFormatSettings& Settings) {
    const std::string T = Trim(S);
    size_t i = 0;
    TDateTime D, Tm;
    if (ScanEntryDate(T, i, Settings, D)) {
        if (i == T.size()) {
            Value = D;
            Parts = EntryDate;
            return true;
        }
        // The time follows after blanks, or after the "T" of the ISO form.
        if (!IsBlank(T[i]) && T[i] != 'T') return false;
        if (!TryStrToTime(T.substr(i + 1), Tm, Settings)) return false;
        Value = ComposeDateTime(D, Tm);
        Parts = EntryDate | EntryTime;
        return true;
    }
    if (!TryStrToTime(T, Tm, Settings)) return false;
    Value = Tm;
    Parts = EntryTime;
    return true;
}

}  // namespace qv
