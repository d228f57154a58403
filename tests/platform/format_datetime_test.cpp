#include "platform/format_datetime.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"

using namespace qv;

namespace {

const TFormatSettings C = DefaultFormatSettings();
// Thursday 29 February 2024, 13:05:09.045
const TDateTime Leap = EncodeDateTime(2024, 2, 29, 13, 5, 9, 45);

std::string F(const std::string& Format, TDateTime V = Leap) { return FormatDateTime(Format, V, C); }

}  // namespace

TEST(FormatDateTime, DayMonthYearCodes) {
    EXPECT_EQ(F("d dd ddd dddd"), "29 29 Thu Thursday");
    EXPECT_EQ(F("m mm mmm mmmm"), "2 02 Feb February");
    EXPECT_EQ(F("yy yyyy"), "24 2024");
    EXPECT_EQ(F("d/m/y", EncodeDate(2005, 3, 7)), "7/3/05");
    EXPECT_EQ(F("dd.mm.yyyy", EncodeDate(905, 3, 7)), "07.03.0905");
    EXPECT_EQ(F("ddddd"), "02/29/2024");
    EXPECT_EQ(F("dddddd"), "Thursday, February 29, 2024");
    EXPECT_EQ(F("DD.MM.YY"), "29.02.24");  // codes ignore case
}

TEST(FormatDateTime, TimeCodes) {
    EXPECT_EQ(F("h hh n nn s ss z zzz"), "13 13 5 05 9 09 45 045");
    EXPECT_EQ(F("hh:mm"), "13:05");  // m after h means minutes
    EXPECT_EQ(F("h:m:s"), "13:5:9");
    EXPECT_EQ(F("hh:nn mm"), "13:05 02");  // after n it is the month again
    EXPECT_EQ(F("t"), "13:05");
    EXPECT_EQ(F("tt"), "13:05:09");
}

TEST(FormatDateTime, TwelveHourClock) {
    EXPECT_EQ(F("h:nn am/pm"), "1:05 pm");
    EXPECT_EQ(F("h:nn AM/PM"), "1:05 PM");
    EXPECT_EQ(F("hh a/p"), "01 p");
    EXPECT_EQ(F("h ampm"), "1 PM");
    EXPECT_EQ(F("h am/pm", EncodeTime(0, 30, 0, 0)), "12 am");
    EXPECT_EQ(F("h am/pm", EncodeTime(12, 0, 0, 0)), "12 pm");
    EXPECT_EQ(F("hh 'am/pm'"), "13 am/pm");  // quoted: no 12-hour clock
}

TEST(FormatDateTime, SeparatorsLiteralsAndDefaults) {
    TFormatSettings S = C;
    S.DateSeparator = '.';
    S.TimeSeparator = '-';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", Leap, S), "29.02.2024 13-05");
    EXPECT_EQ(F("'Day' d \"of\" mmmm"), "Day 29 of February");
    EXPECT_EQ(F("yyyy-mm-dd"), "2024-02-29");
    EXPECT_EQ(F("[d] q"), "[29] q");  // letters that are no code stay
    EXPECT_EQ(F(""), "02/29/2024 13:05:09");
    EXPECT_EQ(F("c", EncodeDate(2024, 2, 29)), "02/29/2024");  // midnight: date only
    EXPECT_EQ(F("", 0), "12/30/1899");
    EXPECT_EQ(DateToStr(Leap, C), "02/29/2024");
    EXPECT_EQ(TimeToStr(Leap, C), "13:05:09");
    EXPECT_EQ(DateTimeToStr(Leap, C), "02/29/2024 13:05:09");
    EXPECT_EQ(F("dd/mm/yyyy hh:nn", -1.25), "29/12/1899 06:00");
}

TEST(FormatDateTime, SelfReferringSettingsDoNotRecurseForever) {
    TFormatSettings S = C;
    S.ShortDateFormat = "c";
    EXPECT_NO_THROW(FormatDateTime("c", Leap, S));
}

TEST(FormatDateTime, OutOfRangeValuesRaise) { EXPECT_THROW(F("c", 1e12), EConvertError); }
