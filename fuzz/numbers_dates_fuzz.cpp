// Fuzzes the number and date conversions: text_to_integer against strtoll, integer_to_text and
// number_to_text read back, round_to's distance from its argument, text_to_date's range and a
// date written as text and read again, weekday_of for every double.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/dates.h"
#include "text/numbers.h"

using namespace tovmira;

namespace {

template <class T>
T take(const std::uint8_t*& data, std::size_t& size) {
    T value{};
    std::size_t n = std::min(size, sizeof value);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void check_integer(std::string_view text, int value) {
    FUZZ_CHECK(text_to_integer(integer_to_text(value)) == value);
    FUZZ_CHECK(std::strtoll(integer_to_text(value).c_str(), nullptr, 10) == value);

    // Plain ASCII without too many digits: strtoll's reading, wrapped to 32 bits.
    std::string ascii(text);
    bool plain = ascii.find('\0') == std::string::npos;
    for (char c : ascii) plain = plain && static_cast<unsigned char>(c) < 0x80;
    std::size_t digits = 0;
    for (char c : ascii) digits += c >= '0' && c <= '9';
    if (plain && digits <= 18) {
        long long expected = std::strtoll(ascii.c_str(), nullptr, 10);
        FUZZ_CHECK(text_to_integer(ascii) ==
                   static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(expected))));
    }
}

void check_number(double x) {
    Text text = number_to_text(x);
    FUZZ_CHECK(!text.empty() && text.size() <= 24);
    if (std::isnan(x) || std::isinf(x)) {
        FUZZ_CHECK(text.find("1.#") != Text::npos);
        return;
    }
    if (x == 0) {
        FUZZ_CHECK(text == "0");
        return;
    }
    double back = std::strtod(text.c_str(), nullptr);
    // Thirteen significant digits: off by at most half a unit of the thirteenth.
    double tolerance = std::fabs(x) * 6e-13 + 1e-320;
    FUZZ_CHECK(std::fabs(back - x) <= tolerance);
    FUZZ_CHECK((back < 0) == (x < 0));
}

void check_rounding(double x, int n) {
    double r = round_to(x, n);
    if (x == 0 || std::isnan(x) || std::isinf(x)) {
        FUZZ_CHECK(std::memcmp(&r, &x, sizeof r) == 0 || (std::isnan(x) && std::isnan(r)));
        return;
    }
    if (std::fabs(x) > 1e15 || std::fabs(x) < 1e-300) return;
    double unit = std::pow(10.0, -n);
    FUZZ_CHECK(std::fabs(r - x) <= unit * 0.5 * (1 + 1e-9) + std::fabs(x) * 1e-15);
    FUZZ_CHECK(r == 0 || (r < 0) == (x < 0));
    // The app writes shares rounded to two decimals: their text holds at most two of them.
    if (n == 2 && std::fabs(x) <= 1e6) {
        Text text = number_to_text(r);
        std::size_t point = text.find('.');
        FUZZ_CHECK(point == Text::npos || text.size() - point - 1 <= 2);
    }
}

int days_in_month(int year, int month) {
    using namespace std::chrono;
    return static_cast<int>(static_cast<unsigned>(
        year_month_day_last(std::chrono::year(year), month_day_last(std::chrono::month(month))).day()));
}

void check_date_text(std::string_view text) {
    DateTime date = text_to_date(text);
    FUZZ_CHECK(date == null_date || (date > null_date - 1 && date < 2958466.0));
    int weekday = weekday_of(date);
    FUZZ_CHECK(weekday >= 1 && weekday <= 7);
}

// A valid date and time written as the service and the user write them, read back.
void check_date_round_trip(std::uint16_t y, std::uint8_t m, std::uint8_t d, std::uint32_t time,
                           std::uint8_t style) {
    using namespace std::chrono;
    int year = 100 + y % 9900;
    int month = 1 + m % 12;
    int day = 1 + d % days_in_month(year, month);
    int seconds = static_cast<int>(time % 86400);
    char buffer[64];
    if (style % 3 == 0) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
        seconds = 0;
    } else if (style % 3 == 1) {
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%d:%d", year, month, day, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    } else {
        std::snprintf(buffer, sizeof buffer, "%d.%d.%d", year, month, day);
        seconds = 0;
    }
    sys_days days{std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day)};
    sys_days epoch{std::chrono::year(1899) / December / 30};
    double expected = static_cast<double>((days - epoch).count());
    expected += (expected < 0 ? -1 : 1) * seconds / 86400.0;
    DateTime date = text_to_date(buffer);
    FUZZ_CHECK(std::fabs(date - expected) < 1e-6);
    int weekday = static_cast<int>(weekday_of(date));
    FUZZ_CHECK(weekday == static_cast<int>(std::chrono::weekday(days).c_encoding()) + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* cursor = data;
    std::size_t left = size;
    double x = take<double>(cursor, left);
    int n = static_cast<int>(take<std::int8_t>(cursor, left)) % 12;
    int value = take<int>(cursor, left);
    auto y = take<std::uint16_t>(cursor, left);
    auto m = take<std::uint8_t>(cursor, left);
    auto d = take<std::uint8_t>(cursor, left);
    auto time = take<std::uint32_t>(cursor, left);
    auto style = take<std::uint8_t>(cursor, left);
    std::string_view text(reinterpret_cast<const char*>(cursor), left);
    text = tovmira::fuzz::before_zero(text);

    check_integer(text, value);
    check_number(x);
    check_rounding(x, n);
    FUZZ_CHECK(weekday_of(x) >= 1 && weekday_of(x) <= 7);
    check_date_text(text);
    check_date_round_trip(y, m, d, time, style);
    return 0;
}
