// WeekdayTally: rising and falling trading days counted per weekday from the history's table rows,
// and the ten shares written into the result labels ("33.33%", "--" for a weekday without days).
#pragma once

#include <cstdint>

#include "app/query_window.h"
#include "text/types.h"

namespace tovmira {

struct WeekdayTally {
    std::int32_t mon_rise = 0;
    std::int32_t mon_fall = 0;
    std::int32_t tue_rise = 0;
    std::int32_t tue_fall = 0;
    std::int32_t wed_rise = 0;
    std::int32_t wed_fall = 0;
    std::int32_t thu_rise = 0;
    std::int32_t thu_fall = 0;
    std::int32_t fri_rise = 0;
    std::int32_t fri_fall = 0;
};

// Counts one row ("日期" + the row's cells): a row dated Monday to Friday adds 1 to its weekday's
// rise counter when it holds "tor bold red" and to its fall counter when it holds "tor bold grn"
// (both for both). Weekend rows and rows whose first cell is no readable date count nowhere.
void count_row(WeekdayTally& tally, TextView row);

// The tally of all rows, in one pass.
WeekdayTally tally_rows(const TextArray& history_rows);

// `part` of `part + other` as a percentage with at most two decimals and "%" ('33.33%', '100%');
// "--" when both are 0, for a weekday that has no counted day.
Text share_text(std::int32_t part, std::int32_t other);

// Writes the ten shares into the result labels, rise row Monday to Friday then fall row, each
// label as soon as its text is computed.
void write_shares(QueryWindow& window, const WeekdayTally& tally);

}  // namespace tovmira
