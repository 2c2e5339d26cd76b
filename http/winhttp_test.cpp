// The winhttp layer against local servers: request bytes, responses, failures at their steps.
#include "http/winhttp.h"

#include <gtest/gtest.h>

#include <chrono>

#include "http/wait_hook.h"
#include "testing/raw_http_server.h"
#include "testing/winhttp_exchange.h"

namespace tovmira {
namespace {

using namespace std::chrono_literals;
using testing::exchange;
using testing::ExchangeOptions;
using testing::http_ok;
using testing::http_response;
using testing::RawHttpServer;
using testing::Reply;
using testing::Step;
using testing::to_u16;

TEST(WinHttpExchange, PlainGetSendsOnlyHostAndTheCallersHeaders) {
    RawHttpServer server(Reply::full(http_ok("hello")));
    auto result = exchange(to_u16(server.url("/a/b?x=1&y=2")),
                           {.headers = u"Accept: text/html\r\nX-One: 1\r\n\r\nX-One: 2"});
    ASSERT_EQ(result.failed_at, Step::none);
    EXPECT_EQ(result.body, "hello");
    EXPECT_EQ(result.raw_headers,
              "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5\r\n\r\n");
    ASSERT_EQ(server.request_count(), 1u);
    EXPECT_EQ(server.requests()[0].bytes, "GET /a/b?x=1&y=2 HTTP/1.1\r\nHost: 127.0.0.1:" +
                                              std::to_string(server.port()) +
                                              "\r\nAccept: text/html\r\nX-One: 2\r\n\r\n");
}

TEST(WinHttpExchange, PostSendsTheBodyWithContentLengthOnly) {
    RawHttpServer server(Reply::full(http_ok("")));
    std::string body(5000, 'b');
    auto result = exchange(to_u16(server.url("/post")), {.verb = u"POST", .body = body});
    ASSERT_EQ(result.failed_at, Step::none);
    auto request = server.requests().at(0);
    EXPECT_EQ(request.request_line, "POST /post HTTP/1.1");
    EXPECT_EQ(request.header_block(), "Host: 127.0.0.1:" + std::to_string(server.port()) +
                                          "\r\nContent-Length: 5000\r\n");
    EXPECT_EQ(request.body, body);
}

TEST(WinHttpExchange, RefusedPortFailsSend) {
    auto result = exchange(to_u16("http://127.0.0.1:" + std::to_string(testing::refused_port()) + "/"));
    EXPECT_EQ(result.failed_at, Step::send);
}

TEST(WinHttpExchange, SilentServerFailsReceiveAfterTheLimit) {
    RawHttpServer server(Reply::stall());
    auto start = std::chrono::steady_clock::now();
    auto result = exchange(to_u16(server.url()), {.timeout_ms = 1000});
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.failed_at, Step::receive);
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 3s);
}

TEST(WinHttpExchange, CloseMidBodyHandsOutTheBytesThenFailsRead) {
    std::string full = http_ok(std::string(1000, 'x'));
    RawHttpServer server(Reply::cut(full, full.size() - 400));
    auto result = exchange(to_u16(server.url()));
    EXPECT_EQ(result.failed_at, Step::read);
    EXPECT_EQ(result.body, std::string(600, 'x'));
    EXPECT_NE(result.raw_headers.find("Content-Length: 1000"), std::string::npos);
}

}  // namespace
}  // namespace tovmira
