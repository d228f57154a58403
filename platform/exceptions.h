// The framework's exception family. Every error the library raises is an
// Exception carrying a message text; callers catch the most specific class.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
    std::string Message() const { return what(); }
};

#define QV_DECLARE_EXCEPTION(Name, Base)                                   \
    class Name : public Base {                                             \
    public:                                                                \
        explicit Name(const std::string& Message) : Base(Message) {}       \
    }

// Errors of the grid components themselves ("Cannot use Style from
// disconnected Styler!", "Style named X already exists!").
QV_DECLARE_EXCEPTION(EQvGridError, Exception);

QV_DECLARE_EXCEPTION(EStreamError, Exception);
QV_DECLARE_EXCEPTION(EReadError, EStreamError);
QV_DECLARE_EXCEPTION(EWriteError, EStreamError);
QV_DECLARE_EXCEPTION(EFOpenError, EStreamError);
QV_DECLARE_EXCEPTION(EFCreateError, EStreamError);
QV_DECLARE_EXCEPTION(EConvertError, Exception);
QV_DECLARE_EXCEPTION(EVariantError, Exception);
QV_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError);
QV_DECLARE_EXCEPTION(EListError, Exception);
QV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
QV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
// Assign/AssignTo between classes that do not know each other.
QV_DECLARE_EXCEPTION(EConvertAssignError, EConvertError);

#undef QV_DECLARE_EXCEPTION

// Text from a file or stream, made fit for an error message: printable ASCII
// stays, a backslash is doubled, every other byte is written \xNN, and text
// longer than Max bytes is cut with "...". A message never carries raw
// binary bytes, whatever the file held.
inline std::string EscapeBytes(std::string_view Text, size_t Max = 64) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    const size_t n = Text.size() < Max ? Text.size() : Max;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(Text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (Text.size() > Max) out += "...";
    return out;
}

}  // namespace qv
