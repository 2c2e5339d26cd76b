#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

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

struct SearchCase {
    Text pattern;
    Text subject;
    bool case_sensitive;
    bool multiline;
    bool global;
    int matches;
    Text first;
};

TEST(RegexObjectTest, OptionsAndDialect) {
    const SearchCase cases[] = {
        // By default the search ignores case and finds every match.
        {"a", "A a", false, true, true, 2, "A"},
        {"a", "A a", true, true, true, 1, "a"},
        {"a", "A a", false, true, false, 1, "A"},
        {"ж"_gbk, "Ж"_gbk, false, true, true, 1, "Ж"_gbk},
        // Multiline lets ^ and $ match at LF and CR; without it $ is the very end only.
        {"^b", "a\nb", false, true, true, 1, "b"},
        {"^b", "a\nb", false, false, true, 0, ""},
        {"a$", "a\r\nb", false, true, true, 1, "a"},
        {"b$", "a\nb\n", false, false, true, 0, ""},
        {"^x", "x\r\nx\rx", false, true, true, 3, "x"},
        // The dot never matches a line break, whatever the options.
        {"a.b", "a\nb", false, true, true, 0, ""},
        {"a.b", "a\rb", false, false, false, 0, ""},
        {"a.b", "a b", false, true, true, 1, "a b"},
        // \w is ASCII only; lazy quantifiers; \uHHHH; a back reference to an unset group.
        {"\\w+", "中文abc"_gbk, false, true, true, 1, "abc"},
        {"\\w", "é"_gbk, false, true, true, 0, ""},
        {"<.+?>", "<a><b>", false, true, true, 2, "<a>"},
        {"\\u4e2d", "中"_gbk, true, true, true, 1, "中"_gbk},
        {"(a)?b\\1", "b", false, true, true, 1, "b"},
        // An empty match moves the next attempt on by one character.
        {"", "ab", false, true, true, 3, ""},
        {"a*", "baa", false, true, true, 3, ""},
        {"x*", "中"_gbk, false, true, true, 2, ""},
    };
    for (const SearchCase& c : cases) {
        RegexObject regex;
        SCOPED_TRACE(testing::Message() << "pattern " << c.pattern);
        EXPECT_TRUE(regex.create(c.pattern, c.subject, c.case_sensitive, c.multiline, c.global));
        EXPECT_EQ(regex.match_count(), c.matches);
        EXPECT_EQ(regex.match_text(1), c.first);
    }
}

TEST(RegexObjectTest, EmptyMatchesFollowJavaScript) {
    RegexObject regex;
    ASSERT_TRUE(regex.create("a*", "baa"));
    EXPECT_EQ(regex.match_text(2), "aa");
    EXPECT_EQ(regex.replace("-"), "-b--");
    ASSERT_TRUE(regex.create("", "中b"_gbk));
    EXPECT_EQ(regex.replace("-"), "-中-b-"_gbk);
}

TEST(RegexObjectTest, QuotePlaceholder) {
    RegexObject regex;
    EXPECT_TRUE(
        regex.create("charset=#引号(\\w+)"_gbk, "charset=\"gbk\"", false, true, true, true));
    EXPECT_EQ(regex.submatch_text(1, 1), "gbk");
    EXPECT_EQ(regex.pattern_text(), "charset=\"(\\w+)");

    // Left alone unless asked for.
    EXPECT_TRUE(regex.create("charset=#引号(\\w+)"_gbk, "charset=\"gbk\""));
    EXPECT_EQ(regex.match_count(), 0);
    EXPECT_EQ(regex.pattern_text(), "charset=#引号(\\w+)"_gbk);

    // A lone lead byte before the placeholder does not swallow its '#'; a double-byte
    // character whose bytes only look like part of the placeholder is not touched.
    Text lone_lead = "\x81" + "#引号"_gbk;
    EXPECT_TRUE(regex.create(lone_lead, "", false, true, true, true));
    EXPECT_EQ(regex.pattern_text(), "\x81\"");
    Text twice = "#引号#引号x"_gbk;
    EXPECT_TRUE(regex.create(twice, "\"\"x", false, true, true, true));
    EXPECT_EQ(regex.pattern_text(), "\"\"x");
    EXPECT_EQ(regex.match_count(), 1);
}

TEST(RegexObjectTest, ReplaceSequences) {
    struct Case {
        const char* pattern;
        Text subject;
        Text replacement;
        Text result;
    } cases[] = {
        {"\\d+", "a1b22", "#", "a#b#"},
        {"(\\w)(\\d)", "a1 b2", "$2$1", "1a 2b"},
        {"b", "abc", "[$`|$&|$']", "a[a|b|c]c"},
        {"b", "abc", "$$", "a$c"},
        {"b", "abc", "", "ac"},
        // Unknown sequences and group numbers beyond the pattern's stay as written.
        {"b", "abc", "$0$1$x$", "a$0$1$x$c"},
        {"(b)", "abc", "$2$00", "a$2$00c"},
        // Two digits when they name a group, otherwise one digit and a literal digit.
        {"(b)", "abc", "$12|$01", "ab2|bc"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", "abcdefghijkl", "$12$11$10", "lkj"},
        // A group that took no part gives the empty text.
        {"(a)|(b)", "ab", "[$2]", "[][b]"},
        // Double-byte characters, the default ignoring of case, bytes the code page lacks.
        {"b", "中b中"_gbk, "文"_gbk, "中文中"_gbk},
        {"A", "a-a", "$&$&", "aa-aa"},
        {"a",
         "\xff"
         "a\x80",
         "-", "\xff-\x80"},
        {"x", "abc", "-", "abc"},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.create(c.pattern, c.subject)) << c.pattern;
        EXPECT_EQ(regex.replace(c.replacement), c.result) << c.pattern << " " << c.replacement;
    }
    RegexObject first_only;
    ASSERT_TRUE(first_only.create("a", "aaa", false, true, false));
    EXPECT_EQ(first_only.replace("-"), "-aa");
}

TEST(RegexObjectTest, GroupsAndIndexes) {
    RegexObject regex;
    ASSERT_TRUE(regex.create("(a)(b)?", "ab a"));
    EXPECT_EQ(regex.submatch_count(), 2);
    EXPECT_EQ(regex.match_count(), 2);
    EXPECT_EQ(regex.submatch_text(1, 2), "b");
    EXPECT_EQ(regex.submatch_text(2, 1), "a");
    EXPECT_EQ(regex.submatch_text(2, 2), "");  // took no part
    for (int bad : {0, -1, 3}) {
        EXPECT_EQ(regex.match_text(bad), "") << bad;
        EXPECT_EQ(regex.submatch_text(bad, 1), "") << bad;
        EXPECT_EQ(regex.submatch_text(1, bad), "") << bad;
    }
    ASSERT_TRUE(regex.create("(?:a)(b)", "ab"));
    EXPECT_EQ(regex.submatch_count(), 1);
    ASSERT_TRUE(regex.create("(a)(b)", "xyz"));
    EXPECT_EQ(regex.submatch_count(), 0);  // no match, so no first match to count

    // A later create replaces everything of the earlier one.
    ASSERT_TRUE(regex.create("(\\d)", "7"));
    EXPECT_EQ(regex.match_count(), 1);
    EXPECT_EQ(regex.submatch_text(1, 1), "7");
}

TEST(RegexObjectTest, PositionsAreByteOffsets) {
    struct Case {
        const char* pattern;
        Text subject;
        int match;
        int group;  // 0: the whole match
        Text text;
        int position;
    } cases[] = {
        {"b", "abc", 1, 0, "b", 1},
        {"b", "中b"_gbk, 1, 0, "b", 2},
        // The second 'b' sits at byte 5 although it is the fourth character.
        {"b", "中中bb"_gbk, 2, 0, "b", 5},
        {"\\d+", "中a12文34"_gbk, 2, 0, "34", 7},
        // A group's position is its own, not that of an equal text earlier in the match.
        {"(\\d)\\d(\\d)", "中121"_gbk, 1, 2, "1", 4},
        {"(a)(x)?", "中a"_gbk, 1, 2, "", -2},  // took no part
        {"(a)(x?)", "中a"_gbk, 1, 2, "", 3},   // took part, empty, at its own place
        {"b", "abc", 2, 0, "", -2},            // no such match
        {"b", "abc", 0, 0, "", -2},
        // A byte the code page lacks, the euro byte and an unassigned pair count as they stand.
        {"b",
         "\xff"
         "b",
         1, 0, "b", 1},
        {"b",
         "\x80"
         "b",
         1, 0, "b", 1},
        {"b",
         "\xa2\xe3"
         "b",
         1, 0, "b", 2},
        {"!",
         "\x81"
         "!",
         1, 0, "!", 1},
        {"b",
         "\x81"
         "b",
         1, 0, "", -2},  // 0x81 'b' is one character
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.create(c.pattern, c.subject)) << c.pattern;
        int position = 99;
        Text text = c.group == 0 ? regex.match_text(c.match, &position)
                                 : regex.submatch_text(c.match, c.group, &position);
        EXPECT_EQ(text, c.text) << c.pattern << " over " << c.subject;
        EXPECT_EQ(position, c.position) << c.pattern << " over " << c.subject;
    }
}

// Every byte and byte pair of the code page, each followed by a line break: the break's byte
// position must be where it stands, so the engine's character offsets and the text's bytes agree.
TEST(RegexObjectTest, PositionsAgreeWithTheCodePageForEveryPair) {
    Text subject;
    std::vector<int> expected;
    auto add = [&](std::initializer_list<int> bytes) {
        for (int byte : bytes) subject.push_back(static_cast<char>(byte));
        expected.push_back(static_cast<int>(subject.size()));
        subject.push_back('\n');
    };
    for (int byte = 1; byte <= 0xFF; ++byte) {
        if (byte != '\n') add({byte});
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x20; trail <= 0xFF; ++trail) add({lead, trail});
    }
    RegexObject regex;
    ASSERT_TRUE(regex.create("\\n", subject, true));
    ASSERT_EQ(regex.match_count(), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        int position = 0;
        regex.match_text(static_cast<int>(i + 1), &position);
        ASSERT_EQ(position, expected[i]) << "break " << i + 1;
    }
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(RegexObjectTest, RunawayPatternGivesUpQuickly) {
    struct Case {
        const char* pattern;
        Text subject;
    };
    std::vector<Case> cases = {
        {"(a+)+$", Text(40, 'a') + "b"},
        {"(x+x+)+y", Text(40, 'x') + "zy"},
        {"^(\\w+\\s?)*$", Text(60, 'w') + "!"},
    };
    // Slow failure at every start position: each stays under the step limit, the whole does not.
    Text runs;
    for (int i = 0; i < 50; ++i) runs += Text(17, 'a') + "b";
    cases.push_back({"(a+)+$", runs});
    for (const Case& c : cases) {
        for (bool global : {true, false}) {
            RegexObject regex;
            auto start = std::chrono::steady_clock::now();
            EXPECT_FALSE(regex.create(c.pattern, c.subject, false, true, global)) << c.pattern;
            // About 0.1 s on an idle machine; the bound leaves room for a busy one.
            EXPECT_LT(seconds_since(start), 1.0) << c.pattern;
            EXPECT_EQ(regex.match_count(), 0);
            EXPECT_EQ(regex.replace("-"), "");
        }
    }
}

TEST(RegexObjectTest, MegabyteSubjectsStayLinear) {
    Text subject;
    for (int i = 0; i < 50'000; ++i) subject += "<td>中文 ab12</td>\r\n"_gbk;  // 1 MB
    auto start = std::chrono::steady_clock::now();
    RegexObject regex;
    ASSERT_TRUE(regex.create("<td>(.+?)</td>", subject));
    ASSERT_EQ(regex.match_count(), 50'000);
    int position = 0;
    EXPECT_EQ(regex.submatch_text(50'000, 1, &position), "中文 ab12"_gbk);
    EXPECT_EQ(position, static_cast<int>(subject.size()) - 16);
    for (int i = 1; i <= 50'000; ++i) regex.match_text(i, &position);
    Text replaced = regex.replace("$1");
    EXPECT_EQ(replaced.size(), subject.size() - 50'000 * 9);
    ASSERT_TRUE(regex.create("[\\s\\S]*?ab", subject));  // a long lazy scan per match
    EXPECT_EQ(regex.match_count(), 50'000);
    EXPECT_LT(seconds_since(start), 2.0);
}

}  // namespace
}  // namespace tovmira
