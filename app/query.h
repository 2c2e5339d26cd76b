// QueryRunner: the query behind the 查询 button. It pages through the fund's listing, tallies the
// rows per weekday and writes the shares and a status line; the latest click always wins.
#pragma once

#include <cstdint>
#include <vector>

#include "app/query_window.h"
#include "text/types.h"

namespace tovmira {

class QueryRunner {
  public:
    // Queries go to `url_prefix` + code + "&page=n&per=40"; production passes history_url_prefix.
    QueryRunner(QueryWindow& window, Text url_prefix);

    // Runs one whole query for the code in the edit box. A click while a query runs (delivered
    // from inside it, while it handles events) starts the new query at once; the older one then
    // makes no further request and writes no label or status. Does nothing after close().
    void on_query_clicked();

    // The window is closing: every running query stops at its next event point, writing nothing.
    void close();

    // Whether the innermost running query may go on: false once a newer query was started or
    // the window is closing; true when no query runs. A waiting request aborts when it is false.
    bool current_query_may_continue() const;

    // Whether a query is running.
    bool busy() const { return !running_.empty(); }

  private:
    void run_query(std::uint64_t id);
    bool may_continue(std::uint64_t id) const { return !closing_ && id == latest_; }
    void show_status(TextView text) { window_.set_control_text(status_label_name, text); }

    QueryWindow& window_;
    Text url_prefix_;
    std::uint64_t latest_ = 0;            // id of the newest query started
    std::vector<std::uint64_t> running_;  // ids of the running queries, innermost last
    bool closing_ = false;
};

}  // namespace tovmira
