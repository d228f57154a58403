// The framework's exception family. Every error the library raises is an
// Exception carrying a message text; callers catch the most specific class.
#pragma once

#include <stdexcept>
#include <string>

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

}  // namespace qv
