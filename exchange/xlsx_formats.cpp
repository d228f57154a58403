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
