#include "exchange/xlsx_formats.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace qv {

namespace {

// A literal as the file format reads it: inside double quotes, with a
// double quote itself written through a backslash. The characters in Bare
// stand for themselves there and are written as they are.
void AppendLiteral(std::string& Out, const std::string& Text, const char* Bare = "") {
    std::string run;
    auto flush = [&] {
        if (!run.empty()) Out += "\"" + run + "\"";
        run.clear();
    };
    for (char c : Text) {
        if (c != 0 && std::strchr(Bare, c)) {
            flush();
            Out += c;
        } else if (c == '"') {
            flush();
            Out += "\\\"";
        } else {
            run += c;
        }
    }
    flush();
}

// Splits at ';' outside quotes; false on an unclosed quote.
bool SplitSections(const std::string& F, std::vector<std::string>& Sections) {
    Sections.assign(1, {});
    char quote = 0;
    for (char c : F) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            Sections.emplace_back();
            continue;
        }
        Sections.back() += c;
    }
    return quote == 0;
}

bool TranslateNumberSection(const std::string& S, std::string& Out) {
    // The thousands flag holds for the whole section: drop every ',' and put
    // one back between the integer placeholders.
    bool thousands = false;
    std::string body;
    char quote = 0;
    for (char c : S) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ',') {
            thousands = true;
            continue;
        }
        body += c;
    }
    bool intDone = false;  // past the integer placeholders
    bool wroteComma = false;
    std::string literal;
    auto flush = [&] {
        AppendLiteral(Out, literal, " -()$+");
        literal.clear();
    };
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"' || c == '\'') {
            const size_t end = body.find(c, i + 1);
            literal += body.substr(i + 1, end - i - 1);
            i = end;
            continue;
        }
        if (c == '0' || c == '#') {
            flush();
            if (thousands && !intDone && !wroteComma) {
                // The run of integer placeholders that starts here.
                size_t n = 0;
                while (i + n < body.size() && (body[i + n] == '0' || body[i + n] == '#')) ++n;
                std::string run = body.substr(i, n);
                if (run.size() < 4) run = std::string(4 - run.size(), '#') + run;
                Out += run.substr(0, 1) + "," + run.substr(1);
                wroteComma = true;
                i += n - 1;
                continue;
            }
            Out += c;
            continue;
        }
        if (c == '.') {
            flush();
            intDone = true;
            Out += c;
            continue;
        }
        if ((c == 'E' || c == 'e') && i + 2 < body.size() && (body[i + 1] == '+' || body[i + 1] == '-') &&
            body[i + 2] == '0') {
            flush();
            intDone = true;
            Out += c;
            Out += body[i + 1];
            ++i;
            continue;
        }
        literal += c;
    }
    flush();
    return true;
}

}  // namespace

bool TranslateNumberFormat(const std::string& Format, std::string& Out) {
    Out.clear();
    if (Format.empty()) {
        Out = "General";
        return true;
    }
    std::vector<std::string> sections;
    if (!SplitSections(Format, sections) || sections.size() > 3) return false;
    for (size_t k = 0; k < sections.size(); ++k) {
        if (k > 0) Out += ';';
        std::string s = sections[k];
        // An empty section shows the value with the first one; a negative
        // value then keeps its minus sign.
        if (s.empty() && k > 0 && !sections[0].empty()) {
            if (k == 1) Out += "-";
            s = sections[0];
        }
        if (!TranslateNumberSection(s, Out)) return false;
    }
    return true;
}

bool TranslateDateFormat(const std::string& Format, std::string& Out, const TFormatSettings& Settings) {
    Out.clear();
    const std::string f = Format.empty() ? "c" : Format;
    std::string literal;
    auto flush = [&] {
        AppendLiteral(Out, literal, " -/:.,()");
        literal.clear();
    };
    int depth = 0;  // named formats expand into further codes, once
    std::string src = f;
    for (size_t i = 0; i < src.size();) {
        const char c = src[i];
        const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size_t n = 1;
        while (i + n < src.size() && std::tolower(static_cast<unsigned char>(src[i + n])) == lc) ++n;
        auto code = [&](const std::string& Code) {
            flush();
            Out += Code;
        };
        auto expand = [&](const std::string& Named) {
            if (++depth > 8) return false;
            src = src.substr(0, i) + Named + src.substr(i + n);
            return true;
        };
        if (c == '"' || c == '\'') {
            const size_t end = src.find(c, i + 1);
            if (end == std::string::npos) return false;
            literal += src.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (src.compare(i, 5, "am/pm") == 0 || src.compare(i, 5, "AM/PM") == 0) {
            code("AM/PM");
            i += 5;
            continue;
        }
        if (src.compare(i, 3, "a/p") == 0 || src.compare(i, 3, "A/P") == 0) {
            code("A/P");
            i += 3;
            continue;
        }
        if ((lc == 'a') && i + 4 <= src.size() &&
            std::tolower(static_cast<unsigned char>(src[i + 1])) == 'm' &&
            std::tolower(static_cast<unsigned char>(src[i + 2])) == 'p' &&
            std::tolower(static_cast<unsigned char>(src[i + 3])) == 'm') {
            code("AM/PM");
            i += 4;
            continue;
        }
        switch (lc) {
            case 'd':
                if (n == 5) {
                    if (!expand(Settings.ShortDateFormat)) return false;
                    continue;
                }
                if (n >= 6) {
                    if (!expand(Settings.LongDateFormat)) return false;
                    continue;
                }
                code(std::string(n, 'd'));
                break;
            case 'm':
                // m and mm right after an hour are minutes, as in the file
                // format itself.
                code(std::string(std::min<size_t>(n, 4), 'm'));
                break;
            case 'y': code(n <= 2 ? "yy" : "yyyy"); break;
            case 'h':
                code(n == 1 ? "h" : "hh");
                break;
            case 'n': code(n == 1 ? "m" : "mm"); break;
            case 's': code(n == 1 ? "s" : "ss"); break;
            case 'z': code(n < 3 ? "0" : "000"); break;
            case 'c':
                if (!expand(Settings.ShortDateFormat + " " + Settings.LongTimeFormat)) return false;
                continue;
            case 't':
                if (!expand(n == 1 ? Settings.ShortTimeFormat : Settings.LongTimeFormat)) return false;
                continue;
            case '/':
                literal += Settings.DateSeparator;
                break;
            case ':':
                literal += Settings.TimeSeparator;
                break;
            default:
                literal += src.substr(i, n);
                break;
        }
        i += n;
    }
    flush();
    return true;
}

}  // namespace qv

namespace qv {

namespace {

// One section of a file code split into tokens: what stands for itself is
// gathered as literal text, the rest are codes.
struct TFileToken {
    bool Literal = false;
    std::string Text;
};

// Splits a section into codes and literals; false on an unclosed quote.
// Colours and locale tags in brackets go, except a currency symbol
// ("[$€-407]" keeps "€"); a condition or an elapsed-time code in brackets
// sets Unsupported.
bool Tokenise(const std::string& S, std::vector<TFileToken>& Out, bool& Unsupported) {
    auto literal = [&](const std::string& T) {
        if (!Out.empty() && Out.back().Literal)
            Out.back().Text += T;
        else
            Out.push_back({true, T});
    };
    for (size_t i = 0; i < S.size(); ++i) {
        const char c = S[i];
        if (c == '"') {
            const size_t end = S.find('"', i + 1);
            if (end == std::string::npos) return false;
            literal(S.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '\\') {
            if (i + 1 < S.size()) literal(S.substr(++i, 1));
        } else if (c == '_') {
            ++i;  // room as wide as the next character
            literal(" ");
        } else if (c == '*') {
            ++i;  // fills the cell with the next character: nothing here
        } else if (c == '[') {
            const size_t end = S.find(']', i + 1);
            if (end == std::string::npos) return false;
            const std::string tag = S.substr(i + 1, end - i - 1);
            if (!tag.empty() && tag[0] == '$') {
                const size_t dash = tag.find('-');
                literal(tag.substr(1, dash == std::string::npos ? std::string::npos : dash - 1));
            } else if (!tag.empty() && (std::strchr("<>=", tag[0]) || std::strchr("hHmMsS", tag[0]))) {
                Unsupported = true;
            }
            i = end;
        } else {
            Out.push_back({false, std::string(1, c)});
        }
    }
    return true;
}

bool IsDateCode(char C) { return std::strchr("dDmMyYhHsS", C) != nullptr; }

// Quotes what the language would read as codes; the characters in Bare
// stand for themselves there.
void PutLiteral(std::string& Out, const std::string& Text, const char* Bare) {
    std::string run;
    for (char c : Text) {
        if (std::strchr(Bare, c) && c != 0) {
            if (!run.empty()) Out += "\"" + run + "\"";
            run.clear();
            Out += c;
        } else if (c == '"') {
            if (!run.empty()) Out += "\"" + run + "\"";
            run.clear();
            Out += "'\"'";
        } else {
            run += c;
        }
    }
    if (!run.empty()) Out += "\"" + run + "\"";
}

bool DateSection(const std::vector<TFileToken>& T, std::string& Out, const TFormatSettings& Settings) {
    // m and mm are minutes right after an hour or right before a second,
    // as the file format reads them.
    auto lower = [](char C) { return static_cast<char>(std::tolower(static_cast<unsigned char>(C))); };
    for (size_t i = 0; i < T.size();) {
        if (T[i].Literal) {
            PutLiteral(Out, T[i].Text, " -.,()");
            ++i;
            continue;
        }
        const char c = lower(T[i].Text[0]);
        size_t n = 1;
        while (i + n < T.size() && !T[i + n].Literal && lower(T[i + n].Text[0]) == c) ++n;
        auto next = [&](size_t From) {
            for (size_t k = From; k < T.size(); ++k)
                if (!T[k].Literal && IsDateCode(T[k].Text[0])) return lower(T[k].Text[0]);
            return '\0';
        };
        auto previous = [&]() {
            for (size_t k = i; k-- > 0;)
                if (!T[k].Literal && IsDateCode(T[k].Text[0])) return lower(T[k].Text[0]);
            return '\0';
        };
        std::string rest;
        for (size_t k = i; k < T.size() && k < i + 5; ++k) rest += T[k].Literal ? '\x01' : lower(T[k].Text[0]);
        if (rest.compare(0, 5, "am/pm") == 0) {
            Out += "am/pm";
            i += 5;
            continue;
        }
        if (rest.compare(0, 3, "a/p") == 0) {
            Out += "a/p";
            i += 3;
            continue;
        }
        switch (c) {
            case 'd': Out += std::string(std::min<size_t>(n, 4), 'd'); break;
            case 'y': Out += n <= 2 ? "yy" : "yyyy"; break;
            case 'h': Out += n == 1 ? "h" : "hh"; break;
            case 's': Out += n == 1 ? "s" : "ss"; break;
            case 'm':
                if (n <= 2 && (previous() == 'h' || next(i + n) == 's'))
                    Out += n == 1 ? "n" : "nn";
                else
                    Out += std::string(std::min<size_t>(n, 4), 'm');
                break;
            case '0':
                // Fractions of a second after a decimal point.
                Out += "zzz";
                break;
            case '/':
                if (Settings.DateSeparator == '/') Out += '/'; else PutLiteral(Out, "/", "");
                break;
            case ':':
                if (Settings.TimeSeparator == ':') Out += ':'; else PutLiteral(Out, ":", "");
                break;
            case ' ': case '-': case '.': case ',': case '(': case ')': Out += std::string(n, c); break;
            default: return false;  // era years, week days by number, text: no equivalent
        }
        i += n;
    }
    return true;
}

bool NumberSection(const std::vector<TFileToken>& T, std::string& Out, bool& Percent) {
    for (const TFileToken& t : T) {
        if (t.Literal) {
            PutLiteral(Out, t.Text, " -()$+");
            continue;
        }
        const char c = t.Text[0];
        if (std::strchr("0#.,", c)) {
            Out += c;
        } else if (c == '?') {
            Out += '#';  // a digit or a space: the language has the digit or nothing
        } else if (c == 'E' || c == 'e') {
            Out += 'E';
        } else if (c == '%') {
            Percent = true;
            Out += '%';
        } else if (c == '/' || c == '@') {
            return false;  // fractions; text inside a number section
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            PutLiteral(Out, t.Text, "");
        } else {
            Out += c;
        }
    }
    return true;
}

}  // namespace

const char* BuiltinFileFormat(size_t Id) {
    switch (Id) {
        case 0: return "General";
        case 1: return "0";
        case 2: return "0.00";
        case 3: return "#,##0";
        case 4: return "#,##0.00";
        case 9: return "0%";
        case 10: return "0.00%";
        case 11: return "0.00E+00";
        case 12: return "# ?/?";
        case 13: return "# ?\?/?\?";  // escaped: "??/" is a trigraph
        case 14: return "mm-dd-yy";
        case 15: return "d-mmm-yy";
        case 16: return "d-mmm";
        case 17: return "mmm-yy";
        case 18: return "h:mm AM/PM";
        case 19: return "h:mm:ss AM/PM";
        case 20: return "h:mm";
        case 21: return "h:mm:ss";
        case 22: return "m/d/yy h:mm";
        case 37: return "#,##0 ;(#,##0)";
        case 38: return "#,##0 ;[Red](#,##0)";
        case 39: return "#,##0.00;(#,##0.00)";
        case 40: return "#,##0.00;[Red](#,##0.00)";
        case 45: return "mm:ss";
        case 46: return "[h]:mm:ss";
        case 47: return "mmss.0";
        case 48: return "##0.0E+0";
        case 49: return "@";
        default: return nullptr;
    }
}

bool TranslateFileFormat(const std::string& Code, std::string& Out, TFileFormatKind& Kind,
                         const TFormatSettings& Settings) {
    Out.clear();
    Kind = ffNumber;
    std::vector<std::string> sections;
    // SplitSections knows single quotes too, which the file format does not
    // use: a code with one stays whole and is refused below.
    if (!SplitSections(Code, sections)) return false;
    // A fourth section formats text: numbers never show it.
    if (sections.size() > 3) sections.resize(3);
    std::vector<std::vector<TFileToken>> tokens(sections.size());
    bool unsupported = false;
    for (size_t k = 0; k < sections.size(); ++k)
        if (!Tokenise(sections[k], tokens[k], unsupported)) return false;
    // The kind follows the first section's codes.
    bool date = false, text = false;
    for (const TFileToken& t : tokens[0]) {
        if (t.Literal) continue;
        if (IsDateCode(t.Text[0])) date = true;
        if (t.Text[0] == '@') text = true;
    }
    std::string first;
    for (const TFileToken& t : tokens[0]) first += t.Literal ? '\x01' : static_cast<char>(std::tolower(t.Text[0]));
    if (first == "general" && sections.size() == 1) return true;  // the empty format
    if (date) {
        Kind = ffDate;
        return !unsupported && DateSection(tokens[0], Out, Settings);
    }
    if (text && sections.size() == 1 && tokens[0].size() == 1) {
        Kind = ffText;
        return true;
    }
    bool percent = false;
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (k > 0) Out += ';';
        std::string section;
        for (const TFileToken& t : tokens[k]) section += t.Literal ? '\x01' : static_cast<char>(std::tolower(t.Text[0]));
        if (section == "general") continue;  // the language's empty section
        if (!NumberSection(tokens[k], Out, percent)) return false;
    }
    if (percent) Kind = ffPercent;
    return !unsupported;
}

}  // namespace qv
