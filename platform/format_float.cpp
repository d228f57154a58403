#include "platform/format_float.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qv {

namespace {

// A number in decimal form: value = ±0.Digits × 10^Exponent.
// Invariant: Digits has no leading or trailing zeros; empty means zero.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;

    bool IsZero() const { return Digits.empty(); }
    // The digit whose place value is 10^Place.
    char DigitAt(int Place) const {
        const int i = Exponent - 1 - Place;
        return i >= 0 && i < static_cast<int>(Digits.size()) ? Digits[i] : '0';
    }
};

void Normalise(TDecimal& D) {
    const size_t First = D.Digits.find_first_not_of('0');
    if (First == std::string::npos) {
        D.Digits.clear();
        D.Exponent = 0;
        return;
    }
    D.Digits.erase(0, First);
    D.Exponent -= static_cast<int>(First);
    D.Digits.erase(D.Digits.find_last_not_of('0') + 1);
}

// The value's decimal form at 15 significant digits: this is where binary
// noise is cut off, so 12.345 becomes 1234500000000000e-14 exactly.
TDecimal DecimalOf(double V) {
    TDecimal D;
    char Buf[64];
    const auto R = std::to_chars(Buf, Buf + sizeof Buf, std::fabs(V), std::chars_format::scientific, 14);
    const std::string S(Buf, R.ptr);  // d.dddddddddddddde±xx
    const size_t E = S.find('e');
    D.Digits = S.substr(0, 1) + S.substr(2, E - 2);
    D.Exponent = std::atoi(S.c_str() + E + 1) + 1;
    Normalise(D);
    D.Negative = V < 0 && !D.IsZero();
    return D;
}

TDecimal DecimalOf(Currency C) {
    TDecimal D;
    const uint64_t Magnitude =
        C.Scaled < 0 ? uint64_t(0) - static_cast<uint64_t>(C.Scaled) : static_cast<uint64_t>(C.Scaled);
    D.Digits = std::to_string(Magnitude);
    D.Exponent = static_cast<int>(D.Digits.size()) - 4;
    Normalise(D);
    D.Negative = C.Scaled < 0;
    return D;
}

// Keeps the first Keep significant digits, rounding half away from zero.
void RoundDigits(TDecimal& D, int Keep) {
    if (D.IsZero() || Keep >= static_cast<int>(D.Digits.size())) return;
    if (Keep < 0) {
        D.Digits.clear();
        D.Exponent = 0;
        return;
    }
    const bool Up = D.Digits[Keep] >= '5';
    D.Digits.resize(Keep);
    if (Up) {
        int i = Keep - 1;
        while (i >= 0 && D.Digits[i] == '9') D.Digits[i--] = '0';
        if (i < 0) {
            D.Digits.insert(D.Digits.begin(), '1');
            ++D.Exponent;
        } else {
            ++D.Digits[i];
        }
    }
    Normalise(D);
}

// Rounds to Decimals digits after the decimal point.
void RoundDecimals(TDecimal& D, int Decimals) {
    if (!D.IsZero()) RoundDigits(D, D.Exponent + Decimals);
}

std::string General(TDecimal D, const TFormatSettings& S) {
    RoundDigits(D, 15);
    if (D.IsZero()) return "0";
    std::string Out = D.Negative ? "-" : "";
    const int E = D.Exponent;
    const int N = static_cast<int>(D.Digits.size());
    if (E > 15 || E < -4) {
        Out += D.Digits[0];
        if (N > 1) {
            Out += S.DecimalSeparator;
            Out += D.Digits.substr(1);
        }
        Out += 'E';
        Out += std::to_string(E - 1);
    } else if (E <= 0) {
        Out += '0';
        Out += S.DecimalSeparator;
        Out += std::string(-E, '0');
        Out += D.Digits;
    } else {
        Out += D.Digits.substr(0, std::min(E, N));
        if (E > N) Out += std::string(E - N, '0');
        if (N > E) {
            Out += S.DecimalSeparator;
            Out += D.Digits.substr(E);
        }
    }
    return Out;
}

std::vector<std::string> SplitSections(const std::string& F) {
    std::vector<std::string> Sections(1);
    char Quote = 0;
    for (const char c : F) {
        if (Quote) {
            if (c == Quote) Quote = 0;
        } else if (c == '"' || c == '\'') {
            Quote = c;
        } else if (c == ';') {
            if (Sections.size() == 3) break;  // a fourth section is ignored
            Sections.emplace_back();
            continue;
        }
        Sections.back() += c;
    }
    return Sections;
}

enum TTokenKind { tkLiteral, tkInt, tkPoint, tkFrac, tkExp };

struct TToken {
    TTokenKind Kind;
    std::string Text;   // literal text; for tkExp the letter
    char Sign = '+';    // tkExp: '+' always shows the sign, '-' only a minus
    int ExpDigits = 0;  // tkExp: minimum exponent digits
};

struct TSection {
    std::vector<TToken> Tokens;
    int IntPlaces = 0, MinInt = 0, FracPlaces = 0, MinFrac = 0;
    bool Thousands = false, Scientific = false;
};

TSection ParseSection(const std::string& F) {
    TSection S;
    bool HasPoint = false;
    int FirstZero = -1;
    const size_t N = F.size();
    for (size_t i = 0; i < N; ++i) {
        const char c = F[i];
        if (c == '"' || c == '\'') {
            size_t j = F.find(c, i + 1);
            if (j == std::string::npos) j = N;
            S.Tokens.push_back({tkLiteral, F.substr(i + 1, j - i - 1)});
            i = j;
        } else if ((c == '0' || c == '#') && !S.Scientific) {
            if (!HasPoint) {
                if (c == '0' && FirstZero < 0) FirstZero = S.IntPlaces;
                ++S.IntPlaces;
                S.Tokens.push_back({tkInt, {}});
            } else {
                ++S.FracPlaces;
                if (c == '0') S.MinFrac = S.FracPlaces;
                S.Tokens.push_back({tkFrac, {}});
            }
        } else if (c == '.' && !HasPoint && !S.Scientific) {
            HasPoint = true;
            S.Tokens.push_back({tkPoint, {}});
        } else if (c == ',' && !S.Scientific) {
            if (!HasPoint) S.Thousands = true;
        } else if ((c == 'E' || c == 'e') && !S.Scientific && i + 2 < N && (F[i + 1] == '+' || F[i + 1] == '-') &&
                   F[i + 2] == '0') {
            TToken T{tkExp, std::string(1, c), F[i + 1]};
            size_t j = i + 2;
            while (j < N && F[j] == '0') ++j;
            T.ExpDigits = static_cast<int>(j - (i + 2));
            S.Tokens.push_back(T);
            S.Scientific = true;
            i = j - 1;
        } else {
            if (!S.Tokens.empty() && S.Tokens.back().Kind == tkLiteral)
                S.Tokens.back().Text += c;
            else
                S.Tokens.push_back({tkLiteral, std::string(1, c)});
        }
    }
    S.MinInt = FirstZero < 0 ? 0 : S.IntPlaces - FirstZero;
    return S;
}

// Formats the non-negative value D with one section. RoundedToZero tells
// whether the shown digits are all zero.
std::string RenderSection(const TSection& Sec, TDecimal D, const TFormatSettings& Settings, bool& RoundedToZero) {
    D.Negative = false;
    std::string IntStr, FracStr;
    int Exp = 0;
    const int F = Sec.FracPlaces;
    if (Sec.Scientific) {
        const int P = Sec.IntPlaces;
        if (!D.IsZero()) {
            // The mantissa shows P integer digits, so the first of them is the
            // first significant digit.
            RoundDigits(D, std::max(P + F, 1));
            Exp = D.Exponent - P;
            std::string M = D.Digits;
            if (static_cast<int>(M.size()) < P + F) M.append(P + F - M.size(), '0');
            IntStr = M.substr(0, P);
            FracStr = M.substr(P, F);
        } else {
            // Zero fills the mantissa's integer placeholders as any other
            // value does: "#.#E+000" shows 0 as 0E+000.
            IntStr = std::string(P, '0');
            FracStr = std::string(F, '0');
        }
    } else {
        RoundDecimals(D, F);
        for (int p = D.Exponent - 1; p >= 0 && !D.IsZero(); --p) IntStr += D.DigitAt(p);
        if (static_cast<int>(IntStr.size()) < Sec.MinInt) IntStr.insert(0, Sec.MinInt - IntStr.size(), '0');
        for (int k = 1; k <= F; ++k) FracStr += D.DigitAt(-k);
    }
    while (static_cast<int>(FracStr.size()) > Sec.MinFrac && FracStr.back() == '0') FracStr.pop_back();
    RoundedToZero = D.IsZero();

    const int N = static_cast<int>(IntStr.size());
    const bool Group = Sec.Thousands && !Sec.Scientific;
    std::string Out;
    auto EmitIntDigit = [&](int Index) {
        Out += IntStr[Index];
        const int Place = N - 1 - Index;
        if (Group && Place > 0 && Place % 3 == 0) Out += Settings.ThousandSeparator;
    };
    int IntIndex = 0, FracIndex = 0;
    for (const TToken& T : Sec.Tokens) {
        switch (T.Kind) {
            case tkLiteral:
                Out += T.Text;
                break;
            case tkInt: {
                if (IntIndex == 0)  // digits beyond the placeholders go first
                    for (int i = 0; i < N - Sec.IntPlaces; ++i) EmitIntDigit(i);
                const int Place = Sec.IntPlaces - 1 - IntIndex;
                if (Place < N) EmitIntDigit(N - 1 - Place);
                ++IntIndex;
                break;
            }
            case tkPoint:
                if (Sec.IntPlaces == 0)
                    for (int i = 0; i < N; ++i) EmitIntDigit(i);
                if (!FracStr.empty()) Out += Settings.DecimalSeparator;
                break;
            case tkFrac:
                if (FracIndex < static_cast<int>(FracStr.size())) Out += FracStr[FracIndex];
                ++FracIndex;
                break;
            case tkExp: {
                Out += T.Text;
                if (Exp < 0)
                    Out += '-';
                else if (T.Sign == '+')
                    Out += '+';
                std::string Digits = std::to_string(Exp < 0 ? -Exp : Exp);
                if (static_cast<int>(Digits.size()) < T.ExpDigits) Digits.insert(0, T.ExpDigits - Digits.size(), '0');
                Out += Digits;
                break;
            }
        }
    }
    return Out;
}

std::string FormatDecimal(const std::string& Format, const TDecimal& D, const TFormatSettings& Settings) {
    if (Format.empty()) return General(D, Settings);
    const std::vector<std::string> Sections = SplitSections(Format);
    const bool HasZeroSection = Sections.size() >= 3 && !Sections[2].empty();
    size_t Index = 0;
    if (D.Negative && Sections.size() >= 2 && !Sections[1].empty())
        Index = 1;
    else if (D.IsZero() && HasZeroSection)
        Index = 2;
    if (Sections[Index].empty()) return General(D, Settings);

    bool Zero = false;
    const std::string Out = RenderSection(ParseSection(Sections[Index]), D, Settings, Zero);
    if (Zero && !D.IsZero()) {
        // The value shows as zero: show it as zero, never as "-0".
        if (HasZeroSection) return RenderSection(ParseSection(Sections[2]), TDecimal{}, Settings, Zero);
        if (Index == 1)
            return Sections[0].empty() ? std::string("0")
                                       : RenderSection(ParseSection(Sections[0]), TDecimal{}, Settings, Zero);
        return Out;
    }
    return D.Negative && Index == 0 ? "-" + Out : Out;
}

}  // namespace

std::string FormatFloat(const std::string& Format, double Value, const TFormatSettings& Settings) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
    return FormatDecimal(Format, DecimalOf(Value), Settings);
}

std::string FormatCurr(const std::string& Format, Currency Value, const TFormatSettings& Settings) {
    return FormatDecimal(Format, DecimalOf(Value), Settings);
}

std::string FloatToStr(double Value, const TFormatSettings& Settings) { return FormatFloat("", Value, Settings); }

std::string CurrToStr(Currency Value, const TFormatSettings& Settings) { return FormatCurr("", Value, Settings); }

}  // namespace qv
