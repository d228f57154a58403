#include "platform/format_datetime.h"

#include <cctype>

namespace qv {

namespace {

struct TParts {
    int Year, Month, Day, Hour, Min, Sec, MSec, DayOfWeek;
};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool MatchesAt(const std::string& F, size_t i, const char* Word) {
    for (size_t k = 0; Word[k]; ++k)
        if (i + k >= F.size() || Upper(F[i + k]) != Upper(Word[k])) return false;
    return true;
}

// Whether the format (outside quotes) asks for a 12-hour clock.
bool HasAmPm(const std::string& F) {
    char Quote = 0;
    for (size_t i = 0; i < F.size(); ++i) {
        const char c = F[i];
        if (Quote) {
            if (c == Quote) Quote = 0;
        } else if (c == '"' || c == '\'') {
            Quote = c;
        } else if (MatchesAt(F, i, "am/pm") || MatchesAt(F, i, "a/p") || MatchesAt(F, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void AppendNumber(std::string& Out, int Value, int Width) {
    std::string S = std::to_string(Value);
    if (static_cast<int>(S.size()) < Width) S.insert(0, Width - S.size(), '0');
    Out += S;
}

// Nested formats (ddddd, c, t …) may name further formats; the depth limit
// keeps a settings record whose formats refer to themselves from recursing
// without end.
void Append(std::string& Out, const std::string& F, const TParts& P, const TFormatSettings& S, int Depth) {
    if (Depth > 3) return;
    const bool Twelve = HasAmPm(F);
    char LastToken = 0;
    const size_t N = F.size();
    size_t i = 0;
    while (i < N) {
        const char c = F[i];
        if (c == '"' || c == '\'') {
            size_t j = F.find(c, i + 1);
            if (j == std::string::npos) j = N;
            Out.append(F, i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (c == '/') {
            Out += S.DateSeparator;
            ++i;
            continue;
        }
        if (c == ':') {
            Out += S.TimeSeparator;
            ++i;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            Out += c;
            ++i;
            continue;
        }
        char Token = Upper(c);
        if (Token == 'A') {
            const bool Pm = P.Hour >= 12;
            if (MatchesAt(F, i, "am/pm")) {
                Out.append(F, Pm ? i + 3 : i, 2);
                i += 5;
            } else if (MatchesAt(F, i, "a/p")) {
                Out += F[Pm ? i + 2 : i];
                i += 3;
            } else if (MatchesAt(F, i, "ampm")) {
                Out += Pm ? S.TimePMString : S.TimeAMString;
                i += 4;
            } else {
                Out += c;
                ++i;
            }
            LastToken = 'A';
            continue;
        }
        size_t Count = 1;
        while (i + Count < N && Upper(F[i + Count]) == Token) ++Count;
        if (Token == 'M' && LastToken == 'H' && Count <= 2) Token = 'N';
        LastToken = Token;
        switch (Token) {
            case 'Y':
                if (Count <= 2)
                    AppendNumber(Out, P.Year % 100, 2);
                else
                    AppendNumber(Out, P.Year, 4);
                break;
            case 'M':
                if (Count <= 2)
                    AppendNumber(Out, P.Month, static_cast<int>(Count));
                else
                    Out += Count == 3 ? S.ShortMonthNames[P.Month - 1] : S.LongMonthNames[P.Month - 1];
                break;
            case 'D':
                switch (Count) {
                    case 1: case 2: AppendNumber(Out, P.Day, static_cast<int>(Count)); break;
                    case 3: Out += S.ShortDayNames[P.DayOfWeek - 1]; break;
                    case 4: Out += S.LongDayNames[P.DayOfWeek - 1]; break;
                    case 5: Append(Out, S.ShortDateFormat, P, S, Depth + 1); break;
                    default: Append(Out, S.LongDateFormat, P, S, Depth + 1); break;
                }
                break;
            case 'H': {
                int H = P.Hour;
                if (Twelve) H = H % 12 == 0 ? 12 : H % 12;
                AppendNumber(Out, H, Count >= 2 ? 2 : 1);
                break;
            }
            case 'N': AppendNumber(Out, P.Min, Count >= 2 ? 2 : 1); break;
            case 'S': AppendNumber(Out, P.Sec, Count >= 2 ? 2 : 1); break;
            case 'Z': AppendNumber(Out, P.MSec, Count >= 2 ? 3 : 1); break;
            case 'T':
                Append(Out, Count >= 2 ? S.LongTimeFormat : S.ShortTimeFormat, P, S, Depth + 1);
                break;
            case 'C':
                Append(Out, S.ShortDateFormat, P, S, Depth + 1);
                if (P.Hour || P.Min || P.Sec || P.MSec) {
                    Out += ' ';
                    Append(Out, S.LongTimeFormat, P, S, Depth + 1);
                }
                break;
            default:
                Out.append(F, i, Count);  // not a code: shown as written
                break;
        }
        i += Count;
    }
}

}  // namespace

std::string FormatDateTime(const std::string& Format, TDateTime Value, const TFormatSettings& Settings) {
    TParts P;
    DecodeDateTime(Value, P.Year, P.Month, P.Day, P.Hour, P.Min, P.Sec, P.MSec);
    P.DayOfWeek = DayOfWeek(Value);
    std::string Out;
    Append(Out, Format.empty() ? std::string("c") : Format, P, Settings, 0);
    return Out;
}

std::string DateToStr(TDateTime Value, const TFormatSettings& Settings) {
    return FormatDateTime("ddddd", Value, Settings);
}

std::string TimeToStr(TDateTime Value, const TFormatSettings& Settings) {
    return FormatDateTime("tt", Value, Settings);
}

std::string DateTimeToStr(TDateTime Value, const TFormatSettings& Settings) {
    return FormatDateTime("c", Value, Settings);
}

}  // namespace qv
