#include "platform/variant.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/format_fixtures.h"

using namespace qv;

namespace {

const TFormatSettings C = DefaultFormatSettings();
TFormatSettings German() { return test::GermanFormatSettings(); }
template <class Fn>
std::string CastMessage(Fn F) {
    return test::MessageOf<EVariantTypeCastError>(F);
}

}  // namespace

TEST(Variant, TypesOfEachKind) {
    EXPECT_EQ(TVariant().VarType(), varEmpty);
    EXPECT_EQ(TVariant::Null().VarType(), varNull);
    EXPECT_EQ(TVariant(5).VarType(), varInteger);
    EXPECT_EQ(TVariant(int64_t(5)).VarType(), varInt64);
    EXPECT_EQ(TVariant(5.0).VarType(), varDouble);
    EXPECT_EQ(TVariant(Currency::FromScaled(5)).VarType(), varCurrency);
    EXPECT_EQ(TVariant::FromDate(5).VarType(), varDate);
    EXPECT_EQ(TVariant(true).VarType(), varBoolean);
    EXPECT_EQ(TVariant("x").VarType(), varString);  // not a boolean
    EXPECT_EQ(TVariant(std::string("x")).VarType(), varString);
}

TEST(Variant, UnassignedReadsAsZeroEmptyAndFalse) {
    const TVariant V;
    EXPECT_EQ(V.AsInteger(C), 0);
    EXPECT_EQ(V.AsDouble(C), 0);
    EXPECT_EQ(V.AsCurrency(C).Scaled, 0);
    EXPECT_EQ(V.AsDateTime(C), 0);
    EXPECT_FALSE(V.AsBoolean(C));
    EXPECT_EQ(V.AsString(C), "");
}

TEST(Variant, NullRaisesOnConversionToValues) {
    const TVariant N = TVariant::Null();
    EXPECT_EQ(CastMessage([&] { N.AsInteger(C); }), "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_EQ(CastMessage([&] { N.AsDouble(C); }), "Could not convert variant of type (Null) into type (Double)");
    EXPECT_EQ(CastMessage([&] { N.AsBoolean(C); }), "Could not convert variant of type (Null) into type (Boolean)");
    EXPECT_THROW(N.AsCurrency(C), EVariantTypeCastError);
    EXPECT_THROW(N.AsDateTime(C), EVariantTypeCastError);
    EXPECT_THROW(N.AsInt64(C), EVariantTypeCastError);
    EXPECT_EQ(N.AsString(C), "");
}

TEST(Variant, NumbersAndStrings) {
    EXPECT_EQ(TVariant(2.5).AsString(C), "2.5");
    EXPECT_EQ(TVariant(2.5).AsString(German()), "2,5");
    EXPECT_EQ(TVariant(-7).AsString(C), "-7");
    EXPECT_EQ(TVariant(Currency::FromScaled(12345)).AsString(C), "1.2345");
    EXPECT_EQ(TVariant(" 42 ").AsInteger(C), 42);
    EXPECT_EQ(TVariant("3.25").AsDouble(C), 3.25);
    EXPECT_EQ(TVariant("3,25").AsDouble(German()), 3.25);
    EXPECT_EQ(TVariant("1e3").AsInteger(C), 1000);
    EXPECT_EQ(TVariant("12.34").AsCurrency(C).Scaled, 123400);
    EXPECT_EQ(TVariant(12.34).AsCurrency(C).Scaled, 123400);
    EXPECT_EQ(TVariant(7).AsCurrency(C).Scaled, 70000);
    EXPECT_EQ(TVariant(Currency::FromScaled(15000)).AsDouble(C), 1.5);
}

TEST(Variant, TextThatIsNotANumberRaises) {
    const TVariant S("abc");
    EXPECT_EQ(CastMessage([&] { S.AsDouble(C); }), "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(CastMessage([&] { S.AsInteger(C); }), "Could not convert variant of type (String) into type (Integer)");
    EXPECT_EQ(CastMessage([&] { S.AsCurrency(C); }),
              "Could not convert variant of type (String) into type (Currency)");
    EXPECT_EQ(CastMessage([&] { S.AsDateTime(C); }), "Could not convert variant of type (String) into type (Date)");
    EXPECT_EQ(CastMessage([&] { S.AsBoolean(C); }), "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_THROW(TVariant("").AsInteger(C), EVariantTypeCastError);
    EXPECT_THROW(TVariant("3.25").AsDouble(German()), EVariantTypeCastError);
}

TEST(Variant, RoundingToIntegersIsHalfToEven) {
    EXPECT_EQ(TVariant(2.5).AsInteger(C), 2);
    EXPECT_EQ(TVariant(3.5).AsInteger(C), 4);
    EXPECT_EQ(TVariant(-2.5).AsInteger(C), -2);
    EXPECT_EQ(TVariant(2.6).AsInteger(C), 3);
    EXPECT_EQ(TVariant("2.5").AsInteger(C), 2);
    EXPECT_EQ(TVariant(Currency::FromScaled(25000)).AsInteger(C), 2);
    EXPECT_EQ(TVariant(Currency::FromScaled(35000)).AsInteger(C), 4);
    EXPECT_EQ(TVariant(Currency::FromScaled(-35000)).AsInteger(C), -4);
    EXPECT_EQ(TVariant::FromDate(45351.75).AsInteger(C), 45352);
    EXPECT_EQ(CastMessage([] { TVariant(3e9).AsInteger(DefaultFormatSettings()); }),
              "Overflow while converting variant of type (Double) into type (Integer)");
    EXPECT_THROW(TVariant(int64_t(1) << 40).AsInteger(C), EVariantTypeCastError);
    EXPECT_EQ(TVariant(int64_t(1) << 40).AsInt64(C), int64_t(1) << 40);
    EXPECT_THROW(TVariant(1e300).AsCurrency(C), EVariantTypeCastError);
}

TEST(Variant, Booleans) {
    EXPECT_EQ(TVariant(true).AsInteger(C), -1);
    EXPECT_EQ(TVariant(false).AsInteger(C), 0);
    EXPECT_EQ(TVariant(true).AsDouble(C), -1);
    EXPECT_EQ(TVariant(true).AsCurrency(C).Scaled, -10000);
    EXPECT_EQ(TVariant(true).AsString(C), "True");
    EXPECT_EQ(TVariant(false).AsString(C), "False");
    EXPECT_TRUE(TVariant("TRUE").AsBoolean(C));
    EXPECT_FALSE(TVariant("false").AsBoolean(C));
    EXPECT_TRUE(TVariant("2").AsBoolean(C));
    EXPECT_EQ(TVariant("True").AsInteger(C), -1);
    EXPECT_TRUE(TVariant(0.5).AsBoolean(C));
    EXPECT_FALSE(TVariant(0).AsBoolean(C));
    EXPECT_TRUE(TVariant(Currency::FromScaled(1)).AsBoolean(C));
}

TEST(Variant, Dates) {
    const TDateTime D = EncodeDateTime(2024, 2, 29, 13, 5, 9, 0);
    EXPECT_EQ(TVariant::FromDate(D).AsString(C), "02/29/2024 13:05:09");
    EXPECT_EQ(TVariant::FromDate(D).AsDouble(C), D);
    EXPECT_EQ(TVariant("02/29/2024 13:05:09").AsDateTime(C), D);
    EXPECT_EQ(TVariant("45351.5").AsDateTime(C), 45351.5);
    EXPECT_EQ(TVariant(45351).AsDateTime(C), 45351);
    EXPECT_EQ(TVariant::FromDate(1e12).AsString(C), "1000000000000");  // outside the calendar
}

TEST(Variant, EqualityAndComparison) {
    EXPECT_EQ(TVariant(1), TVariant(1));
    EXPECT_NE(TVariant(1), TVariant(1.0));  // different types
    EXPECT_NE(TVariant(1.0), TVariant::FromDate(1.0));
    EXPECT_EQ(TVariant(), TVariant());
    EXPECT_NE(TVariant(), TVariant::Null());
    EXPECT_EQ(TVariant("a"), TVariant(std::string("a")));

    EXPECT_TRUE(VarSameValue(TVariant(1), TVariant(1.0), C));
    EXPECT_TRUE(VarSameValue(TVariant("1.5"), TVariant(1.5), C));
    EXPECT_TRUE(VarSameValue(TVariant(true), TVariant(-1), C));
    EXPECT_TRUE(VarSameValue(TVariant(Currency::FromScaled(20000)), TVariant(2), C));
    EXPECT_EQ(VarCompareValue(TVariant(1), TVariant(2), C), vrLessThan);
    EXPECT_EQ(VarCompareValue(TVariant(int64_t(INT64_MAX)), TVariant(int64_t(INT64_MAX - 1)), C), vrGreaterThan);
    EXPECT_EQ(VarCompareValue(TVariant("b"), TVariant("a"), C), vrGreaterThan);
    EXPECT_EQ(VarCompareValue(TVariant("abc"), TVariant(1), C), vrNotEqual);  // never raises
    EXPECT_EQ(VarCompareValue(TVariant(), TVariant(0), C), vrNotEqual);
    EXPECT_TRUE(VarSameValue(TVariant::FromDate(EncodeDate(2024, 2, 29)), TVariant("2/29/2024"), C));
    EXPECT_EQ(VarCompareValue(TVariant::Null(), TVariant::Null(), C), vrEqual);
}
