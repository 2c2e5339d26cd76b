#include "http/fetch.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/raw_http_server.h"
#include "text/events.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

using testing::http_ok;
using testing::http_response;
using testing::RawHttpServer;
using testing::RecordedRequest;
using testing::Reply;

constexpr const char* kDefaultHeaders =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Cache-Control: no-cache\r\n";

// Counts process_events calls for as long as it lives.
class EventCounter {
  public:
    EventCounter() : previous_(set_event_dispatcher([this] { ++count_; })) {}
    ~EventCounter() { set_event_dispatcher(std::move(previous_)); }
    int count() const { return count_; }

  private:
    int count_ = 0;
    std::function<void()> previous_;
};

// The request's header lines without its Host line, which the connection adds.
std::string headers_without_host(const RecordedRequest& request) {
    std::string block;
    for (const auto& [name, value] : request.headers) {
        if (name == "Host") continue;
        block += name + ": " + value + "\r\n";
    }
    return block;
}

int line_count(TextView block) {
    int count = 0;
    for (std::size_t at = block.find("\r\n"); at != TextView::npos;
         at = block.find("\r\n", at + 2)) {
        ++count;
    }
    return count;
}

RecordedRequest only_request(const RawHttpServer& server) {
    const auto requests = server.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest{} : requests.front();
}

TEST(HttpFetchTest, PlainGetSendsTheDefaultBlockAndReturnsTheBody) {
    RawHttpServer server(Reply::full(http_ok("<p>hello</p>")));
    Text status;
    Text headers;
    ByteSet body;
    EventCounter events;
    const Text result =
        http_fetch(server.url("/f10/F10DataApi.aspx?type=lsjz&code=1"),
                   {.response_headers = &headers, .status_text = &status, .response_body = &body});
    EXPECT_EQ(result, "<p>hello</p>");
    EXPECT_EQ(status, "200 OK");
    EXPECT_EQ(std::string(body.begin(), body.end()), "<p>hello</p>");
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n")) << headers;

    const RecordedRequest request = only_request(server);
    EXPECT_EQ(request.request_line, "GET /f10/F10DataApi.aspx?type=lsjz&code=1 HTTP/1.1");
    EXPECT_EQ(request.header("Host"), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(headers_without_host(request), kDefaultHeaders);
    EXPECT_TRUE(request.body.empty());
    // One pass per header line, one after the charset search, one after the response and one
    // on leaving each of the eight nested steps.
    EXPECT_EQ(events.count(), line_count(headers) + 1 + 1 + 8);
}

TEST(HttpFetchTest, UrlWithoutPathAsksForTheRoot) {
    RawHttpServer server(Reply::full(http_ok("x")));
    EXPECT_EQ(http_fetch("http://127.0.0.1:" + std::to_string(server.port())), "x");
    EXPECT_EQ(only_request(server).target, "/");
}

TEST(HttpFetchTest, MethodsNameTheirVerbs) {
    struct Case {
        int method;
        const char* verb;
    } cases[] = {{0, "GET"},    {1, "POST"},  {3, "PUT"}, {4, "OPTIONS"},
                 {5, "DELETE"}, {6, "TRACE"}, {8, "GET"}, {-1, "GET"}};
    for (const Case& c : cases) {
        RawHttpServer server(Reply::full(http_ok("ok")));
        Text status;
        http_fetch(server.url("/v"), {.method = c.method, .status_text = &status});
        EXPECT_EQ(status, "200 OK") << c.method;
        EXPECT_EQ(only_request(server).method, c.verb) << c.method;
    }
}

TEST(HttpFetchTest, HeadReadsNoBody) {
    RawHttpServer server(Reply::full(http_response(200, "OK", "", {"Content-Length: 5"})));
    Text status;
    EXPECT_EQ(http_fetch(server.url("/h"), {.method = 2, .status_text = &status}), "");
    EXPECT_EQ(status, "200 OK");
    EXPECT_EQ(only_request(server).method, "HEAD");
}

TEST(HttpFetchTest, PostSendsBodyWithFormTypeAndLength) {
    RawHttpServer server(Reply::full(http_ok("done")));
    http_fetch(server.url("/post"), {.method = 1, .request_body = "a=1&b=2"});
    const RecordedRequest request = only_request(server);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.body, "a=1&b=2");
    EXPECT_EQ(request.header("Content-Length"), "7");
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
    // The defaults come out in their order with the form type after the language line.
    const std::string block = headers_without_host(request);
    EXPECT_LT(block.find("Accept-Language: zh-cn\r\n"),
              block.find("Content-Type: application/x-www-form-urlencoded\r\n"));
    EXPECT_LT(block.find("Content-Type: application/x-www-form-urlencoded\r\n"),
              block.find("Cache-Control: no-cache\r\n"));
}

TEST(HttpFetchTest, CallerHeadersOverrideDefaults) {
    RawHttpServer server(Reply::full(http_ok("ok")));
    http_fetch(server.url("/"),
               {.request_headers = "user-agent: Tester/1\r\nX-Extra: 1\r\nAccept: */*"});
    const RecordedRequest request = only_request(server);
    EXPECT_EQ(request.header("User-Agent"), "Tester/1");
    EXPECT_EQ(request.header("X-Extra"), "1");
    EXPECT_EQ(request.header("Accept"), "*/*");
    EXPECT_EQ(request.header("Accept-Language"), "zh-cn");
    int agents = 0;
    for (const auto& header : request.headers)
        agents += header.first == "user-agent" || header.first == "User-Agent";
    EXPECT_EQ(agents, 1);
}

TEST(HttpFetchTest, CookiesAreSentAndMergedWithWhatTheServerSets) {
    RawHttpServer server(Reply::full(
        http_response(200, "OK", "ok", {"Set-Cookie: b=2; Path=/", "Set-Cookie: a=9"})));
    Text cookies = "a=1; c=3";
    Text received;
    http_fetch(server.url("/"), {.cookies = &cookies, .response_cookies = &received});
    EXPECT_EQ(only_request(server).header("Cookie"), "a=1; c=3");
    EXPECT_EQ(cookies, "b=2; a=9; c=3");
    EXPECT_EQ(received, "b=2; a=9; c=3");
}

TEST(HttpFetchTest, CookiesStayWhenMergingIsOffOrCookiesAreLeftOut) {
    RawHttpServer server(Reply::full(http_response(200, "OK", "ok", {"Set-Cookie: b=2"})));
    Text cookies = "a=1";
    Text received = "old";
    http_fetch(server.url("/"),
               {.cookies = &cookies, .response_cookies = &received, .auto_merge_cookies = false});
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(received, "b=2");

    Text empty_cookies;
    http_fetch(server.url("/"), {.cookies = &empty_cookies, .response_cookies = &received});
    EXPECT_EQ(empty_cookies, "b=2");
    EXPECT_EQ(received, "b=2");
    // Given but empty: no Cookie line goes out.
    EXPECT_FALSE(server.requests().back().header("Cookie"));
}

TEST(HttpFetchTest, BasicCredentialsGoOutOnlyAsAPair) {
    RawHttpServer server(Reply::full(http_ok("ok")));
    http_fetch(server.url("/"), {.server_user = "user", .server_password = "pass"});
    http_fetch(server.url("/"), {.server_user = "user"});
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].header("Authorization"), "Basic dXNlcjpwYXNz");
    EXPECT_FALSE(requests[1].header("Authorization"));
}

TEST(HttpFetchTest, RedirectTargetAndCookiesOfEveryCaseAreRead) {
    RawHttpServer server(
        Reply::full(http_response(302, "Found", "",
                                  {"location: /next", "set-cookie: a=1; path=/", "SET-COOKIE: b=2",
                                   "X-Note: Set-Cookie rules"})));
    Text location;
    Text received;
    Text headers;
    Text status;
    http_fetch(server.url("/"), {.response_cookies = &received,
                                 .response_headers = &headers,
                                 .no_redirect = true,
                                 .location = &location,
                                 .status_text = &status});
    EXPECT_EQ(status, "302 Found");
    EXPECT_EQ(location, "/next");
    EXPECT_EQ(received, "a=1; b=2; X-Note: Set-Cookie rules");
    EXPECT_NE(headers.find("Set-Cookie: a=1; path=/\r\n"), Text::npos);
    EXPECT_NE(headers.find("Set-Cookie: b=2\r\n"), Text::npos);
}

TEST(HttpFetchTest, LocationIsLeftAloneWithoutALocationLine) {
    RawHttpServer server(Reply::full(http_ok("ok")));
    Text location = "before";
    http_fetch(server.url("/"), {.location = &location});
    EXPECT_EQ(location, "before");
}

TEST(HttpFetchTest, BodiesAreDecodedByTheirDeclaredCharset) {
    struct Case {
        std::string body;
        Text expected;
    } cases[] = {
        {"<meta charset=utf-8>基金", "<meta charset=utf-8>基金"_gbk},
        {"<meta charset=gbk>" + std::string("基金"_gbk), "<meta charset=gbk>" + "基金"_gbk},
        {std::string(2000, ' ') + "<meta charset=utf-8>基金",
         Text(std::string(2000, ' ') + "<meta charset=utf-8>基金")},
        {std::string("ab\0cd", 5), "ab"},
        {"", ""},
    };
    for (const Case& c : cases) {
        RawHttpServer server(Reply::full(http_ok(c.body)));
        ByteSet body;
        EXPECT_EQ(http_fetch(server.url("/"), {.response_body = &body}), c.expected);
        EXPECT_EQ(std::string(body.begin(), body.end()), c.body);
    }
}

TEST(HttpFetchTest, FailuresGiveTheirMessageAndLeaveOutputsAlone) {
    RawHttpServer silent(Reply::stall());
    struct Case {
        std::string url;
        const Text& message;
        int events;
    } cases[] = {
        {"", "701 解析URL地址失败!"_gbk, 1},
        {"ftp://127.0.0.1/", "701 解析URL地址失败!"_gbk, 1},
        {"http://127.0.0.1:" + std::to_string(testing::refused_port()) + "/",
         "711 发送请求失败!"_gbk, 7},
        {silent.url("/"), "712 服务器未响应!"_gbk, 8},
    };
    for (const Case& c : cases) {
        Text status = "unset";
        Text headers = "kept";
        Text received = "kept";
        ByteSet body = {1, 2};
        EventCounter events;
        const Text result = http_fetch(c.url, {.response_cookies = &received,
                                               .response_headers = &headers,
                                               .timeout_seconds = 1,
                                               .status_text = &status,
                                               .response_body = &body});
        EXPECT_EQ(result, "") << c.url;
        EXPECT_EQ(status, c.message) << c.url;
        EXPECT_EQ(events.count(), c.events) << c.url;
        EXPECT_EQ(headers, "kept");
        EXPECT_EQ(received, "kept");
        EXPECT_EQ(body, (ByteSet{1, 2}));
    }
}

TEST(HttpFetchTest, BodyCutShortKeepsTheReadFailure) {
    const std::string full = http_response(200, "OK", std::string(1000, 'z'));
    RawHttpServer server(Reply::cut(full, full.size() - 900));
    Text status;
    Text headers;
    ByteSet body;
    EventCounter events;
    const Text result = http_fetch(server.url("/"), {.response_headers = &headers,
                                                     .timeout_seconds = 1,
                                                     .status_text = &status,
                                                     .response_body = &body});
    EXPECT_EQ(status, "713 读取数据失败!"_gbk);
    EXPECT_EQ(result, "");
    // What did arrive is still handed out.
    EXPECT_EQ(std::string(body.begin(), body.end()), std::string(100, 'z'));
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(events.count(), line_count(headers) + 1 + 1 + 8);
}

TEST(HttpFetchTest, LargeBodyArrivesWhole) {
    std::string page;
    for (int i = 0; i < 200000; ++i) page += "<tr><td>" + std::to_string(i) + "</td></tr>";
    RawHttpServer server(Reply::full(http_ok(page)));
    ByteSet body;
    const Text result = http_fetch(server.url("/"), {.response_body = &body});
    EXPECT_EQ(result.size(), page.size());
    EXPECT_TRUE(TextView(result) == TextView(page));
    EXPECT_EQ(body.size(), page.size());
}

}  // namespace
}  // namespace tovmira
