#include "platform/format_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qv;

namespace {

const TFormatSettings C = DefaultFormatSettings();

std::string F(const std::string& Format, double V) { return FormatFloat(Format, V, C); }

TFormatSettings German() {
    TFormatSettings S = DefaultFormatSettings();
    S.DecimalSeparator = ',';
    S.ThousandSeparator = '.';
    return S;
}

}  // namespace

TEST(FormatFloat, PlaceholdersAndDecimals) {
    EXPECT_EQ(F("0", 1234), "1234");
    EXPECT_EQ(F("0.00", 3.14159), "3.14");
    EXPECT_EQ(F("0.00", 0), "0.00");
    EXPECT_EQ(F("000.0", 5), "005.0");
    EXPECT_EQ(F("#.##", 0.5), ".5");
    EXPECT_EQ(F("0.##", 1), "1");  // no fraction digits, no decimal point
    EXPECT_EQ(F("0.0#", 1.25), "1.25");
    EXPECT_EQ(F("0.0#", 1.2), "1.2");
    EXPECT_EQ(F("#", 0), "");
    EXPECT_EQ(F("0", 123456789012.0), "123456789012");
    EXPECT_EQ(F(".00", 12.5), "12.50");
    EXPECT_EQ(F("0", 1e20), "100000000000000000000");
}

TEST(FormatFloat, RoundsHalvesAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(F("0.00", 12.345), "12.35");
    EXPECT_EQ(F("0.00", 999.995), "1000.00");
    EXPECT_EQ(F("0.00", 0.125), "0.13");
    EXPECT_EQ(F("0.00", 1.005), "1.01");
    EXPECT_EQ(F("0", 0.5), "1");
    EXPECT_EQ(F("0", 2.5), "3");
    EXPECT_EQ(F("0", -2.5), "-3");
    EXPECT_EQ(F("0.00", -12.345), "-12.35");
    EXPECT_EQ(F("#,##0", 999999.5), "1,000,000");
    EXPECT_EQ(F("0.0", 0.04), "0.0");
}

TEST(FormatFloat, ThousandsSeparators) {
    EXPECT_EQ(F("#,##0", 1234567), "1,234,567");
    EXPECT_EQ(F("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(F("#,##0", 999), "999");
    EXPECT_EQ(F("#,##0", 1000), "1,000");
    EXPECT_EQ(F("#,##0", -1234), "-1,234");
    EXPECT_EQ(F("#,##0", 0), "0");
    EXPECT_EQ(F("0,000", 5), "0,005");
    EXPECT_EQ(F("#,#", 1234567), "1,234,567");  // excess digits are grouped too
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, German()), "1.234.567,89");
    EXPECT_EQ(FormatFloat("0.00", 3.14159, German()), "3,14");
}

TEST(FormatFloat, LiteralsAndPercentDoNotScale) {
    EXPECT_EQ(F("0%", 0.5), "1%");
    EXPECT_EQ(F("0.00%", 12.5), "12.50%");
    EXPECT_EQ(F("$#,##0.00", 1234.5), "$1,234.50");
    EXPECT_EQ(F("$#,##0.00", -1234.5), "-$1,234.50");
    EXPECT_EQ(F("0 'kg'", 12), "12 kg");
    EXPECT_EQ(F("\"#0;\" 0", 7), "#0; 7");  // placeholders and ';' inside quotes are text
    EXPECT_EQ(F("0-0", 1234), "123-4");     // excess digits go to the first placeholder
    EXPECT_EQ(F("abc", 5), "abc");          // no placeholder: only the text
}

TEST(FormatFloat, Sections) {
    const std::string Acc = "#,##0.00;(#,##0.00);\"zero\"";
    EXPECT_EQ(F(Acc, 1234.5), "1,234.50");
    EXPECT_EQ(F(Acc, -1234.5), "(1,234.50)");  // the negative section brings no minus
    EXPECT_EQ(F(Acc, 0), "zero");
    EXPECT_EQ(F(Acc, -0.001), "zero");  // shows as zero, so the zero section
    EXPECT_EQ(F(Acc, 0.004), "zero");
    EXPECT_EQ(F("0.00;(0.00)", -0.001), "0.00");  // never "(0.00)" or "-0.00"
    EXPECT_EQ(F("0.00", -0.001), "0.00");
    EXPECT_EQ(F("0;-0 'neg'", -5), "-5 neg");
    EXPECT_EQ(F("0;;'none'", -5), "-5");   // empty negative section: the first, with a minus
    EXPECT_EQ(F("0;(0);", 0), "0");        // empty zero section: the first
    EXPECT_EQ(F(";(0)", 12.5), "12.5");    // empty chosen section: general format
    EXPECT_EQ(F("0;(0);-;ignored", 0), "-");
}

TEST(FormatFloat, Exponents) {
    EXPECT_EQ(F("0.00E+00", 12345), "1.23E+04");
    EXPECT_EQ(F("0.00E+00", 0.00012345), "1.23E-04");
    EXPECT_EQ(F("0.00E-00", 12345), "1.23E04");
    EXPECT_EQ(F("0.00e-0", 0.012345), "1.23e-2");
    EXPECT_EQ(F("0.00E+00", 0), "0.00E+00");
    EXPECT_EQ(F("0.00E+00", -12345), "-1.23E+04");
    EXPECT_EQ(F("0.00E+00", 9.999), "1.00E+01");  // rounding carries into the exponent
    EXPECT_EQ(F("00.0E+0", 12345), "12.3E+3");
    EXPECT_EQ(F("0E+000", 1.5e100), "2E+100");
    EXPECT_EQ(F("0.0E", 5), "5.0E");  // E without sign and zeros is text
}

TEST(FormatFloat, ZeroFillsTheMantissaPlaceholdersOfAnExponent) {
    EXPECT_EQ(F("#.#E+000", 0), "0E+000");
    EXPECT_EQ(F("#E+0", 0), "0E+0");
    // Every integer placeholder is filled, as for any other value.
    EXPECT_EQ(F("##.#E+00", 0), "00E+00");
    EXPECT_EQ(F("##.#E+00", 5), "50E-01");
}

TEST(FormatFloat, GeneralFormat) {
    EXPECT_EQ(F("", 0), "0");
    EXPECT_EQ(F("", 3.14159), "3.14159");
    EXPECT_EQ(F("", -2.5), "-2.5");
    EXPECT_EQ(F("", 0.1), "0.1");
    EXPECT_EQ(F("", 1.0 / 3), "0.333333333333333");
    EXPECT_EQ(F("", 123456789012345.0), "123456789012345");
    EXPECT_EQ(F("", 1e15), "1E15");
    EXPECT_EQ(F("", 1e20), "1E20");
    EXPECT_EQ(F("", 0.00001), "0.00001");
    EXPECT_EQ(F("", 1.5e-10), "1.5E-10");
    EXPECT_EQ(F("", -1.25e-7), "-1.25E-7");
    EXPECT_EQ(FloatToStr(2.5, German()), "2,5");
    EXPECT_EQ(F("", std::nan("")), "NAN");
    EXPECT_EQ(F("0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(F("0", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FormatCurr, IsExactOnTheScaledValue) {
    EXPECT_EQ(FormatCurr("0.00", Currency::FromScaled(123450), C), "12.35");
    EXPECT_EQ(FormatCurr("#,##0.0000", Currency::FromScaled(INT64_MAX), C), "922,337,203,685,477.5807");
    EXPECT_EQ(FormatCurr("0.00", Currency::FromScaled(INT64_MIN), C), "-922337203685477.58");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(-15000), C), "-1.5");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(1), C), "0.0001");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(0), C), "0");
}
