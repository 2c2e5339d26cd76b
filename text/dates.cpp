#include "text/dates.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "text/gbk_literal.h"
#include "text/numbers.h"

namespace tovmira {
namespace {

constexpr DateTime kLastDay = 2958465.0;  // 9999-12-31
constexpr double kHalfSecond = 0.5 / 86400.0;

// Reads the fields of a date text one after another from the front.
class FieldReader {
  public:
    explicit FieldReader(TextView text) : text_(text) {}

    // Up to `limit` decimal digits; none read as 0.
    int digits(int limit) {
        int value = 0;
        for (int read = 0; read < limit && pos_ < text_.size(); ++read) {
            char c = text_[pos_];
            if (c < '0' || c > '9') break;
            value = value * 10 + (c - '0');
            ++pos_;
        }
        return value;
    }

    // Steps over one of the single-byte separators in `singles` or the GBK character `word`.
    void skip_separator(TextView singles, TextView word) {
        if (pos_ < text_.size() && singles.find(text_[pos_]) != TextView::npos) {
            ++pos_;
        } else if (text_.substr(pos_).starts_with(word)) {
            pos_ += word.size();
        }
    }

    bool at_end() const { return pos_ == text_.size(); }
    bool at(TextView word) const { return text_.substr(pos_).starts_with(word); }

  private:
    TextView text_;
    std::size_t pos_ = 0;
};

bool valid_time(int hour, int minute, int second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

}  // namespace

DateTime text_to_date(TextView text) {
    Text folded = half_width_fold(text);
    if (folded.empty()) return null_date;
    constexpr TextView kSeparators = "-./:";
    constexpr TextView kDaySeparators = "-./: ";
    FieldReader reader(folded);
    int year = reader.digits(4);
    reader.skip_separator(kSeparators, "年"_gbk);
    int month = reader.digits(2);
    reader.skip_separator(kSeparators, "月"_gbk);
    int day = reader.digits(2);
    reader.skip_separator(kDaySeparators, "日"_gbk);
    int hour = reader.digits(2);
    reader.skip_separator(kSeparators, "时"_gbk);
    int minute = reader.digits(2);
    reader.skip_separator(kSeparators, "分"_gbk);
    int second = reader.digits(2);
    if (!reader.at_end() && !reader.at("秒"_gbk)) return null_date;

    if (year < 100 || year > 9999) return null_date;
    std::chrono::year_month_day date{std::chrono::year(year),
                                     std::chrono::month(static_cast<unsigned>(month)),
                                     std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok() || !valid_time(hour, minute, second)) return null_date;

    // Days since 1899-12-30; before it the time of day is subtracted from the day count.
    constexpr std::chrono::sys_days kEpoch =
        std::chrono::year(1899) / std::chrono::December / std::chrono::day(30);
    auto days = (std::chrono::sys_days(date) - kEpoch).count();
    double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return days < 0 ? days - fraction : days + fraction;
}

int weekday_of(DateTime date) {
    if (std::isnan(date)) date = null_date;
    if (date < null_date) date = null_date;
    if (date > kLastDay) date = kLastDay;
    // Round to the nearest second, then take the whole day. Before 1899-12-30 the time of day
    // counts downward from the day number, so a time within half a second of midnight moves to
    // the following day, the one nearer zero.
    std::int64_t day;
    if (date >= 0) {
        day = static_cast<std::int64_t>(date + kHalfSecond);
    } else {
        day = static_cast<std::int64_t>(date);
        double time_of_day = static_cast<double>(day) - date;
        if (time_of_day + kHalfSecond >= 1.0) ++day;
    }
    return static_cast<int>((day + 693958) % 7) + 1;
}

}  // namespace tovmira
