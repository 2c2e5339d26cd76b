// Fuzzes the weekday tally over page texts: an arbitrary page never counts more days than it has
// rows, a page built from the input's rows counts exactly what they hold, and every share is a
// percentage from 0 to 100 with at most two decimals.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/history_paging.h"
#include "app/weekday_tally.h"
#include "fuzz/fuzz_support.h"

using namespace tovmira;

namespace {

std::int32_t total(const WeekdayTally& t, bool rises) {
    return rises ? t.mon_rise + t.tue_rise + t.wed_rise + t.thu_rise + t.fri_rise
                 : t.mon_fall + t.tue_fall + t.wed_fall + t.thu_fall + t.fri_fall;
}

void check_share(std::int32_t part, std::int32_t other) {
    Text text = share_text(part, other);
    if (part == 0 && other == 0) {
        FUZZ_CHECK(text == "--");
        return;
    }
    FUZZ_CHECK(text.size() >= 2 && text.back() == '%');
    std::string number(text, 0, text.size() - 1);
    std::size_t point = number.find('.');
    FUZZ_CHECK(point == std::string::npos || number.size() - point - 1 <= 2);
    char* end = nullptr;
    double value = std::strtod(number.c_str(), &end);
    FUZZ_CHECK(end == number.c_str() + number.size());
    FUZZ_CHECK(value >= 0 && value <= 100);
    double expected = 100.0 * part / (static_cast<double>(part) + other);
    FUZZ_CHECK(value - expected <= 0.005 + 1e-9 && expected - value <= 0.005 + 1e-9);
}

// A page in the service's format from the input: three bytes a row, two for the day (counted
// from 2000-01-01) and one for its mark; returns the expected tally in `expected`.
std::string build_page(const std::uint8_t* data, std::size_t size, WeekdayTally& expected,
                       int& rows) {
    using namespace std::chrono;
    std::string page = "var apidata={ content:\"<table><tbody>";
    rows = 0;
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        int offset = data[i] | data[i + 1] << 8;
        int mark = data[i + 2] % 4;
        sys_days day = sys_days{year(2000) / January / 1} + days(offset);
        year_month_day ymd{day};
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
        const char* classes[4] = {"tor bold red", "tor bold grn", "tor bold bck", "tor bold"};
        page += "<tr><td>";
        page += date;
        page += "</td><td class='tor bold'>1.0000</td><td class='";
        page += classes[mark];
        page += "'>0.10%</td></tr>";
        ++rows;
        unsigned day_of_week = weekday(day).c_encoding();  // 0 Sunday ... 6 Saturday
        std::int32_t* rise[7] = {nullptr,           &expected.mon_rise, &expected.tue_rise,
                                 &expected.wed_rise, &expected.thu_rise, &expected.fri_rise,
                                 nullptr};
        std::int32_t* fall[7] = {nullptr,           &expected.mon_fall, &expected.tue_fall,
                                 &expected.wed_fall, &expected.thu_fall, &expected.fri_fall,
                                 nullptr};
        if (mark == 0 && rise[day_of_week]) ++*rise[day_of_week];
        if (mark == 1 && fall[day_of_week]) ++*fall[day_of_week];
    }
    page += "</tbody></table>\",records:1,pages:1,curpage:1};";
    return page;
}

bool same(const WeekdayTally& a, const WeekdayTally& b) {
    return a.mon_rise == b.mon_rise && a.mon_fall == b.mon_fall && a.tue_rise == b.tue_rise &&
           a.tue_fall == b.tue_fall && a.wed_rise == b.wed_rise && a.wed_fall == b.wed_fall &&
           a.thu_rise == b.thu_rise && a.thu_fall == b.thu_fall && a.fri_rise == b.fri_rise &&
           a.fri_fall == b.fri_fall;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);
    page = tovmira::fuzz::before_zero(page);

    if (data[0] & 1) {
        TextArray rows;
        int count = cut_page_rows(page, rows);
        FUZZ_CHECK(count == static_cast<int>(rows.size()));
        WeekdayTally tally = tally_rows(rows);
        FUZZ_CHECK(total(tally, true) <= count && total(tally, false) <= count);
        const std::int32_t all[10] = {tally.mon_rise, tally.mon_fall, tally.tue_rise, tally.tue_fall,
                                      tally.wed_rise, tally.wed_fall, tally.thu_rise, tally.thu_fall,
                                      tally.fri_rise, tally.fri_fall};
        for (std::int32_t c : all) FUZZ_CHECK(c >= 0 && c <= count);
        for (int d = 0; d < 10; d += 2) {
            check_share(all[d], all[d + 1]);
            check_share(all[d + 1], all[d]);
        }
        (void)page_count_of(page);
        FUZZ_CHECK(!page_read_ok("200 OK", page) || page.find("pages:") != std::string_view::npos);
    } else {
        WeekdayTally expected;
        int built_rows = 0;
        std::string built = build_page(data + 1, size - 1, expected, built_rows);
        TextArray rows;
        FUZZ_CHECK(cut_page_rows(built, rows) == built_rows);
        FUZZ_CHECK(same(tally_rows(rows), expected));
        FUZZ_CHECK(page_count_of(built) == 1);
    }
    if (size >= 9) {
        std::int32_t part = (data[1] | data[2] << 8 | data[3] << 16) & 0x7FFFFFFF;
        std::int32_t other = (data[5] | data[6] << 8 | data[7] << 16) & 0x7FFFFFFF;
        check_share(part, other);
    }
    return 0;
}
