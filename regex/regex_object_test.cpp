#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

constexpr const char* kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

TEST(RegexObjectTest, FindsTheDeclaredCharset) {
    struct Case {
        const char* page;
        const char* charset;
        int matches;
    } cases[] = {
        {"<meta charset=utf-8>", "utf-8", 1},
        {"<META http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">", "GB2312", 1},
        {"<meta charset=\"big5\">\n<meta charset=utf-8>", "big5", 2},
        {"<html><body>no declaration</body></html>", "", 0},
        // The dot does not cross the line break, so the declaration must sit on the tag's line.
        {"<meta\ncharset=utf-8>", "", 0},
        {"<meta\r\ncharset=utf-8>", "", 0},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        EXPECT_TRUE(regex.create(kCharsetPattern, c.page)) << c.page;
        EXPECT_EQ(regex.submatch_text(1, 1), c.charset) << c.page;
        EXPECT_EQ(regex.match_count(), c.matches) << c.page;
    }
}

TEST(RegexObjectTest, NothingIsReadBeforeCreate) {
    RegexObject regex;
    int position = 7;
    EXPECT_EQ(regex.match_count(), 0);
    EXPECT_EQ(regex.submatch_count(), 0);
    EXPECT_EQ(regex.match_text(1, &position), "");
    EXPECT_EQ(position, -2);
    EXPECT_EQ(regex.submatch_text(1, 1), "");
    EXPECT_EQ(regex.pattern_text(), "");
    EXPECT_EQ(regex.replace("x"), "");
}

TEST(RegexObjectTest, RefusedPatternGivesNoSearch) {
    for (const char* pattern : {"(", "a)", "[b", "a{2,1}", "\\"}) {
        RegexObject regex;
        EXPECT_TRUE(regex.create("a", "aaa"));  // a refused pattern also ends an earlier search
        EXPECT_FALSE(regex.create(pattern, "a(b")) << pattern;
        EXPECT_EQ(regex.match_count(), 0) << pattern;
        EXPECT_EQ(regex.match_text(1), "") << pattern;
        EXPECT_EQ(regex.submatch_count(), 0) << pattern;
        EXPECT_EQ(regex.replace("x"), "") << pattern;
        EXPECT_EQ(regex.pattern_text(), pattern);
    }
}

}  // namespace
}  // namespace tovmira
