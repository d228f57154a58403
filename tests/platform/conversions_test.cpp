#include "platform/conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "platform/format_fixtures.h"

using namespace qv;

namespace {

const TFormatSettings C = DefaultFormatSettings();
TFormatSettings German() { return test::GermanFormatSettings(); }
template <class Fn>
std::string MessageOf(Fn F) {
    return test::MessageOf<EConvertError>(F);
}

}  // namespace

TEST(Conversions, Integers) {
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(StrToInt("  +17 "), 17);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("0x1F"), 31);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    int32_t V = 5;
    for (const char* Bad : {"", " ", "1+2", "--1", "1.5", "2147483648", "12a", "$", "99999999999999999999999"})
        EXPECT_FALSE(TryStrToInt(Bad, V)) << Bad;
    EXPECT_EQ(V, 5);  // untouched on failure
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    EXPECT_EQ(MessageOf([] { StrToInt("1+2"); }), "\"1+2\" is not a valid integer value");
}

TEST(Conversions, FloatsUseTheDecimalSeparator) {
    EXPECT_EQ(StrToFloat(" 3.25 ", C), 3.25);
    EXPECT_EQ(StrToFloat("-1.5e3", C), -1500);
    EXPECT_EQ(StrToFloat("1E-2", C), 0.01);
    EXPECT_EQ(StrToFloat(".5", C), 0.5);
    EXPECT_EQ(StrToFloat("5.", C), 5);
    EXPECT_EQ(StrToFloat("+0", C), 0);
    EXPECT_EQ(StrToFloat("3,25", German()), 3.25);
    EXPECT_EQ(StrToFloat("1e-400", C), 0);  // underflow is zero
    double D;
    for (const char* Bad : {"", "1e", "1+2", "--1", "1,000", "1.2.3", "e5", ".", "abc", "1e400", "nan", "inf"})
        EXPECT_FALSE(TryStrToFloat(Bad, D, C)) << Bad;
    EXPECT_FALSE(TryStrToFloat("3.25", D, German()));
    EXPECT_EQ(StrToFloatDef("x", 7.5, C), 7.5);
    EXPECT_EQ(MessageOf([] { StrToFloat("1e", DefaultFormatSettings()); }),
              "\"1e\" is not a valid floating point value");
}

TEST(Conversions, CurrencyIsReadExactly) {
    EXPECT_EQ(StrToCurr("12.34", C).Scaled, 123400);
    EXPECT_EQ(StrToCurr("0.00005", C).Scaled, 1);  // half away from zero
    EXPECT_EQ(StrToCurr("-0.00005", C).Scaled, -1);
    EXPECT_EQ(StrToCurr("0.00004999", C).Scaled, 0);
    EXPECT_EQ(StrToCurr("922337203685477.5807", C).Scaled, INT64_MAX);
    EXPECT_EQ(StrToCurr("-922337203685477.5808", C).Scaled, INT64_MIN);
    EXPECT_EQ(StrToCurr("1.5e2", C).Scaled, 1500000);
    Currency Cur;
    EXPECT_FALSE(TryStrToCurr("922337203685477.5808", Cur, C));
    EXPECT_FALSE(TryStrToCurr("1e300", Cur, C));
    EXPECT_TRUE(TryFloatToCurr(0.1, Cur));
    EXPECT_EQ(Cur.Scaled, 1000);
    EXPECT_FALSE(TryFloatToCurr(1e30, Cur));
    EXPECT_FALSE(TryFloatToCurr(std::nan(""), Cur));
}

TEST(Conversions, DatesFollowTheShortDateOrder) {
    EXPECT_EQ(StrToDate("2/29/2024", C), EncodeDate(2024, 2, 29));
    EXPECT_EQ(StrToDate(" 02 / 29 / 2024 ", C), EncodeDate(2024, 2, 29));
    EXPECT_EQ(StrToDate("29.02.2024", German()), EncodeDate(2024, 2, 29));
    TFormatSettings Iso = C;
    Iso.ShortDateFormat = "yyyy/mm/dd";
    Iso.DateSeparator = '-';
    EXPECT_EQ(StrToDate("2024-02-29", Iso), EncodeDate(2024, 2, 29));
    int Y, M, D;
    DecodeDate(Now(), Y, M, D);
    EXPECT_EQ(StrToDate("3/4", C), EncodeDate(Y, 3, 4));  // no year: this year
    DecodeDate(StrToDate("1/1/05", C), Y, M, D);
    EXPECT_EQ(Y, 2005);
    TDateTime V;
    for (const char* Bad : {"", "2/30/2024", "13/1/2024", "1/2/3/4", "1-2-2024", "2024", "a/b/c"})
        EXPECT_FALSE(TryStrToDate(Bad, V, C)) << Bad;
    EXPECT_EQ(MessageOf([] { StrToDate("2/30/2024", DefaultFormatSettings()); }),
              "\"2/30/2024\" is not a valid date");
}

TEST(Conversions, TimesAndDateTimes) {
    EXPECT_EQ(StrToTime("13:05", C), EncodeTime(13, 5, 0, 0));
    EXPECT_EQ(StrToTime("13:05:09.045", C), EncodeTime(13, 5, 9, 45));
    EXPECT_EQ(StrToTime("1:05 PM", C), EncodeTime(13, 5, 0, 0));
    EXPECT_EQ(StrToTime("12:00 am", C), 0);
    EXPECT_EQ(StrToTime("10 a", C), EncodeTime(10, 0, 0, 0));
    TDateTime V;
    for (const char* Bad : {"", "13", "24:00", "12:60", "13:00 PM", "1:2:3:4", "1:00 xm"})
        EXPECT_FALSE(TryStrToTime(Bad, V, C)) << Bad;
    EXPECT_EQ(StrToDateTime("2/29/2024 13:05:09", C), EncodeDateTime(2024, 2, 29, 13, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("2/29/2024", C), EncodeDate(2024, 2, 29));
    EXPECT_EQ(StrToDateTime("06:00", C), 0.25);
    EXPECT_EQ(StrToDateTime("12/29/1899 6:00", C), -1.25);
    // What DateTimeToStr writes, StrToDateTime reads back.
    const TDateTime T = EncodeDateTime(1999, 12, 31, 23, 59, 58, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(T, C), C), T);
    EXPECT_EQ(MessageOf([] { StrToDateTime("soon", DefaultFormatSettings()); }),
              "\"soon\" is not a valid date and time");
}

TEST(Conversions, BooleansAndTextHelpers) {
    bool B = false;
    EXPECT_TRUE(TryStrToBool(" tRUE ", B, C) && B);
    EXPECT_TRUE(TryStrToBool("False", B, C) && !B);
    EXPECT_TRUE(TryStrToBool("-1", B, C) && B);
    EXPECT_FALSE(TryStrToBool("yes", B, C));
    EXPECT_EQ(BoolToStr(true), "True");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(UpperCase("aBc1"), "ABC1");
    EXPECT_EQ(LowerCase("aBc1"), "abc1");
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("Hello", "Hell"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
}

TEST(FormatSettings, DefaultsAndCLocale) {
    // The library never changes the process locale, so the test process runs
    // in the "C" locale, which gives the fixed defaults.
    const TFormatSettings L = LocaleFormatSettings();
    EXPECT_EQ(L.DecimalSeparator, '.');
    EXPECT_EQ(L.ThousandSeparator, ',');
    EXPECT_EQ(L.ShortDateFormat, C.ShortDateFormat);
    EXPECT_EQ(L.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(L.ShortTimeFormat, "hh:nn");
    EXPECT_EQ(L.LongMonthNames[11], "December");
    EXPECT_EQ(L.ShortDayNames[0], "Sun");
    EXPECT_EQ(&FormatSettings(), &FormatSettings());
}

TEST(FormatSettings, ConvertsCLibraryFormats) {
    char Sep = '?';
    EXPECT_EQ(ConvertCFormat("%d.%m.%Y", Sep, '/'), "dd/mm/yyyy");
    EXPECT_EQ(Sep, '.');
    EXPECT_EQ(ConvertCFormat("%F", Sep, '/'), "yyyy/mm/dd");
    EXPECT_EQ(Sep, '-');
    EXPECT_EQ(ConvertCFormat("%D", Sep, '/'), "mm/dd/yyyy");
    EXPECT_EQ(ConvertCFormat("%Y. %m. %d.", Sep, '/'), "yyyy/ mm/ dd/");
    EXPECT_EQ(ConvertCFormat("%Y年%m月%d日", Sep, '/'), "yyyy年mm月dd日");
    Sep = '?';
    EXPECT_EQ(ConvertCFormat("%I:%M:%S %p", Sep, ':'), "hh:nn:ss ampm");
    EXPECT_EQ(Sep, ':');
    EXPECT_EQ(ConvertCFormat("%Hh%M", Sep, ':'), "hh\"h\"nn");  // letters are quoted
    EXPECT_EQ(ConvertCFormat("%T %Z", Sep, ':'), "hh:nn:ss ");
}

TEST(Conversions, TypedDatesAndTimesAreCompleteOrRefused) {
    TFormatSettings Dmy = C;
    Dmy.ShortDateFormat = "dd/mm/yyyy";
    struct Row {
        const char* Text;
        TDateTime Value;
        unsigned Parts;
    };
    const TDateTime Apr2 = EncodeDate(2024, 4, 2);
    for (const Row& r : {Row{"2024-04-02", Apr2, EntryDate}, Row{" 2024-4-2 ", Apr2, EntryDate},
                         Row{"2024-04-02 13:30", Apr2 + EncodeTime(13, 30, 0, 0), EntryDate | EntryTime},
                         Row{"2024-04-02T13:30:15", Apr2 + EncodeTime(13, 30, 15, 0), EntryDate | EntryTime},
                         Row{"02/04/2024", Apr2, EntryDate}, Row{"2/4/24", Apr2, EntryDate},
                         Row{"2 Apr 2024", Apr2, EntryDate}, Row{"02-april-2024", Apr2, EntryDate},
                         Row{"2 APR 2024 1:05 PM", Apr2 + EncodeTime(13, 5, 0, 0), EntryDate | EntryTime},
                         Row{"13:30", EncodeTime(13, 30, 0, 0), EntryTime}}) {
        TDateTime v = -1;
        unsigned parts = 0;
        EXPECT_TRUE(TryReadDateTimeEntry(r.Text, v, parts, Dmy)) << r.Text;
        EXPECT_EQ(v, r.Value) << r.Text;
        EXPECT_EQ(parts, r.Parts) << r.Text;
    }
    // Incomplete, impossible or trailing text is refused and writes nothing.
    for (const char* bad : {"", "2024", "02/04", "2024-04", "240-04-02", "31/02/2024", "2024-13-01", "1 Apx 2024",
                            "1 Apr", "1 Apr 202", "2024-04-02 25:00", "2024-04-02x", "13", "abc", "02/04/2024/1"}) {
        TDateTime v = -1;
        unsigned parts = 0;
        EXPECT_FALSE(TryReadDateTimeEntry(bad, v, parts, Dmy)) << bad;
        EXPECT_EQ(v, -1) << bad;
    }
    // The short form follows the settings' order.
    TDateTime v;
    unsigned parts;
    ASSERT_TRUE(TryReadDateTimeEntry("04/02/2024", v, parts, C));
    EXPECT_EQ(v, Apr2);
}
