#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/exceptions.h"

using namespace qv;

TEST(DateTime, KnownDaysEncode) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61);  // 1900 was not a leap year
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), std::floor(MaxDateTime));
}

TEST(DateTime, LeapYears) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2100, 2), 28);
    EXPECT_EQ(DaysInAMonth(2024, 13), 0);
    TDateTime D;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, D));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, D));
}

TEST(DateTime, DecodeRoundTripsEveryDayOfSomeYears) {
    for (int Year : {1, 4, 100, 1600, 1899, 1900, 2000, 2023, 2024, 9999}) {
        for (int Month = 1; Month <= 12; ++Month) {
            for (int Day = 1; Day <= DaysInAMonth(Year, Month); ++Day) {
                int Y, M, D;
                DecodeDate(EncodeDate(Year, Month, Day), Y, M, D);
                ASSERT_EQ(Y * 10000 + M * 100 + D, Year * 10000 + Month * 100 + Day);
            }
        }
    }
}

TEST(DateTime, TimesEncodeDecodeAndRoundToTheMillisecond) {
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    int H, N, S, Ms;
    DecodeTime(EncodeTime(23, 59, 59, 999), H, N, S, Ms);
    EXPECT_EQ(H * 10000000 + N * 100000 + S * 1000 + Ms, 235959999);
    DecodeTime(EncodeDateTime(2024, 2, 29, 13, 45, 30, 250), H, N, S, Ms);
    EXPECT_EQ(H * 10000000 + N * 100000 + S * 1000 + Ms, 134530250);

    // A hair before midnight is the next day at 00:00, never 24:00.
    int Y, M, D;
    DecodeDate(1.0 - 1e-10, Y, M, D);
    DecodeTime(1.0 - 1e-10, H, N, S, Ms);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 18991231);
    EXPECT_EQ(H + N + S + Ms, 0);
}

TEST(DateTime, NegativeDatesCountTheTimeForwardFromMidnight) {
    const TDateTime V = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
    EXPECT_EQ(V, -1.25);
    int Y, M, D, H, N, S, Ms;
    DecodeDateTime(-1.25, Y, M, D, H, N, S, Ms);
    EXPECT_EQ(Y * 10000 + M * 100 + D, 18991229);
    EXPECT_EQ(H, 6);
    DecodeDateTime(-0.5, Y, M, D, H, N, S, Ms);  // the same moment as 0.5
    EXPECT_EQ(Y * 10000 + M * 100 + D, 18991230);
    EXPECT_EQ(H, 12);
}

TEST(DateTime, DayOfWeekCountsFromSunday) {
    EXPECT_EQ(DayOfWeek(0), 7);  // 30 December 1899 was a Saturday
    EXPECT_EQ(DayOfWeek(1), 1);
    EXPECT_EQ(DayOfWeek(-1), 6);
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29) + 0.9), 5);
}

TEST(DateTime, InvalidArgumentsRaiseNamingTheValues) {
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Invalid date: year 2023, month 2, day 29");
    }
    try {
        EncodeTime(24, 0, 0, 0);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Invalid time: hour 24, minute 0, second 0, millisecond 0");
    }
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
    EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
    int Y, M, D;
    EXPECT_THROW(DecodeDate(1e10, Y, M, D), EConvertError);
    EXPECT_THROW(DecodeDate(std::nan(""), Y, M, D), EConvertError);
    EXPECT_THROW(DecodeDate(MinDateTime - 1, Y, M, D), EConvertError);
}

TEST(DateTime, NowIsTodayPlusTheTime) {
    const TDateTime Before = Date();
    const TDateTime N = Now();
    EXPECT_GE(N, Before);
    EXPECT_LT(N, Before + 2);
    EXPECT_GE(Time(), 0);
    EXPECT_LT(Time(), 1);
}
