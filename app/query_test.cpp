#include "app/query.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/recording_window.h"
#include "text/events.h"

namespace tovmira {
namespace {

using testing::FakeFundService;
using testing::generate_history;
using testing::HistoryDay;
using testing::PageFailure;

// Installs an event dispatcher for one test and removes it at the end.
class ScopedDispatcher {
  public:
    explicit ScopedDispatcher(std::function<void()> dispatcher)
        : previous_(set_event_dispatcher(std::move(dispatcher))) {}
    ~ScopedDispatcher() { set_event_dispatcher(std::move(previous_)); }

  private:
    std::function<void()> previous_;
};

struct QueryFixture {
    explicit QueryFixture(std::vector<HistoryDay> history) : service(std::move(history)) {}
    void run(std::string_view code = "000001") {
        window.type_code(code);
        runner.on_query_clicked();
    }
    std::vector<std::string> labels() const {
        std::vector<std::string> shown;
        for (std::string_view name : result_label_names) shown.push_back(window.utf8(name));
        return shown;
    }

    FakeFundService service;
    RecordingWindow window;
    QueryRunner runner{window, Text(service.url_prefix())};
};

void expect_labels_match(const std::vector<std::string>& labels, const ExpectedCounts& counts) {
    for (int day = 0; day < 5; ++day) {
        int rises = counts.rises[day], falls = counts.falls[day];
        ASSERT_GT(rises + falls, 0);
        EXPECT_NEAR(shown_percent(labels[day]), 100.0 * rises / (rises + falls), 0.005 + 1e-9)
            << "rise share of weekday " << day + 1 << ": " << labels[day];
        EXPECT_NEAR(shown_percent(labels[5 + day]), 100.0 * falls / (rises + falls), 0.005 + 1e-9)
            << "fall share of weekday " << day + 1 << ": " << labels[5 + day];
    }
}

TEST(Query, LabelsEqualAnIndependentCountOfTheHistory) {
    QueryFixture query(generate_history(317, 7));  // 8 pages, the last one partly filled
    query.run();
    expect_labels_match(query.labels(), count_independently(query.service.history()));
    EXPECT_EQ(query.window.utf8(status_label_name), "共 317 条净值记录");
    std::vector<int> pages = query.service.requested_pages();
    EXPECT_EQ(pages, (std::vector<int>{1, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(Query, CountsPageOneTwiceAndAsksForFortyRows) {
    QueryFixture query(generate_history(100));  // 'pages:3,'
    query.run("161725");
    std::string base = "/f10/F10DataApi.aspx?type=lsjz&code=161725&page=";
    EXPECT_EQ(query.service.request_targets(),
              (std::vector<std::string>{base + "1&per=40", base + "1&per=40", base + "2&per=40",
                                        base + "3&per=40"}));
}

TEST(Query, SendsTheCodeExactlyAsTyped) {
    struct Case {
        const char* code;
        const char* on_the_wire;  // a space goes out escaped, as the HTTP layer sends it
    } cases[] = {{"", ""}, {"000&001", "000&001"}, {" 000001 ", "%20000001%20"}};
    for (const Case& c : cases) {
        QueryFixture query(generate_history(10));
        query.run(c.code);
        std::vector<std::string> targets = query.service.request_targets();
        ASSERT_EQ(targets.size(), 2u) << "code '" << c.code << "'";
        EXPECT_EQ(targets[0], "/f10/F10DataApi.aspx?type=lsjz&code=" + std::string(c.on_the_wire) +
                                  "&page=1&per=40");
    }
}

TEST(Query, UpperCaseRowTagsAreCutLikeLowerCase) {
    QueryFixture query(generate_history(90, 3));
    query.service.set_upper_case_row_tags(true);
    query.run();
    expect_labels_match(query.labels(), count_independently(query.service.history()));
    EXPECT_EQ(query.window.utf8(status_label_name), "共 90 条净值记录");
}

TEST(Query, FailedMiddlePageLeavesOtherPagesCountedAndSaysSo) {
    struct Case {
        PageFailure failure;
        int rows_kept;  // of the failed page
    } cases[] = {
        {PageFailure::refuse, 0},
        {PageFailure::break_mid_body, -1},
        {PageFailure::wrong_content, 0},
        {PageFailure::server_error, 0},
    };
    for (const Case& c : cases) {
        std::vector<HistoryDay> history = generate_history(120, 11);
        QueryFixture query(history);
        query.service.fail_page(2, c.failure);
        query.run();
        std::string status = query.window.utf8(status_label_name);
        if (c.rows_kept == 0) {
            // Rows 41..80 are page 2's: the labels equal a count without them.
            history.erase(history.begin() + 40, history.begin() + 80);
            expect_labels_match(query.labels(), count_independently(history));
            EXPECT_EQ(status, "共 80 条净值记录，1 页读取失败") << static_cast<int>(c.failure);
        } else {
            // A body cut short may keep the whole rows that arrived before the break, never more.
            EXPECT_TRUE(status.starts_with("共 ") && status.ends_with(" 条净值记录，1 页读取失败"))
                << status;
            int rows = std::stoi(status.substr(4));
            EXPECT_GE(rows, 80);
            EXPECT_LT(rows, 120);
        }
        EXPECT_EQ(query.service.requested_pages(), (std::vector<int>{1, 1, 2, 3}));
    }
}

TEST(Query, StatusTellsFailedCountingRequestAndEmptyListing) {
    {
        QueryFixture query(generate_history(50));
        query.service.fail_request(1, PageFailure::refuse);
        query.run();
        EXPECT_TRUE(query.window.utf8(status_label_name).starts_with("查询失败：712 "))
            << query.window.utf8(status_label_name);
        EXPECT_EQ(query.service.request_count(), 1u);
        EXPECT_EQ(query.labels(), std::vector<std::string>(10, "--"));
    }
    {
        QueryFixture query(generate_history(50));
        query.service.fail_request(1, PageFailure::server_error);
        query.run();
        EXPECT_EQ(query.window.utf8(status_label_name), "查询失败：500 Internal Server Error");
    }
    {
        QueryFixture query({});  // an unknown code: one "暂无数据!" row and pages:0
        query.run("999999");
        EXPECT_EQ(query.window.utf8(status_label_name), "没有找到该基金的净值记录");
        EXPECT_EQ(query.service.request_count(), 1u);
        EXPECT_EQ(query.labels(), std::vector<std::string>(10, "--"));
    }
}

TEST(Query, ClearsBeforeTheFirstRequestAndWritesInOrder) {
    QueryFixture query(generate_history(45));
    for (std::string_view name : result_label_names) query.window.set_control_text(name, "old");
    query.window.writes.clear();
    query.run();
    std::vector<std::pair<std::string, std::string>> expected;
    for (std::string_view name : result_label_names) expected.emplace_back(name, "");
    expected.emplace_back(status_label_name, "");
    expected.emplace_back(status_label_name, "正在读取第 1/2 页");
    expected.emplace_back(status_label_name, "正在读取第 2/2 页");
    for (std::string_view name : result_label_names) expected.emplace_back(name, "?");
    expected.emplace_back(status_label_name, "共 45 条净值记录");
    ASSERT_EQ(query.window.writes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(query.window.writes[i].first, expected[i].first) << "write " << i;
        if (expected[i].second != "?")
            EXPECT_EQ(query.window.writes[i].second, expected[i].second) << "write " << i;
        else
            EXPECT_TRUE(query.window.writes[i].second.ends_with("%")) << "write " << i;
    }
}

TEST(Query, RowsWithoutReadableDateAreCountedNowhere) {
    std::vector<HistoryDay> history = {
        {"2020-04-24", testing::DayChange::rise}, {"净值日期", testing::DayChange::rise},
        {"2020-13-01", testing::DayChange::fall}, {"2020-04-23", testing::DayChange::fall},
        {"2020-04-25", testing::DayChange::rise},
    };
    QueryFixture query(history);
    query.run();
    EXPECT_EQ(query.labels(), (std::vector<std::string>{"--", "--", "--", "0%", "100%", "--", "--",
                                                        "--", "100%", "0%"}));
}

TEST(Query, LatestClickWinsOverTheRunningQuery) {
    QueryFixture query(generate_history(200, 5));  // 5 pages
    bool clicked = false;
    // The user clicks again with another code while the first query reads its second page.
    ScopedDispatcher dispatcher([&] {
        if (clicked || query.service.request_count() != 3) return;
        clicked = true;
        query.window.type_code("000002");
        query.runner.on_query_clicked();
    });
    query.run("000001");
    std::vector<std::string> targets = query.service.request_targets();
    ASSERT_GE(targets.size(), 3u);
    // The first query stopped after its third request; the second ran whole after it.
    std::size_t first_count = 0;
    for (const std::string& target : targets)
        if (target.find("code=000001&") != std::string::npos) ++first_count;
    EXPECT_EQ(first_count, 3u);
    EXPECT_EQ(targets.size(), 3u + 6u);
    EXPECT_EQ(query.window.utf8(status_label_name), "共 200 条净值记录");
    expect_labels_match(query.labels(), count_independently(query.service.history()));
    // Nothing was written after the second query's final status.
    EXPECT_EQ(query.window.writes.back().first, status_label_name);
}

TEST(Query, ClosingStopsTheQueryAtItsNextEventPoint) {
    QueryFixture query(generate_history(200));
    ScopedDispatcher dispatcher([&] {
        if (query.service.request_count() == 2) query.runner.close();
    });
    query.run();
    EXPECT_EQ(query.service.request_count(), 2u);
    EXPECT_FALSE(query.runner.busy());
    for (const auto& [name, text] : query.window.writes)
        EXPECT_TRUE(text.empty() || text.starts_with("正在读取")) << name << " " << text;
    // A click after closing runs nothing.
    query.runner.on_query_clicked();
    EXPECT_EQ(query.service.request_count(), 2u);
}

}  // namespace
}  // namespace tovmira
