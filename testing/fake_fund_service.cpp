#include "testing/fake_fund_service.h"

#include <chrono>
#include <cstdio>

namespace tovmira::testing {
namespace {

constexpr std::string_view listing_path = "/f10/F10DataApi.aspx?type=lsjz&code=";

std::string format_date(std::chrono::year_month_day day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

std::string render_row(const HistoryDay& day, std::size_t index, bool upper_case) {
    const char* change_class = day.change == DayChange::rise   ? "tor bold red"
                               : day.change == DayChange::fall ? "tor bold grn"
                                                               : "tor bold bck";
    const char* growth = day.change == DayChange::rise   ? "0.85%"
                         : day.change == DayChange::fall ? "-1.16%"
                                                         : "0.00%";
    char value[16];
    std::snprintf(value, sizeof value, "%.4f", 1.0 + static_cast<double>(index % 3000) / 1000.0);
    std::string row = upper_case ? "<TR><TD>" : "<tr><td>";
    row += day.date;
    row += "</td><td class='tor bold'>";
    row += value;
    row += "</td><td class='tor bold'>";
    row += value;
    row += "</td><td class='";
    row += change_class;
    row += "'>";
    row += growth;
    row += "</td><td>开放申购</td><td>开放赎回</td><td class='red unbold'></td>";
    row += upper_case ? "</TR>" : "</tr>";
    return row;
}

int integer_after(std::string_view target, std::string_view key) {
    std::size_t at = target.rfind(key);
    if (at == std::string_view::npos) return 0;
    int value = 0;
    for (std::size_t i = at + key.size(); i < target.size() && target[i] >= '0' && target[i] <= '9';
         ++i)
        value = value * 10 + (target[i] - '0');
    return value;
}

}  // namespace

std::vector<HistoryDay> generate_history(int trading_days, std::uint32_t seed) {
    using namespace std::chrono;
    std::vector<HistoryDay> history;
    history.reserve(static_cast<std::size_t>(trading_days > 0 ? trading_days : 0));
    sys_days day = sys_days{year{2020} / April / 24};
    std::uint32_t state = seed * 2654435761u + 12345u;
    while (static_cast<int>(history.size()) < trading_days) {
        weekday w{day};
        if (w != Saturday && w != Sunday) {
            state = state * 1664525u + 1013904223u;
            std::uint32_t roll = (state >> 16) % 100;
            DayChange change = roll < 45   ? DayChange::rise
                               : roll < 85 ? DayChange::fall
                                           : DayChange::unchanged;
            history.push_back({format_date(year_month_day{day}), change});
        }
        day -= days{1};
    }
    return history;
}

int page_of_target(std::string_view target) {
    return integer_after(target, "&page=");
}

FakeFundService::FakeFundService(std::vector<HistoryDay> history) : history_(std::move(history)) {
    server_ = std::make_unique<RawHttpServer>(
        [this](const RecordedRequest& request) { return reply_to(request); });
}

FakeFundService::~FakeFundService() {
    server_.reset();
}

std::string FakeFundService::url_prefix() const {
    return server_->url(listing_path);
}

void FakeFundService::fail_page(int page, PageFailure failure) {
    std::lock_guard lock(mutex_);
    page_failures_[page] = failure;
}

void FakeFundService::fail_request(int request_number, PageFailure failure) {
    std::lock_guard lock(mutex_);
    request_failures_[request_number] = failure;
}

void FakeFundService::set_slow_delay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    slow_delay_ = delay;
}

void FakeFundService::set_upper_case_row_tags(bool upper) {
    std::lock_guard lock(mutex_);
    upper_case_rows_ = upper;
}

std::vector<std::string> FakeFundService::request_targets() const {
    std::vector<std::string> targets;
    for (const RecordedRequest& request : server_->requests()) targets.push_back(request.target);
    return targets;
}

std::vector<int> FakeFundService::requested_pages() const {
    std::vector<int> pages;
    for (const RecordedRequest& request : server_->requests())
        pages.push_back(page_of_target(request.target));
    return pages;
}

std::size_t FakeFundService::request_count() const {
    return server_->request_count();
}

std::string FakeFundService::page_body(int page, int per) const {
    bool upper_case;
    {
        std::lock_guard lock(mutex_);
        upper_case = upper_case_rows_;
    }
    if (per <= 0) per = 10;
    std::size_t records = history_.size();
    std::size_t pages =
        (records + static_cast<std::size_t>(per) - 1) / static_cast<std::size_t>(per);
    std::string body =
        "var apidata={ content:\"<table class='w782 comm lsjz'><thead><tr><th "
        "class='first'>净值日期</th><th>单位净值</th><th>累计净值</th><th>日增长率</th>"
        "<th>申购状态</th><th>赎回状态</th><th class='tor last'>分红送配</th></tr></thead><tbody>";
    std::size_t first = page >= 1 ? static_cast<std::size_t>(page - 1) * per : records;
    if (first >= records) {
        body += "<tr><td colspan='7' align='center'>暂无数据!</td></tr>";
    } else {
        std::size_t end = std::min(records, first + static_cast<std::size_t>(per));
        body.reserve(body.size() + (end - first) * 220 + 100);
        for (std::size_t i = first; i < end; ++i) body += render_row(history_[i], i, upper_case);
    }
    body += "</tbody></table>\",records:" + std::to_string(records) +
            ",pages:" + std::to_string(pages) + ",curpage:" + std::to_string(page) + "};";
    return body;
}

Reply FakeFundService::reply_to(const RecordedRequest& request) {
    int page = page_of_target(request.target);
    int per = integer_after(request.target, "&per=");
    PageFailure failure = PageFailure::none;
    std::chrono::milliseconds slow_delay;
    {
        std::lock_guard lock(mutex_);
        int number = ++requests_seen_;
        if (auto found = request_failures_.find(number); found != request_failures_.end())
            failure = found->second;
        else if (auto on_page = page_failures_.find(page); on_page != page_failures_.end())
            failure = on_page->second;
        slow_delay = slow_delay_;
    }
    const std::vector<std::string> content_type = {"Content-Type: text/html; charset=utf-8"};
    switch (failure) {
        case PageFailure::refuse:
            return Reply::close_now();
        case PageFailure::stall:
            return Reply::stall();
        case PageFailure::wrong_content:
            return Reply::full(http_response(
                200, "OK", "<html><body><h1>系统维护中，请稍后再试</h1></body></html>",
                content_type));
        case PageFailure::server_error:
            return Reply::full(http_response(500, "Internal Server Error", "error", content_type));
        default:
            break;
    }
    std::string response = http_response(200, "OK", page_body(page, per), content_type);
    if (failure == PageFailure::break_mid_body) {
        std::size_t head = response.find("\r\n\r\n") + 4;
        return Reply::cut(response, head + (response.size() - head) / 2);
    }
    if (failure == PageFailure::slow) return Reply::trickle(response, slow_delay, response.size());
    return Reply::full(std::move(response));
}

}  // namespace tovmira::testing
