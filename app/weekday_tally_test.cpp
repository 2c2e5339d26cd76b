#include "app/weekday_tally.h"

#include <gtest/gtest.h>

#include "app/recording_window.h"
#include "text/array.h"

namespace tovmira {
namespace {

// A row as the paging cuts it: "日期", the first cell's content and the rest of the cells.
Text row(std::string_view date, std::string_view rest) {
    return utf8_to_gbk("日期" + std::string(date) + "</td>" + std::string(rest));
}

TEST(ShareText, RoundsToTwoDecimalsAndMarksEmptyWeekdays) {
    struct Case {
        int part, other;
        const char* shown;
    } cases[] = {
        {3, 1, "75%"},  {1, 3, "25%"},  {1, 2, "33.33%"},  {2, 1, "66.67%"},
        {5, 0, "100%"}, {0, 5, "0%"},   {1, 7, "12.5%"},   {7, 1, "87.5%"},
        {0, 0, "--"},   {1, 0, "100%"}, {200, 1, "99.5%"}, {1, 200, "0.5%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(share_text(c.part, c.other), c.shown) << c.part << " of " << c.part + c.other;
}

TEST(CountRow, CountsMarkersOnWeekdaysOnly) {
    struct Case {
        const char* date;
        const char* rest;
        WeekdayTally expected;
    } cases[] = {
        {"2020-04-20", "<td class='tor bold red'>1%</td>", {.mon_rise = 1}},
        {"2020-04-21", "<td class='tor bold grn'>-1%</td>", {.tue_fall = 1}},
        {"2020-04-22", "<td class='tor bold bck'>0%</td>", {}},
        {"2020-04-23", "tor bold red tor bold grn", {.thu_rise = 1, .thu_fall = 1}},
        {"2020-04-24", "tor bold red", {.fri_rise = 1}},
        {"2020-04-25", "tor bold red", {}},  // Saturday
        {"2020-04-26", "tor bold grn", {}},  // Sunday
        {"2020-04-20", "Tor Bold Red", {}},  // markers are exact
        {"2020-04-20", "tor  bold red", {}},
        {"not a date", "tor bold red", {}},  // unreadable: counted nowhere
        {"", "tor bold grn", {}},
        {"2020-02-30", "tor bold red", {}},
    };
    for (const Case& c : cases) {
        WeekdayTally tally;
        count_row(tally, row(c.date, c.rest));
        const WeekdayTally& e = c.expected;
        EXPECT_TRUE(tally.mon_rise == e.mon_rise && tally.mon_fall == e.mon_fall &&
                    tally.tue_rise == e.tue_rise && tally.tue_fall == e.tue_fall &&
                    tally.wed_rise == e.wed_rise && tally.wed_fall == e.wed_fall &&
                    tally.thu_rise == e.thu_rise && tally.thu_fall == e.thu_fall &&
                    tally.fri_rise == e.fri_rise && tally.fri_fall == e.fri_fall)
            << c.date << " " << c.rest;
    }
}

TEST(CountRow, RowWithoutCellEndIsCountedNowhere) {
    WeekdayTally tally;
    count_row(tally, utf8_to_gbk("日期2020-04-24 tor bold red"));
    EXPECT_EQ(tally.fri_rise, 0);
}

TEST(WriteShares, WritesRiseRowThenFallRowMondayToFriday) {
    TextArray rows;
    array_append(rows, row("2020-04-20", "tor bold red"));  // Monday 1 rise, 2 falls
    array_append(rows, row("2020-04-13", "tor bold grn"));
    array_append(rows, row("2020-04-06", "tor bold grn"));
    array_append(rows, row("2020-04-22", "tor bold red"));  // Wednesday only rises
    array_append(rows, row("2020-04-18", "tor bold red"));  // a Saturday, ignored
    RecordingWindow window;
    write_shares(window, tally_rows(rows));
    std::vector<std::pair<std::string, std::string>> expected = {
        {"标签_1加", "33.33%"}, {"标签_2加", "--"},     {"标签_3加", "100%"}, {"标签_4加", "--"},
        {"标签_5加", "--"},     {"标签_1减", "66.67%"}, {"标签_2减", "--"},   {"标签_3减", "0%"},
        {"标签_4减", "--"},     {"标签_5减", "--"},
    };
    EXPECT_EQ(window.writes, expected);
}

}  // namespace
}  // namespace tovmira
