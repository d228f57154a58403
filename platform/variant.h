// The platform's variant: a small value type holding nothing (unassigned),
// null, an integer, a 64-bit integer, a double, currency, a date, a boolean
// or a string, with the platform's conversions between them.
//
// Conversions:
//   unassigned     → 0, "", false
//   null           → "" as a string; any other conversion raises
//                    EVariantTypeCastError "Could not convert variant of type
//                    (Null) into type (Integer)" (… Double, Currency, Date,
//                    Boolean, Int64)
//   numbers        → strings with the settings' decimal separator (general
//                    format); dates → DateTimeToStr; booleans → "True"/"False"
//   booleans       → numbers as -1 / 0; numbers → booleans as "not zero"
//   strings        → numbers by StrToInt/StrToFloat/StrToCurr rules, also
//                    "True"/"False" (any case) as -1/0; to dates by
//                    StrToDateTime, else as a number; to booleans
//                    "True"/"False", else a number. Anything else raises
//                    EVariantTypeCastError "Could not convert variant of type
//                    (String) into type (Double)" (or the target named).
//   double, date, currency → integers round to nearest, halves to even, as
//                    the platform does (2.5 → 2, 3.5 → 4); a result that
//                    does not fit raises EVariantTypeCastError "Overflow while
//                    converting variant of type (Double) into type (Integer)".
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/currency.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"

namespace qv {

enum TVarType : uint16_t {
    varEmpty = 0,
    varNull = 1,
    varInteger = 3,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varBoolean = 11,
    varInt64 = 20,
    varString = 0x100,
};

// The type's name as conversion errors show it ("String", "Double" …).
std::string VarTypeAsText(TVarType Type);

class TVariant {
public:
    TVariant() = default;  // unassigned
    TVariant(int32_t V) : FValue(V) {}
    TVariant(int64_t V) : FValue(V) {}
    TVariant(double V) : FValue(V) {}
    TVariant(Currency V) : FValue(V) {}
    TVariant(bool V) : FValue(V) {}
    TVariant(std::string V) : FValue(std::move(V)) {}
    TVariant(const char* V) : FValue(std::string(V ? V : "")) {}

    static TVariant Null();
    static TVariant FromDate(TDateTime V);

    TVarType VarType() const;
    bool IsEmpty() const { return FValue.index() == 0; }
    bool IsNull() const { return FValue.index() == 1; }

    int32_t AsInteger(const TFormatSettings& Settings = FormatSettings()) const;
    int64_t AsInt64(const TFormatSettings& Settings = FormatSettings()) const;
    double AsDouble(const TFormatSettings& Settings = FormatSettings()) const;
    double AsFloat(const TFormatSettings& Settings = FormatSettings()) const { return AsDouble(Settings); }
    Currency AsCurrency(const TFormatSettings& Settings = FormatSettings()) const;
    TDateTime AsDateTime(const TFormatSettings& Settings = FormatSettings()) const;
    bool AsBoolean(const TFormatSettings& Settings = FormatSettings()) const;
    std::string AsString(const TFormatSettings& Settings = FormatSettings()) const;

    // Same type and same value (1 and 1.0 differ; use VarSameValue to
    // compare values across types).
    friend bool operator==(const TVariant& A, const TVariant& B) { return A.FValue == B.FValue; }

private:
    struct TNull {
        friend bool operator==(TNull, TNull) { return true; }
    };
    struct TDate {
        double Value;
        friend bool operator==(TDate A, TDate B) { return A.Value == B.Value; }
    };
    // The order of the alternatives is relied on by IsEmpty/IsNull.
    using TStorage = std::variant<std::monostate, TNull, int32_t, int64_t, double, Currency, TDate, bool, std::string>;
    TStorage FValue;

    [[noreturn]] void CastError(TVarType Target) const;
    [[noreturn]] void OverflowError(TVarType Target) const;
    // The value as a double for the numeric kinds (booleans as -1/0);
    // false for empty, null and strings.
    bool NumericValue(double& V) const;
};

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Compares values across types: two unassigned or two null values are equal,
// one of them against anything else is vrNotEqual; two strings compare by
// bytes; a string against a number or date is read as a number (vrNotEqual
// when it is not one, and as a date and time against a date); numbers compare exactly where both are integral or
// currency, as doubles otherwise (NaN gives vrNotEqual). Never raises.
TVariantRelationship VarCompareValue(const TVariant& A, const TVariant& B,
                                     const TFormatSettings& Settings = FormatSettings());
bool VarSameValue(const TVariant& A, const TVariant& B, const TFormatSettings& Settings = FormatSettings());

}  // namespace qv
