#include "text/dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

TEST(TextToDate, ReadsDatesWithTheirSeparators) {
    struct Case {
        Text input;
        DateTime expected;
    };
    const double second = 1.0 / 86400;
    const Case cases[] = {
        {"1899-12-30", 0},
        {"1899-12-31", 1},
        {"2020-08-28", 44071},
        {"2020/8/28", 44071},
        {"2020.08.28", 44071},
        {"2020:08:28", 44071},
        {"2020年8月28日"_gbk, 44071},
        {"２０２０－０８－２８"_gbk, 44071},  // full-width digits and minus
        {"20200828", 44071},
        {"2020-08-28 09:30:05", 44071 + (9 * 3600 + 30 * 60 + 5) * second},
        {"2020年8月28日9时30分5秒"_gbk, 44071 + (9 * 3600 + 30 * 60 + 5) * second},
        {"2020年8月28日9时30分5秒以后"_gbk, 44071 + (9 * 3600 + 30 * 60 + 5) * second},
        {"2020-08-28 23", 44071 + 23 * 3600 * second},
        {"2020-08-28 23:59:59", 44071 + 86399 * second},
        {"2020-08-28 ", 44071},
        {"2020-08-28日"_gbk, 44071},
        {"2020-08-28\xD6", 44071},  // a lone lead byte at the end is dropped before reading
        {"2020-02-29", 43890},
        {"2000-02-29", 36585},
        {"0100-01-01", null_date},
        {"100-1-1", null_date},
        {"9999-12-31", 2958465},
        {"9999-12-31 23:59:59", 2958465 + 86399 * second},
        // Before 1899-12-30 the time of day is subtracted from the day count.
        {"1899-12-29 06:00", -1.25},
        {"1899-12-29", -1},
        {"1800-01-01 12:00:00", -36522.5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(text_to_date(c.input), c.expected) << c.input;
}

TEST(TextToDate, GivesTheNullDateForUnreadableTexts) {
    const Text unreadable[] = {
        "",
        "日期"_gbk,
        "abc",
        "20-08-28",
        "0099-12-31",
        "2020-02-30",
        "2019-02-29",
        "1900-02-29",
        "2020-13-01",
        "2020-00-10",
        "2020-04-31",
        "2020-08-00",
        " 2020-08-28",
        "2020-08-28T10:00",
        "2020-08-28  10:00",
        "2020-08-28 24:00",
        "2020-08-28 10:60",
        "2020-08-28 10:00:60",
        "2020-08-28 10:00:00x",
        "2020-08-28 10:00:00:00",
        "2020--08-28",
    };
    for (const Text& text : unreadable) EXPECT_EQ(text_to_date(text), null_date) << text;
}

// From February 28 to March 1 is two days in leap years and one in the others, in every year
// of the range, and each year runs 366 or 365 days from its January 1 to the next.
TEST(TextToDate, FollowsTheLeapYearRuleOverTheWholeRange) {
    DateTime previous_new_year = 0;
    bool previous_leap = false;
    for (int year = 100; year <= 9999; ++year) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-02-28", year);
        DateTime february_28 = text_to_date(text);
        std::snprintf(text, sizeof text, "%04d-03-01", year);
        DateTime march_1 = text_to_date(text);
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        ASSERT_EQ(march_1 - february_28, leap ? 2 : 1) << year;
        std::snprintf(text, sizeof text, "%d-1-1", year);
        DateTime new_year = text_to_date(text);
        if (year > 100) {
            ASSERT_EQ(new_year - previous_new_year, previous_leap ? 366 : 365) << year;
        }
        previous_new_year = new_year;
        previous_leap = leap;
    }
    EXPECT_EQ(previous_new_year, 2958465 - 364);
}

TEST(WeekdayOf, CountsFromSunday) {
    struct Case {
        Text input;
        int expected;
    };
    const Case cases[] = {
        {"1899-12-30", 7}, {"2020-08-24", 2}, {"2020-08-28", 6}, {"2020-08-29", 7},
        {"2020-08-30", 1}, {"0100-01-01", 6}, {"9999-12-31", 6}, {"1899-12-29", 6},
        {"1600-03-01", 4}, {"2000-01-01", 7}, {"日期"_gbk, 6},   {"", 6},
    };
    for (const Case& c : cases) EXPECT_EQ(weekday_of(text_to_date(c.input)), c.expected) << c.input;
}

TEST(WeekdayOf, RoundsToTheSecondAndClampsToTheRange) {
    const double half_second = 0.5 / 86400;
    struct Case {
        DateTime input;
        int expected;
    };
    const Case cases[] = {
        {0, 7},
        {0.75, 7},
        {1 - 0.4 * half_second, 1},  // rounds up into Sunday 1899-12-31
        {1 - 3 * half_second, 7},
        {-1.25, 6},  // 1899-12-29 06:00, a Friday
        {-0.5, 7},   // 1899-12-30 12:00
        {-1.0, 6},
        // 1899-12-29 23:59:59.9 rounds to midnight, into Saturday 1899-12-30.
        {-2 + 0.2 * half_second, 7},
        {-2 + 3 * half_second, 6},
        {null_date, 6},
        {null_date - 0.5, 6},
        {-1e9, 6},
        {2958465.0, 6},
        {2958465.9999999, 6},
        {1e9, 6},
        {std::numeric_limits<double>::infinity(), 6},
        {-std::numeric_limits<double>::infinity(), 6},
        {std::numeric_limits<double>::quiet_NaN(), 6},
    };
    for (const Case& c : cases) EXPECT_EQ(weekday_of(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace tovmira
