// FakeFundService: a local stand-in for the fund-data service's net-value listing, a real HTTP
// server on 127.0.0.1 serving a generated history 40 rows a page, able to fail chosen pages.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "testing/raw_http_server.h"

namespace tovmira::testing {

enum class DayChange { rise, fall, unchanged };

// One listed trading day: its date as the first cell shows it ('2020-04-24') and its change.
struct HistoryDay {
    std::string date;
    DayChange change = DayChange::unchanged;
};

// `trading_days` days, newest first, ending on Friday 2020-04-24 and going back over weekdays
// only; rises, falls and unchanged days mixed by a fixed pseudo-random sequence from `seed`.
std::vector<HistoryDay> generate_history(int trading_days, std::uint32_t seed = 1);

// How one answer of the service goes wrong.
enum class PageFailure {
    none,
    refuse,          // the connection is closed as soon as the request has been read
    stall,           // the request is read and never answered
    slow,            // the right page, but only after the slow delay
    break_mid_body,  // headers and half the body, then the connection closes
    wrong_content,   // 200 OK with a page that is not the listing
    server_error,    // 500 Internal Server Error
};

class FakeFundService {
  public:
    explicit FakeFundService(std::vector<HistoryDay> history);
    ~FakeFundService();
    FakeFundService(const FakeFundService&) = delete;
    FakeFundService& operator=(const FakeFundService&) = delete;

    // "http://127.0.0.1:<port>/f10/F10DataApi.aspx?type=lsjz&code=": the query's prefix.
    std::string url_prefix() const;

    // Every request for listing page `page` fails as given (none mends it).
    void fail_page(int page, PageFailure failure);
    // The request_number-th request to arrive (1 for the first) fails as given; it takes
    // precedence over fail_page.
    void fail_request(int request_number, PageFailure failure);
    // How long a `slow` answer waits before it is sent (default 500 ms).
    void set_slow_delay(std::chrono::milliseconds delay);
    // Rows as '<TR><TD>' ... '</TR>' instead of lower case.
    void set_upper_case_row_tags(bool upper);

    // The request targets received so far, in order ("/f10/F10DataApi.aspx?type=lsjz&code=...").
    std::vector<std::string> request_targets() const;
    // The page number of every request so far (0 when a target names none).
    std::vector<int> requested_pages() const;
    std::size_t request_count() const;

    const std::vector<HistoryDay>& history() const { return history_; }
    // The listing's body for `page` at `per` rows a page, as the service sends it (UTF-8).
    std::string page_body(int page, int per) const;

  private:
    Reply reply_to(const RecordedRequest& request);

    std::vector<HistoryDay> history_;
    mutable std::mutex mutex_;
    std::map<int, PageFailure> page_failures_;
    std::map<int, PageFailure> request_failures_;
    std::chrono::milliseconds slow_delay_{500};
    bool upper_case_rows_ = false;
    int requests_seen_ = 0;
    std::unique_ptr<RawHttpServer> server_;  // last: stops before the state it reads goes away
};

// The page number in a listing target: the digits after its last "&page=" (0 when absent).
int page_of_target(std::string_view target);

}  // namespace tovmira::testing
