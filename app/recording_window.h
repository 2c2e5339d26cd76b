// RecordingWindow: a QueryWindow for tests that keeps control texts in a map and logs every
// write in order; expected_shares: the ten label texts counted independently from a history.
#pragma once

#include <array>
#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/query_window.h"
#include "testing/fake_fund_service.h"
#include "text/codepage.h"

namespace tovmira {

class RecordingWindow : public QueryWindow {
  public:
    Text control_text(std::string_view name) const override {
        auto found = texts_.find(std::string(name));
        return found == texts_.end() ? Text() : found->second;
    }
    void set_control_text(std::string_view name, TextView text) override {
        texts_[std::string(name)] = Text(text);
        writes.emplace_back(std::string(name), gbk_to_utf8(text));
    }
    // The named control's text as UTF-8.
    std::string utf8(std::string_view name) const { return gbk_to_utf8(control_text(name)); }
    void type_code(std::string_view utf8_code) {
        texts_[std::string(fund_code_edit_name)] = utf8_to_gbk(utf8_code);
    }

    // (control name, text in UTF-8) of every write, in order.
    std::vector<std::pair<std::string, std::string>> writes;

  private:
    std::map<std::string, Text> texts_;
};

// Rises and falls per weekday (0 Monday ... 4 Friday), counted with the standard calendar.
struct ExpectedCounts {
    std::array<int, 5> rises{};
    std::array<int, 5> falls{};
};

inline ExpectedCounts count_independently(const std::vector<testing::HistoryDay>& history) {
    using namespace std::chrono;
    ExpectedCounts counts;
    for (const testing::HistoryDay& day : history) {
        int y = 0;
        unsigned m = 0, d = 0;
        if (std::sscanf(day.date.c_str(), "%d-%u-%u", &y, &m, &d) != 3) continue;
        year_month_day date{year{y}, month{m}, std::chrono::day{d}};
        if (!date.ok()) continue;
        unsigned weekday = std::chrono::weekday{sys_days{date}}.iso_encoding();  // 1 Monday
        if (weekday > 5) continue;
        if (day.change == testing::DayChange::rise) ++counts.rises[weekday - 1];
        if (day.change == testing::DayChange::fall) ++counts.falls[weekday - 1];
    }
    return counts;
}

// The percentage a share label shows, read back as a number ("33.33%" gives 33.33); -1 for "--".
inline double shown_percent(const std::string& label) {
    if (label == "--") return -1;
    return std::stod(label.substr(0, label.size() - 1));
}

}  // namespace tovmira
