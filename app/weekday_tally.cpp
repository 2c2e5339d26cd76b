#include "app/weekday_tally.h"

#include "text/array.h"
#include "text/dates.h"
#include "text/find.h"
#include "text/gbk_literal.h"
#include "text/markers.h"
#include "text/numbers.h"

namespace tovmira {
namespace {

struct DayCounters {
    std::int32_t* rise;
    std::int32_t* fall;
};

// The counters of weekday d (2 Monday ... 6 Friday); null for the weekend.
DayCounters counters_of(WeekdayTally& tally, int weekday) {
    switch (weekday) {
        case 2:
            return {&tally.mon_rise, &tally.mon_fall};
        case 3:
            return {&tally.tue_rise, &tally.tue_fall};
        case 4:
            return {&tally.wed_rise, &tally.wed_fall};
        case 5:
            return {&tally.thu_rise, &tally.thu_fall};
        case 6:
            return {&tally.fri_rise, &tally.fri_fall};
        default:
            return {nullptr, nullptr};
    }
}

}  // namespace

void count_row(WeekdayTally& tally, TextView row) {
    Text date_text = text_between(row, "日期"_gbk, "</td>");
    DateTime date = text_to_date(date_text);
    // An unreadable date comes back as null_date, which falls on a Friday; such a row belongs to
    // no weekday at all.
    if (date == null_date) return;
    DayCounters day = counters_of(tally, weekday_of(date));
    if (day.rise == nullptr) return;
    if (find_text(row, "tor bold red") >= 1) ++*day.rise;
    if (find_text(row, "tor bold grn") >= 1) ++*day.fall;
}

WeekdayTally tally_rows(const TextArray& history_rows) {
    WeekdayTally tally;
    int count = array_count(history_rows);
    for (int i = 1; i <= count; ++i) count_row(tally, array_at(history_rows, i));
    return tally;
}

Text share_text(std::int32_t part, std::int32_t other) {
    if (part == 0 && other == 0) return Text("--");
    double total = static_cast<double>(part) + static_cast<double>(other);
    // Divide first, then scale: the two-decimal rounding of the result depends on that order.
    double share = static_cast<double>(part) / total;
    double percent = share * 100.0;
    Text text = number_to_text(round_to(percent, 2));
    text += "%";
    return text;
}

void write_shares(QueryWindow& window, const WeekdayTally& tally) {
    const std::int32_t rises[5] = {tally.mon_rise, tally.tue_rise, tally.wed_rise, tally.thu_rise,
                                   tally.fri_rise};
    const std::int32_t falls[5] = {tally.mon_fall, tally.tue_fall, tally.wed_fall, tally.thu_fall,
                                   tally.fri_fall};
    for (int day = 0; day < 5; ++day)
        window.set_control_text(result_label_names[day], share_text(rises[day], falls[day]));
    for (int day = 0; day < 5; ++day)
        window.set_control_text(result_label_names[5 + day], share_text(falls[day], rises[day]));
}

}  // namespace tovmira
