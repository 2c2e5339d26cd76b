#include "http/request_settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace tovmira {
namespace {

constexpr const char* kAgentLine =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
constexpr const char* kAcceptLine = "Accept: text/html, application/xhtml+xml, */*\r\n";
constexpr const char* kEncodingLine = "Accept-Encoding: gbk, GB2312\r\n";
constexpr const char* kLanguageLine = "Accept-Language: zh-cn\r\n";
constexpr const char* kFormLine = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr const char* kNoCacheLine = "Cache-Control: no-cache\r\n";

Text defaults_without(std::initializer_list<const char*> left_out) {
    Text block;
    for (const char* line : {kAgentLine, kAcceptLine, kEncodingLine, kLanguageLine, kNoCacheLine}) {
        if (std::find(left_out.begin(), left_out.end(), line) == left_out.end()) block += line;
    }
    return block;
}

TEST(HeaderBlockTest, DefaultsAloneAreFiveLinesInOrder) {
    EXPECT_EQ(assemble_header_block("", 0, ""),
              Text(kAgentLine) + kAcceptLine + kEncodingLine + kLanguageLine + kNoCacheLine);
}

TEST(HeaderBlockTest, PostAddsFormTypeAfterLanguage) {
    EXPECT_EQ(assemble_header_block("", 1, ""), Text(kAgentLine) + kAcceptLine + kEncodingLine +
                                                    kLanguageLine + kFormLine + kNoCacheLine);
}

struct OverrideCase {
    const char* caller;
    int method;
    const char* cookies;
    Text expected;
};

class HeaderOverride : public testing::TestWithParam<OverrideCase> {};

TEST_P(HeaderOverride, CallerLinesComeFirstAndSuppressMatchingDefaults) {
    const OverrideCase& c = GetParam();
    EXPECT_EQ(assemble_header_block(c.caller, c.method, c.cookies), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderOverride,
    testing::Values(
        // The agent search ignores case and is not anchored to the start of a line.
        OverrideCase{"user-agent: X", 0, "", "user-agent: X\r\n" + defaults_without({kAgentLine})},
        OverrideCase{"X-User-Agent: X", 0, "",
                     "X-User-Agent: X\r\n" + defaults_without({kAgentLine})},
        // Without the space after the colon the search text is not there.
        OverrideCase{"User-Agent:X", 0, "", "User-Agent:X\r\n" + defaults_without({})},
        // 'Accept: ' is found inside nothing else; 'Accept-Encoding: ' does not contain it.
        OverrideCase{"ACCEPT: a/b", 0, "", "ACCEPT: a/b\r\n" + defaults_without({kAcceptLine})},
        OverrideCase{"Accept-Language: en\r\nCache-Control: max-age=0", 0, "",
                     "Accept-Language: en\r\nCache-Control: max-age=0\r\n" +
                         defaults_without({kLanguageLine, kNoCacheLine})},
        // The content type is searched with case: a lower-case caller line keeps the default.
        OverrideCase{"content-type: text/plain", 1, "",
                     Text("content-type: text/plain\r\n") + kAgentLine + kAcceptLine +
                         kEncodingLine + kLanguageLine + kFormLine + kNoCacheLine},
        OverrideCase{"Content-Type:text/plain", 1, "",
                     "Content-Type:text/plain\r\n" + defaults_without({})},
        // A caller text that ends with CR LF leaves an empty line before the defaults.
        OverrideCase{"X-A: 1\r\n", 0, "", "X-A: 1\r\n\r\n" + defaults_without({})},
        // Cookies go last; a caller's own cookie line wins.
        OverrideCase{"", 0, "a=1; b=2", defaults_without({}) + "Cookie: a=1; b=2\r\n"},
        OverrideCase{"cookie: z=9", 0, "a=1", "cookie: z=9\r\n" + defaults_without({})},
        OverrideCase{"", 2, "", defaults_without({})}));

TEST(MethodNameTest, NamesZeroToSevenAndGetOtherwise) {
    const char* names[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    for (int method = 0; method < 8; ++method) EXPECT_EQ(method_name(method), names[method]);
    for (int method : {8, -1, 100, INT_MIN, INT_MAX}) EXPECT_EQ(method_name(method), "GET");
}

TEST(TimeoutTest, SecondsBecomeMillisecondsWithThirtySecondDefault) {
    EXPECT_EQ(timeout_milliseconds(0), 30000);
    EXPECT_EQ(timeout_milliseconds(-5), 30000);
    EXPECT_EQ(timeout_milliseconds(5), 5000);
    EXPECT_EQ(timeout_milliseconds(INT_MAX / 1000), INT_MAX / 1000 * 1000);
    EXPECT_EQ(timeout_milliseconds(INT_MAX / 1000 + 1), INT_MAX);
    EXPECT_EQ(timeout_milliseconds(INT_MAX), INT_MAX);
}

TEST(ProxySettingTest, PlainHttpGetsTheHttpPrefix) {
    const ProxySetting none = proxy_setting("", false);
    EXPECT_EQ(none.access_type, WINHTTP_ACCESS_TYPE_NO_PROXY);
    EXPECT_EQ(none.name, u"");
    const ProxySetting plain = proxy_setting("p:81", false);
    EXPECT_EQ(plain.access_type, WINHTTP_ACCESS_TYPE_NAMED_PROXY);
    EXPECT_EQ(plain.name, u"http=p:81");
    const ProxySetting secure = proxy_setting("p:81", true);
    EXPECT_EQ(secure.access_type, WINHTTP_ACCESS_TYPE_NAMED_PROXY);
    EXPECT_EQ(secure.name, u"p:81");
}

TEST(ObjectNameTest, EmptyPathGivesSlashAndDropsTheQuery) {
    EXPECT_EQ(object_name_of(u"", u""), u"/");
    EXPECT_EQ(object_name_of(u"", u"?x=1"), u"/");
    EXPECT_EQ(object_name_of(u"/a/b", u"?x=1"), u"/a/b?x=1");
    EXPECT_EQ(object_name_of(u"/", u""), u"/");
}

TEST(ToWideTest, ConvertsGbkAndStopsAtZero) {
    EXPECT_EQ(to_wide(""), u"");
    EXPECT_EQ(to_wide("\xC8\xD5\xC6\xDA"), u"日期");
    EXPECT_EQ(to_wide(TextView("ab\0cd", 5)), u"ab");
}

}  // namespace
}  // namespace tovmira
