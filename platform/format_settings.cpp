#include "platform/format_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstring>

namespace qv {

namespace {

// A locale separator as one character. Multi-byte UTF-8 spaces (no-break
// space, narrow no-break space, thin space) become a plain blank; any other
// multi-byte or empty text gives Fallback.
char SingleChar(const char* Text, char Fallback) {
    if (!Text || !*Text) return Fallback;
    if (std::strlen(Text) == 1) return Text[0];
    static const char* const Spaces[] = {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89", "\xE2\x80\x8A"};
    for (const char* s : Spaces)
        if (std::strcmp(Text, s) == 0) return ' ';
    return Fallback;
}

std::string LangInfo(nl_item Item) {
    const char* s = nl_langinfo(Item);
    return s ? std::string(s) : std::string();
}

// Replaces the composite strftime specifiers by their parts so that the
// converter only meets simple ones.
std::string ExpandComposites(const std::string& F, int Depth) {
    std::string Out;
    for (size_t i = 0; i < F.size(); ++i) {
        if (F[i] != '%' || i + 1 >= F.size()) {
            Out += F[i];
            continue;
        }
        size_t j = i + 1;
        while (j < F.size() && std::strchr("EO-_0^#", F[j])) ++j;  // modifiers
        if (j >= F.size()) break;
        const char c = F[j];
        std::string Sub;
        switch (c) {
            case 'D': Sub = "%m/%d/%y"; break;
            case 'F': Sub = "%Y-%m-%d"; break;
            case 'T': Sub = "%H:%M:%S"; break;
            case 'R': Sub = "%H:%M"; break;
            case 'r': {
                Sub = LangInfo(T_FMT_AMPM);
                if (Sub.empty() || Depth > 2) Sub = "%I:%M:%S %p";
                break;
            }
            default:
                Out += '%';
                Out += c;
                i = j;
                continue;
        }
        Out += Depth > 3 ? std::string() : ExpandComposites(Sub, Depth + 1);
        i = j;
    }
    return Out;
}

}  // namespace

std::string ConvertCFormat(const std::string& CFormat, char& Separator, char SeparatorCode) {
    const std::string F = ExpandComposites(CFormat, 0);
    const char OtherCode = SeparatorCode == '/' ? ':' : '/';
    bool HaveSeparator = false;
    std::string Out;
    std::string Literal;  // pending literal text that must be quoted
    auto FlushLiteral = [&] {
        if (Literal.empty()) return;
        const char q = Literal.find('"') == std::string::npos ? '"' : '\'';
        Out += q;
        Out += Literal;
        Out += q;
        Literal.clear();
    };
    for (size_t i = 0; i < F.size(); ++i) {
        const char c = F[i];
        if (c == '%' && i + 1 < F.size()) {
            size_t j = i + 1;
            while (j < F.size() && std::strchr("EO-_0^#", F[j])) ++j;
            if (j >= F.size()) break;
            i = j;
            const char* Code = nullptr;
            switch (F[j]) {
                case 'd': Code = "dd"; break;
                case 'e': Code = "d"; break;
                case 'm': Code = "mm"; break;
                // A two-digit year loses the century and cannot be read back
                // without guessing it, so both forms show four digits.
                case 'y': case 'Y': case 'G': Code = "yyyy"; break;
                case 'b': case 'h': Code = "mmm"; break;
                case 'B': Code = "mmmm"; break;
                case 'a': Code = "ddd"; break;
                case 'A': Code = "dddd"; break;
                case 'H': case 'I': Code = "hh"; break;
                case 'k': case 'l': Code = "h"; break;
                case 'M': Code = "nn"; break;
                case 'S': Code = "ss"; break;
                case 'p': case 'P': Code = "ampm"; break;
                case 'n': case 't': Literal += ' '; continue;
                case '%': Literal += '%'; continue;
                default: continue;  // time zones, week numbers: not shown
            }
            FlushLiteral();
            Out += Code;
            continue;
        }
        // Only ASCII punctuation can be a separator: bytes of a multi-byte
        // character are shown as they are.
        const unsigned char u = static_cast<unsigned char>(c);
        const bool Punct = u < 0x80 && std::ispunct(u) && c != '%' && c != '"' && c != '\'';
        if (Punct && !HaveSeparator) {
            Separator = c;
            HaveSeparator = true;
        }
        if (HaveSeparator && c == Separator) {
            FlushLiteral();
            Out += SeparatorCode;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == OtherCode || c == SeparatorCode ||
                   c == '"' || c == '\'') {
            Literal += c;
        } else {
            FlushLiteral();
            Out += c;
        }
    }
    FlushLiteral();
    return Out;
}

TFormatSettings DefaultFormatSettings() { return TFormatSettings(); }

TFormatSettings LocaleFormatSettings() {
    TFormatSettings S;
    if (const lconv* L = localeconv()) {
        S.DecimalSeparator = SingleChar(L->decimal_point, '.');
        const char Fallback = S.DecimalSeparator == ',' ? '.' : ',';
        S.ThousandSeparator = SingleChar(L->thousands_sep, Fallback);
        // The two must differ or numbers could not be read back.
        if (S.ThousandSeparator == S.DecimalSeparator) S.ThousandSeparator = Fallback;
    }

    const std::string DFmt = LangInfo(D_FMT);
    if (!DFmt.empty()) {
        char Sep = S.DateSeparator;
        const std::string Converted = ConvertCFormat(DFmt, Sep, '/');
        // Only a format that names day, month and year can be used to read
        // dates back; anything else keeps the default.
        const bool Complete = Converted.find('d') != std::string::npos &&
                              Converted.find('m') != std::string::npos &&
                              Converted.find('y') != std::string::npos;
        if (Complete) {
            S.ShortDateFormat = Converted;
            S.DateSeparator = Sep;
        }
    }
    const std::string TFmt = LangInfo(T_FMT);
    if (!TFmt.empty()) {
        char Sep = S.TimeSeparator;
        const std::string Converted = ConvertCFormat(TFmt, Sep, ':');
        if (Converted.find('h') != std::string::npos && Converted.find('n') != std::string::npos) {
            S.LongTimeFormat = Converted;
            S.TimeSeparator = Sep;
            std::string Short = Converted;
            const size_t Pos = Short.find(":ss");
            if (Pos != std::string::npos) Short.erase(Pos, 3);
            S.ShortTimeFormat = Short;
        }
    }
    const std::string Am = LangInfo(AM_STR), Pm = LangInfo(PM_STR);
    if (!Am.empty() && !Pm.empty()) {
        S.TimeAMString = Am;
        S.TimePMString = Pm;
    }

    static const nl_item Mon[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6,
                                    MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item AbMon[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4, ABMON_5, ABMON_6,
                                      ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static const nl_item Day[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    static const nl_item AbDay[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    for (int i = 0; i < 12; ++i) {
        std::string Long = LangInfo(Mon[i]), Short = LangInfo(AbMon[i]);
        if (!Long.empty()) S.LongMonthNames[i] = Long;
        if (!Short.empty()) S.ShortMonthNames[i] = Short;
    }
    for (int i = 0; i < 7; ++i) {
        std::string Long = LangInfo(Day[i]), Short = LangInfo(AbDay[i]);
        if (!Long.empty()) S.LongDayNames[i] = Long;
        if (!Short.empty()) S.ShortDayNames[i] = Short;
    }
    return S;
}

TFormatSettings& FormatSettings() {
    // A function-local static avoids depending on the order in which the
    // static initialisers of other translation units run.
    static TFormatSettings Settings = LocaleFormatSettings();
    return Settings;
}

void ReloadFormatSettings() { FormatSettings() = LocaleFormatSettings(); }

}  // namespace qv
