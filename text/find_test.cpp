#include "text/find.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

std::string str(TextView text) {
    return std::string(text);
}

struct FindCase {
    const char* name;
    std::string text;
    std::string sought;
    int start;
    bool ignore_case;
    int expected;
};

TEST(FindText, Table) {
    const std::vector<FindCase> cases = {
        {"first", "abcabc", "c", 1, false, 3},
        {"from start", "abcabc", "c", 4, false, 6},
        {"start past last match", "abcabc", "c", 7, false, -1},
        {"start zero", "abcabc", "c", 0, false, 3},
        {"start negative", "abcabc", "c", -5, false, 3},
        {"start on match", "abcabc", "c", 3, false, 3},
        {"empty sought", "abc", "", 1, false, 1},
        {"empty sought found at 1 not at start", "abc", "", 3, false, 1},
        {"empty sought nothing left", "abc", "", 4, false, -1},
        {"empty sought empty text", "", "", 1, false, -1},
        {"empty text", "", "a", 1, false, -1},
        {"sought longer than text", "ab", "abc", 1, false, -1},
        {"match ends the text", "xxab", "ab", 1, false, 3},
        {"fold", "USER-AGENT: x", "user-agent: ", 1, true, 1},
        {"no fold", "USER-AGENT: x", "user-agent: ", 1, false, -1},
        {"fold mixed", "aXbYc", "xBy", 1, true, 2},
        {"fold all letters anchor", "zzZZabAB", "ABab", 1, true, 5},
        {"fold skips non-letters only equal", "a_b a-b", "A-B", 1, true, 5},
        {"second byte never a start",
         "\x81"
         "AB",
         "AB", 1, false, -1},
        {"byte after double-byte character",
         "\x81"
         "AB",
         "B", 1, false, 3},
        {"second byte never a start folded",
         "\x81"
         "aB",
         "AB", 1, true, -1},
        {"even run of high bytes", "\xB0\xA1\xB0\xA1x", "x", 1, false, 5},
        {"odd run hides a trail", "a\xB0\xA1\xB0x", "x", 1, false, -1},
        {"start on a second byte steps from there",
         "\x81"
         "AB",
         "AB", 2, false, 2},
        {"high-byte needle on boundaries only", "\xB0\xB0\xB0\xB0\xB0\xB0", "\xB0\xB0", 2, false,
         2},
        {"high-byte needle found after a trail match", "\xC1\xB0\xB0\xB0", "\xB0\xB0", 1, false, 3},
        {"malformed tail ends the scan", "ab\x81", "\x81", 1, false, -1},
        {"lead byte before its trail is found", "ab\x81z", "\x81", 1, false, 3},
        {"second byte equal to sought after tail", "\x81", "\x81", 1, false, -1},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(find_text(c.text, c.sought, c.start, c.ignore_case), c.expected) << c.name;
    }
}

TEST(FindText, OptionalArgumentsAndGbkText) {
    const Text& text = "净值日期2020-04-24日期"_gbk;
    EXPECT_EQ(find_text(text, "日期"_gbk), 5);
    EXPECT_EQ(find_text(text, "日期"_gbk, 6), 19);
    EXPECT_EQ(find_text(text, "2020"), 9);
}

// Long runs of double-byte characters with many near-matches: every answer must agree with a
// plain stepping scan, whatever the start.
TEST(FindText, AgreesWithSteppingScanOnHighByteRuns) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += (i % 7 == 0) ? "a" : "\xB0\xB0";
    text += "\xB0";
    auto stepping_find = [&](const std::string& sought, int start) {
        std::size_t offset = start < 1 ? 0 : start - 1;
        while (offset + sought.size() <= text.size()) {
            bool lead = static_cast<unsigned char>(text[offset]) >= 0x80;
            if (lead && offset + 1 == text.size()) break;
            if (text.compare(offset, sought.size(), sought) == 0)
                return static_cast<int>(offset) + 1;
            offset += lead ? 2 : 1;
        }
        return -1;
    };
    for (const std::string sought : {"\xB0\xB0",
                                     "\xB0"
                                     "a",
                                     "a\xB0", "\xB0\xB0\xB0"}) {
        for (int start = 0; start <= static_cast<int>(text.size()) + 1; start += 3) {
            ASSERT_EQ(find_text(text, sought, start), stepping_find(sought, start))
                << "start " << start << " sought length " << sought.size();
        }
    }
}

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string sought;
    std::string replacement;
    bool case_sensitive;
    std::string expected;
};

TEST(ReplaceText, Table) {
    const std::vector<ReplaceCase> cases = {
        {"each", "a-b-c", "-", "+", true, "a+b+c"},
        {"delete", "a-b-c", "-", "", true, "abc"},
        {"fold makes occurrences exact", "set-cookie SET-COOKIE Set-Cookie", "Set-Cookie",
         "Set-Cookie", false, "Set-Cookie Set-Cookie Set-Cookie"},
        {"case kept when sensitive", "set-cookie", "Set-Cookie", "X", true, "set-cookie"},
        {"non-overlapping left to right", "aaaa", "aa", "b", true, "bb"},
        {"odd leftover", "aaa", "aa", "b", true, "ba"},
        {"inserted text not searched", "ab", "a", "aa", true, "aab"},
        {"empty sought", "abc", "", "x", true, "abc"},
        {"empty text", "", "a", "x", true, ""},
        {"match at end", "xab", "ab", "!", true, "x!"},
        {"second byte not replaced",
         "\x81"
         "A-A",
         "A", "b", true,
         "\x81"
         "A-b"},
        {"malformed tail kept", "a-\x81", "-", "+", true, "a+\x81"},
        {"restart after match steps fresh",
         "x\x81"
         "A",
         "x", "", true,
         "\x81"
         "A"},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(str(replace_text(c.text, c.sought, c.replacement, c.case_sensitive)), c.expected)
            << c.name;
    }
    EXPECT_EQ(str(replace_text("a-b", "-")), "ab") << "replacement left out";
}

TEST(SplitText, Table) {
    struct SplitCase {
        std::string text;
        std::string delimiter;
        std::vector<std::string> expected;
    };
    const std::vector<SplitCase> cases = {
        {"a;;b", ";", {"a", "", "b"}},
        {";a", ";", {"", "a"}},
        {"a;", ";", {"a"}},
        {";", ";", {""}},
        {"", ";", {}},
        {"abc", "", {"abc"}},
        {"", "", {}},
        {"a<>b<>", "<>", {"a", "b"}},
        {"a<b", "<>", {"a<b"}},
        {"a;B;b", "b", {"a;B;"}},
        {"\x81;a;b", ";", {"\x81;a", "b"}},
        {"a;\x81", ";", {"a", "\x81"}},
    };
    for (const SplitCase& c : cases) {
        TextArray pieces = split_text(c.text, c.delimiter);
        std::vector<std::string> got;
        for (const Text& piece : pieces) got.push_back(str(piece));
        EXPECT_EQ(got, c.expected) << "'" << c.text << "' by '" << c.delimiter << "'";
    }
}

}  // namespace
}  // namespace tovmira
