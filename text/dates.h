// DateTime, days since 1899-12-30 as a double, read from texts such as '2020-08-28' or
// '2020年8月28日', and its weekday (1 Sunday ... 7 Saturday).
#pragma once

#include "text/types.h"

namespace tovmira {

using DateTime = double;

// 0100-01-01 00:00:00, what an unreadable date text gives; it falls on a Friday.
inline constexpr DateTime null_date = -657434.0;

// Year (up to 4 digits), month, day and an optional time, with the separators - . / : and
// 年月日时分秒 (full-width forms folded first); null_date for a text that is not a valid date,
// one with a leading space, a 'T' or two spaces before the time among them.
DateTime text_to_date(TextView text);

// 1 Sunday, 2 Monday, ... 7 Saturday of `date` rounded to the second; dates outside
// 0100-01-01..9999-12-31 are clamped to the nearer end, and NaN counts as null_date (Friday).
int weekday_of(DateTime date);

}  // namespace tovmira
