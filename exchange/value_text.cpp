#include "exchange/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/strings_cell.h"
#include "platform/conversions.h"
#include "platform/date_time.h"

namespace qv {

const char* const IsoDateFormat = "yyyy-mm-dd";
const char* const IsoDateTimeFormat = "yyyy-mm-dd hh:nn:ss";

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Exactly N digits at S[At..]; their value in V.
bool Digits(std::string_view S, size_t At, size_t N, int& V) {
    if (At + N > S.size()) return false;
    V = 0;
    for (size_t i = At; i < At + N; ++i) {
        if (!IsDigit(S[i])) return false;
        V = V * 10 + (S[i] - '0');
    }
    return true;
}

// yyyy-mm-dd, optionally followed by a blank or T and hh:mm, :ss, .fff.
bool DetectDate(std::string_view S, TTextValue& Out) {
    int y, m, d;
    if (S.size() < 10 || !Digits(S, 0, 4, y) || S[4] != '-' || !Digits(S, 5, 2, m) || S[7] != '-' ||
        !Digits(S, 8, 2, d))
        return false;
    TDateTime date;
    if (!TryEncodeDate(y, m, d, date)) return false;
    if (S.size() == 10) {
        Out = {tvDate, 0, date};
        return true;
    }
    int hh, mm, ss = 0, ms = 0;
    if ((S[10] != ' ' && S[10] != 'T') || !Digits(S, 11, 2, hh) || S.size() < 16 || S[13] != ':' ||
        !Digits(S, 14, 2, mm))
        return false;
    size_t at = 16;
    if (at < S.size()) {
        if (S[at] != ':' || !Digits(S, at + 1, 2, ss)) return false;
        at += 3;
        if (at < S.size()) {
            // One to three fraction digits.
            if (S[at] != '.') return false;
            const size_t n = S.size() - at - 1;
            if (n < 1 || n > 3 || !Digits(S, at + 1, n, ms)) return false;
            for (size_t k = n; k < 3; ++k) ms *= 10;
            at = S.size();
        }
    }
    TDateTime time;
    if (!TryEncodeTime(hh, mm, ss, ms, time)) return false;
    Out = {tvDateTime, 0, ComposeDateTime(date, time)};
    return true;
}

}  // namespace

TTextValue DetectTextValue(std::string_view S) {
    TTextValue r;
    if (S.empty() || S.size() > 64) return r;
    const char first = S[0];
    if (IsDigit(first) && S.size() >= 10 && S[4] == '-') return DetectDate(S, r) ? r : TTextValue{};

    // Sign, integer digits, fraction, exponent: the shape is checked here so
    // that from_chars accepts nothing more (no "inf", "nan", hex or blanks).
    size_t i = 0;
    if (S[i] == '-' || S[i] == '+') ++i;
    const size_t intStart = i;
    while (i < S.size() && IsDigit(S[i])) ++i;
    const size_t intDigits = i - intStart;
    size_t fracDigits = 0;
    bool decimal = false;
    if (i < S.size() && S[i] == '.') {
        decimal = true;
        ++i;
        const size_t f = i;
        while (i < S.size() && IsDigit(S[i])) ++i;
        fracDigits = i - f;
    }
    if (intDigits + fracDigits == 0) return r;
    if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
        decimal = true;
        ++i;
        if (i < S.size() && (S[i] == '-' || S[i] == '+')) ++i;
        const size_t e = i;
        while (i < S.size() && IsDigit(S[i])) ++i;
        if (i == e) return r;
    }
    if (i != S.size()) return r;
    // "007" and "00.5" keep their zeros: they are codes, not numbers.
    if (intDigits > 1 && S[intStart] == '0') return r;

    const char* begin = S.data() + (first == '+' ? 1 : 0);
    const char* end = S.data() + S.size();
    if (!decimal) {
        int64_t v = 0;
        if (intDigits <= 18 && std::from_chars(begin, end, v).ec == std::errc() && v >= INT32_MIN &&
            v <= INT32_MAX) {
            r.Kind = tvInteger;
            r.Integer = static_cast<int32_t>(v);
            return r;
        }
        // Too long for an integer cell: a double while no digit is lost.
        if (intDigits > 15) return r;
    }
    double d = 0;
    if (std::from_chars(begin, end, d).ec != std::errc() || !std::isfinite(d)) return r;
    r.Kind = tvDouble;
    r.Number = d;
    return r;
}

std::string ExactDoubleText(double V) {
    if (V == 0) return "0";  // no "-0"
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, V);
    return std::string(buf, res.ptr);
}

std::string IsoDateText(double DateTime) {
    int y, m, d, hh, mm, ss, ms;
    if (!TryDecodeDateTime(DateTime, y, m, d, hh, mm, ss, ms)) return ExactDoubleText(DateTime);
    char buf[48];
    if (hh == 0 && mm == 0 && ss == 0 && ms == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    else if (ms == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, hh, mm, ss);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, hh, mm, ss, ms);
    return buf;
}

std::string CellValueText(TQvCell* Cell, bool Raw) {
    if (!Cell || dynamic_cast<TQvCPicture*>(Cell)) return {};
    // A number or date cell without a value has no text, not "0".
    if (auto* n = dynamic_cast<TQvCNumber*>(Cell); n && n->Blank()) return {};
    if (auto* dt = dynamic_cast<TQvCDateTime*>(Cell); dt && dt->Blank()) return {};
    if (auto* b = dynamic_cast<TQvCBoolean*>(Cell)) return BoolToStr(b->AsBoolean());
    if (Raw) {
        if (auto* i = dynamic_cast<TQvCInteger*>(Cell)) return std::to_string(i->AsInteger());
        if (auto* f = dynamic_cast<TQvCDouble*>(Cell)) return ExactDoubleText(f->AsFloat());
        if (auto* c = dynamic_cast<TQvCCurrency*>(Cell)) {
            // The scaled integer written out with up to four decimals.
            const int64_t s = c->AsCurrency().Scaled;
            const uint64_t a = s < 0 ? 0 - static_cast<uint64_t>(s) : static_cast<uint64_t>(s);
            std::string t = std::to_string(a / 10000);
            if (uint64_t frac = a % 10000) {
                char f[8];
                std::snprintf(f, sizeof f, "%04u", static_cast<unsigned>(frac));
                std::string fs = f;
                while (fs.back() == '0') fs.pop_back();
                t += "." + fs;
            }
            return s < 0 ? "-" + t : t;
        }
        if (auto* dt = dynamic_cast<TQvCDateTime*>(Cell)) return IsoDateText(dt->AsDateTime());
    }
    try {
        return Cell->GetText();
    } catch (const std::exception&) {
        // A value its format cannot show (a date out of range) exports as
        // its raw value rather than failing the whole export.
        return Raw ? std::string() : CellValueText(Cell, true);
    }
}

}  // namespace qv
