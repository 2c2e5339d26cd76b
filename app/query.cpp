#include "app/query.h"

#include <utility>

#include "app/history_paging.h"
#include "app/weekday_tally.h"
#include "http/fetch.h"
#include "text/array.h"
#include "text/events.h"
#include "text/gbk_literal.h"
#include "text/numbers.h"

namespace tovmira {
namespace {

// A plain GET with http_fetch's defaults; `status_text` receives its status or failure message.
Text fetch_page(TextView address, Text& status_text) {
    status_text.clear();
    return http_fetch(address, {.method = 0, .status_text = &status_text});
}

Text paging_status(int page, int page_count) {
    Text text = "正在读取第 "_gbk;
    text += integer_to_text(page);
    text += "/";
    text += integer_to_text(page_count);
    text += " 页"_gbk;
    return text;
}

Text final_status(int row_count, int failed_pages) {
    Text text = "共 "_gbk;
    text += integer_to_text(row_count);
    text += " 条净值记录"_gbk;
    if (failed_pages > 0) {
        text += "，"_gbk;
        text += integer_to_text(failed_pages);
        text += " 页读取失败"_gbk;
    }
    return text;
}

}  // namespace

QueryRunner::QueryRunner(QueryWindow& window, Text url_prefix)
    : window_(window), url_prefix_(std::move(url_prefix)) {}

void QueryRunner::on_query_clicked() {
    if (closing_) return;
    std::uint64_t id = ++latest_;
    running_.push_back(id);
    run_query(id);
    running_.pop_back();
}

void QueryRunner::close() {
    closing_ = true;
}

bool QueryRunner::current_query_may_continue() const {
    return running_.empty() || may_continue(running_.back());
}

void QueryRunner::run_query(std::uint64_t id) {
    TextArray page_rows;
    TextArray history_rows;
    for (std::string_view label : result_label_names) window_.set_control_text(label, {});
    show_status({});
    Text fund_code = window_.control_text(fund_code_edit_name);

    // Every fetch and every cut of a page lets the window handle its events, and so may start a
    // newer query or close the window: after each of them this query checks that it may go on.
    Text status_text;
    Text page_text = fetch_page(page_address(url_prefix_, fund_code, 1), status_text);
    if (!may_continue(id)) return;
    if (!answered_ok(status_text)) {
        Text failure = "查询失败："_gbk;
        failure += status_text;
        show_status(failure);
        write_shares(window_, WeekdayTally{});
        return;
    }
    int page_count = page_count_of(page_text);
    if (page_count <= 0) {
        show_status("没有找到该基金的净值记录"_gbk);
        write_shares(window_, WeekdayTally{});
        return;
    }

    int failed_pages = 0;
    for (int page = 1; page <= page_count; ++page) {
        show_status(paging_status(page, page_count));
        page_text = fetch_page(page_address(url_prefix_, fund_code, page), status_text);
        if (!may_continue(id)) return;
        if (!page_read_ok(status_text, page_text)) ++failed_pages;
        // Rows of a page cut short are whole rows and still count; the status names the page.
        cut_page_rows(page_text, page_rows);
        if (!may_continue(id)) return;
        if (array_count(page_rows) > 0) array_append(history_rows, page_rows);
        // One event point per page, whatever the page held, so the window never goes stale.
        process_events();
        if (!may_continue(id)) return;
    }
    page_text = Text();

    write_shares(window_, tally_rows(history_rows));
    show_status(final_status(array_count(history_rows), failed_pages));
}

}  // namespace tovmira
