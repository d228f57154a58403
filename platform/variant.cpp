#include "platform/variant.h"

#include <cmath>
#include <limits>

#include "platform/conversions.h"
#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "platform/format_float.h"

namespace qv {

namespace {

// Currency to a whole number, halves to the even neighbour.
int64_t RoundCurrency(Currency C) {
    int64_t Q = C.Scaled / Currency::Scale;
    const int64_t R = C.Scaled % Currency::Scale;
    const int64_t Half = Currency::Scale / 2;
    const int64_t AbsR = R < 0 ? -R : R;
    if (AbsR > Half || (AbsR == Half && Q % 2 != 0)) Q += R < 0 ? -1 : 1;
    return Q;
}

}  // namespace

std::string VarTypeAsText(TVarType Type) {
    switch (Type) {
        case varEmpty: return "Empty";
        case varNull: return "Null";
        case varInteger: return "Integer";
        case varDouble: return "Double";
        case varCurrency: return "Currency";
        case varDate: return "Date";
        case varBoolean: return "Boolean";
        case varInt64: return "Int64";
        case varString: return "String";
    }
    return "Unknown";
}

TVariant TVariant::Null() {
    TVariant V;
    V.FValue = TNull{};
    return V;
}

TVariant TVariant::FromDate(TDateTime D) {
    TVariant V;
    V.FValue = TDate{D};
    return V;
}

TVarType TVariant::VarType() const {
    static const TVarType Types[] = {varEmpty,    varNull, varInteger, varInt64, varDouble,
                                     varCurrency, varDate, varBoolean, varString};
    return Types[FValue.index()];
}

void TVariant::CastError(TVarType Target) const {
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(VarType()) +
                                ") into type (" + VarTypeAsText(Target) + ")");
}

void TVariant::OverflowError(TVarType Target) const {
    throw EVariantTypeCastError("Overflow while converting variant of type (" + VarTypeAsText(VarType()) +
                                ") into type (" + VarTypeAsText(Target) + ")");
}

bool TVariant::NumericValue(double& V) const {
    if (auto p = std::get_if<int32_t>(&FValue)) V = *p;
    else if (auto p = std::get_if<int64_t>(&FValue)) V = static_cast<double>(*p);
    else if (auto p = std::get_if<double>(&FValue)) V = *p;
    else if (auto p = std::get_if<Currency>(&FValue)) V = p->ToDouble();
    else if (auto p = std::get_if<TDate>(&FValue)) V = p->Value;
    else if (auto p = std::get_if<bool>(&FValue)) V = *p ? -1 : 0;
    else return false;
    return true;
}

int64_t TVariant::AsInt64(const TFormatSettings& Settings) const {
    switch (FValue.index()) {
        case 0: return 0;
        case 2: return std::get<int32_t>(FValue);
        case 3: return std::get<int64_t>(FValue);
        case 5: return RoundCurrency(std::get<Currency>(FValue));
        case 7: return std::get<bool>(FValue) ? -1 : 0;
        case 8: {
            const std::string& S = std::get<std::string>(FValue);
            int64_t I;
            if (TryStrToInt64(S, I)) return I;
            double D;
            bool B;
            if (TryStrToFloat(S, D, Settings)) {
                const double R = std::nearbyint(D);
                if (!(R >= -9223372036854775808.0 && R < 9223372036854775808.0)) OverflowError(varInt64);
                return static_cast<int64_t>(R);
            }
            if (TryStrToBool(S, B, Settings)) return B ? -1 : 0;
            CastError(varInt64);
        }
        default: {
            double D;
            if (!NumericValue(D)) CastError(varInt64);  // null
            const double R = std::nearbyint(D);  // halves to even in the default rounding mode
            if (!(R >= -9223372036854775808.0 && R < 9223372036854775808.0)) OverflowError(varInt64);
            return static_cast<int64_t>(R);
        }
    }
}

int32_t TVariant::AsInteger(const TFormatSettings& Settings) const {
    if (IsNull()) CastError(varInteger);
    if (auto S = std::get_if<std::string>(&FValue)) {
        int32_t I;
        if (TryStrToInt(*S, I)) return I;
        double D;
        bool B;
        if (TryStrToFloat(*S, D, Settings)) {
            const double R = std::nearbyint(D);
            if (!(R >= -2147483648.0 && R <= 2147483647.0)) OverflowError(varInteger);
            return static_cast<int32_t>(R);
        }
        if (TryStrToBool(*S, B, Settings)) return B ? -1 : 0;
        CastError(varInteger);
    }
    if (auto D = std::get_if<double>(&FValue); D || std::get_if<TDate>(&FValue)) {
        const double R = std::nearbyint(D ? *D : std::get<TDate>(FValue).Value);
        if (!(R >= -2147483648.0 && R <= 2147483647.0)) OverflowError(varInteger);
        return static_cast<int32_t>(R);
    }
    const int64_t V = AsInt64(Settings);
    if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
        OverflowError(varInteger);
    return static_cast<int32_t>(V);
}

double TVariant::AsDouble(const TFormatSettings& Settings) const {
    if (IsEmpty()) return 0;
    if (auto S = std::get_if<std::string>(&FValue)) {
        double D;
        bool B;
        if (TryStrToFloat(*S, D, Settings)) return D;
        if (TryStrToBool(*S, B, Settings)) return B ? -1 : 0;
        CastError(varDouble);
    }
    double D;
    if (!NumericValue(D)) CastError(varDouble);
    return D;
}

Currency TVariant::AsCurrency(const TFormatSettings& Settings) const {
    if (IsEmpty()) return Currency{};
    if (auto C = std::get_if<Currency>(&FValue)) return *C;
    if (auto I = std::get_if<int32_t>(&FValue)) return Currency::FromScaled(int64_t(*I) * Currency::Scale);
    if (auto S = std::get_if<std::string>(&FValue)) {
        Currency C;
        bool B;
        if (TryStrToCurr(*S, C, Settings)) return C;
        double D;
        if (TryStrToFloat(*S, D, Settings)) OverflowError(varCurrency);  // a number, but too large
        if (TryStrToBool(*S, B, Settings)) return Currency::FromScaled(B ? -Currency::Scale : 0);
        CastError(varCurrency);
    }
    if (auto I = std::get_if<int64_t>(&FValue)) {
        const int64_t Limit = std::numeric_limits<int64_t>::max() / Currency::Scale;
        if (*I > Limit || *I < -Limit) OverflowError(varCurrency);
        return Currency::FromScaled(*I * Currency::Scale);
    }
    double D;
    if (!NumericValue(D)) CastError(varCurrency);
    Currency C;
    if (!TryFloatToCurr(D, C)) OverflowError(varCurrency);
    return C;
}

TDateTime TVariant::AsDateTime(const TFormatSettings& Settings) const {
    if (IsEmpty()) return 0;
    if (auto S = std::get_if<std::string>(&FValue)) {
        TDateTime T;
        double D;
        bool B;
        if (TryStrToDateTime(*S, T, Settings)) return T;
        if (TryStrToFloat(*S, D, Settings)) return D;
        if (TryStrToBool(*S, B, Settings)) return B ? -1 : 0;
        CastError(varDate);
    }
    double D;
    if (!NumericValue(D)) CastError(varDate);
    return D;
}

bool TVariant::AsBoolean(const TFormatSettings& Settings) const {
    if (IsEmpty()) return false;
    if (auto B = std::get_if<bool>(&FValue)) return *B;
    if (auto C = std::get_if<Currency>(&FValue)) return C->Scaled != 0;
    if (auto I = std::get_if<int64_t>(&FValue)) return *I != 0;
    if (auto S = std::get_if<std::string>(&FValue)) {
        bool B;
        if (TryStrToBool(*S, B, Settings)) return B;
        CastError(varBoolean);
    }
    double D;
    if (!NumericValue(D)) CastError(varBoolean);
    return D != 0;
}

std::string TVariant::AsString(const TFormatSettings& Settings) const {
    switch (FValue.index()) {
        case 0:
        case 1: return std::string();
        case 2: return IntToStr(std::get<int32_t>(FValue));
        case 3: return IntToStr(std::get<int64_t>(FValue));
        case 4: return FloatToStr(std::get<double>(FValue), Settings);
        case 5: return CurrToStr(std::get<Currency>(FValue), Settings);
        case 6: {
            const double D = std::get<TDate>(FValue).Value;
            // A date outside the calendar still has a text: its number.
            if (!std::isfinite(D) || D < MinDateTime || D > MaxDateTime) return FloatToStr(D, Settings);
            return DateTimeToStr(D, Settings);
        }
        case 7: return BoolToStr(std::get<bool>(FValue));
        default: return std::get<std::string>(FValue);
    }
}

TVariantRelationship VarCompareValue(const TVariant& A, const TVariant& B, const TFormatSettings& Settings) {
    const TVarType Ta = A.VarType(), Tb = B.VarType();
    const bool SpecialA = Ta == varEmpty || Ta == varNull, SpecialB = Tb == varEmpty || Tb == varNull;
    if (SpecialA || SpecialB) return Ta == Tb ? vrEqual : vrNotEqual;
    auto Order = [](auto x, auto y) { return x < y ? vrLessThan : (y < x ? vrGreaterThan : vrEqual); };
    if (Ta == varString && Tb == varString) return Order(A.AsString(), B.AsString());
    try {
        auto Integral = [](TVarType t) { return t == varInteger || t == varInt64 || t == varBoolean; };
        if (Integral(Ta) && Integral(Tb)) return Order(A.AsInt64(Settings), B.AsInt64(Settings));
        if ((Ta == varCurrency || Ta == varInteger) && (Tb == varCurrency || Tb == varInteger))
            return Order(A.AsCurrency(Settings), B.AsCurrency(Settings));
        // A date against text reads the text as a date and time.
        const bool Dates = Ta == varDate || Tb == varDate;
        const double Da = Dates ? A.AsDateTime(Settings) : A.AsDouble(Settings);
        const double Db = Dates ? B.AsDateTime(Settings) : B.AsDouble(Settings);
        if (std::isnan(Da) || std::isnan(Db)) return vrNotEqual;
        return Order(Da, Db);
    } catch (const EVariantError&) {
        return vrNotEqual;  // a string that is not a number
    }
}

bool VarSameValue(const TVariant& A, const TVariant& B, const TFormatSettings& Settings) {
    return VarCompareValue(A, B, Settings) == vrEqual;
}

}  // namespace qv
