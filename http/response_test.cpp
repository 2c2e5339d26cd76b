#include "http/response.h"

#include <gtest/gtest.h>

#include "text/codepage.h"
#include "text/events.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

ByteSet bytes_of(std::string_view text) {
    return ByteSet(text.begin(), text.end());
}

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

TEST(ResponseHeadersTest, ReadsStatusLocationAndCookiesOfARedirect) {
    EventCounter events;
    const ResponseOutputs out = read_response_headers(
        "HTTP/1.1 302 Found\r\nLocation: /next\r\nset-cookie: a=1; path=/\r\n"
        "SET-COOKIE: b=2\r\n\r\n");
    EXPECT_EQ(out.status_text, "302 Found");
    ASSERT_TRUE(out.location);
    EXPECT_EQ(*out.location, "/next");
    EXPECT_EQ(out.response_cookies, "a=1; b=2");
    EXPECT_EQ(out.response_headers,
              "HTTP/1.1 302 Found\r\nLocation: /next\r\nSet-Cookie: a=1; path=/\r\n"
              "Set-Cookie: b=2\r\n\r\n");
    // One pass of event handling per line, the empty last line included.
    EXPECT_EQ(events.count(), 5);
}

struct HeaderCase {
    const char* name;
    const char* block;
    const char* status;
    const char* cookies;
    std::optional<const char*> location;
};

class ResponseHeaderCases : public testing::TestWithParam<HeaderCase> {};

TEST_P(ResponseHeaderCases, GiveStatusCookiesAndLocation) {
    const HeaderCase& c = GetParam();
    const ResponseOutputs out = read_response_headers(c.block);
    EXPECT_EQ(out.status_text, c.status);
    EXPECT_EQ(out.response_cookies, c.cookies);
    EXPECT_EQ(out.location.has_value(), c.location.has_value());
    if (out.location && c.location) {
        EXPECT_EQ(*out.location, *c.location);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponseHeaderCases,
    testing::Values(
        HeaderCase{"LowerCaseLocation", "HTTP/1.1 301 Moved\r\nlocation: x\r\n\r\n", "301 Moved",
                   "", "x"},
        HeaderCase{"LastLocationWins", "HTTP/1.1 302 F\r\nLocation: a\r\nLOCATION: b\r\n\r\n",
                   "302 F", "", "b"},
        HeaderCase{"LocationNeedsItsSpace", "HTTP/1.1 302 F\r\nLocation:a\r\n\r\n", "302 F", "",
                   std::nullopt},
        HeaderCase{"EmptyLocation", "HTTP/1.1 302 F\r\nLocation: \r\n\r\n", "302 F", "", ""},
        HeaderCase{"CookieInsideAnotherValue",
                   "HTTP/1.1 200 OK\r\nX-Note: Set-Cookie rules\r\n\r\n", "200 OK",
                   "X-Note: Set-Cookie rules", std::nullopt},
        HeaderCase{"CookieWithoutAttributes", "HTTP/1.1 200 OK\r\nSet-Cookie: k=v\r\n\r\n",
                   "200 OK", "k=v", std::nullopt},
        HeaderCase{"CookieWithAttributes",
                   "HTTP/1.1 200 OK\r\nSet-Cookie:  sid=x y ; HttpOnly\r\nSet-Cookie: t=1;\r\n\r\n",
                   "200 OK", "sid=x y; t=1", std::nullopt},
        HeaderCase{"NoCookies", "HTTP/1.1 204 No Content\r\nServer: s\r\n\r\n", "204 No Content",
                   "", std::nullopt},
        HeaderCase{"NoLineEndGivesNoStatus", "HTTP/1.1 200 OK", "", "", std::nullopt},
        HeaderCase{"EmptyBlock", "", "", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadBodyTextTest, StopsAtZeroByteAndKeepsGbkAsItCame) {
    const ByteSet body = bytes_of(std::string_view("ab\0cd", 5));
    EXPECT_EQ(read_body_text(body), "ab");
    EXPECT_EQ(read_body_text({}), "");
    const Text gbk = "<meta charset=gbk>"_gbk + "日期"_gbk;
    EXPECT_EQ(read_body_text(bytes_of(gbk)), gbk);
    const Text gb2312 =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"_gbk + "净值"_gbk;
    EXPECT_EQ(read_body_text(bytes_of(gb2312)), gb2312);
}

TEST(ReadBodyTextTest, DecodesDeclaredCharsetIntoGbk) {
    EventCounter events;
    EXPECT_EQ(read_body_text(bytes_of("<meta charset=utf-8>净值")), "<meta charset=utf-8>净值"_gbk);
    EXPECT_EQ(events.count(), 1);
    // 'GBK' is not exactly "gbk", so it goes through the decoder, which leaves it the same.
    const Text upper = "<META CHARSET=\"GBK\">"_gbk + "日期"_gbk;
    EXPECT_EQ(read_body_text(bytes_of(upper)), upper);
    // Big5 for 基金.
    EXPECT_EQ(read_body_text(bytes_of("<meta charset='big5'>\xB0\xF2\xAA\xF7")),
              "<meta charset='big5'>基金"_gbk);
}

TEST(ReadBodyTextTest, OnlyTheFirst1024BytesMayDeclare) {
    // A declaration that ends on byte 1024 is seen.
    const std::string within = std::string(1004, 'x') + "<meta charset=utf-8>净";
    EXPECT_EQ(read_body_text(bytes_of(within)), utf8_to_gbk(within));
    // One that starts after byte 1024 is not.
    const std::string beyond = std::string(1025, 'x') + "<meta charset=utf-8>净";
    EXPECT_EQ(read_body_text(bytes_of(beyond)), Text(beyond));
}

TEST(ReadBodyTextTest, UnknownCharsetLeavesBodyUndecoded) {
    const std::string body = "<meta charset=no-such-set>\xE5\x87\x80";
    EXPECT_EQ(read_body_text(bytes_of(body)), Text(body));
}

TEST(ProcessResponseTest, TakesWideHeaderBlockFromTheLayer) {
    const ByteSet wide = ansi_to_wide("HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n");
    const ResponseOutputs out = process_response(wide, bytes_of("hi"));
    EXPECT_EQ(out.status_text, "200 OK");
    EXPECT_EQ(out.response_cookies, "a=1");
    EXPECT_EQ(out.body_text, "hi");
}

}  // namespace
}  // namespace tovmira
