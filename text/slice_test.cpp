#include "text/slice.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

namespace tovmira {
namespace {

std::string str(TextView text) {
    return std::string(text);
}

TEST(TextSlices, OutOfRangeArgumentsGiveTheStatedResults) {
    struct Case {
        const char* name;
        Text got;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"mid", text_mid("abcdef", 3, 2), "cd"},
        {"mid runs past end", text_mid("abcdef", 6, 5), "f"},
        {"mid start 0", text_mid("abcdef", 0, 2), ""},
        {"mid start beyond", text_mid("abcdef", 7, 1), ""},
        {"mid count 0", text_mid("abcdef", 2, 0), ""},
        {"mid count negative", text_mid("abcdef", 2, -1), ""},
        {"mid huge count", text_mid("abcdef", 2, INT_MAX), "bcdef"},
        {"left beyond", text_left("abc", 5), "abc"},
        {"left 0", text_left("abc", 0), ""},
        {"left negative", text_left("abc", -3), ""},
        {"left cuts a character", text_left("\xB0\xA1", 1), "\xB0"},
        {"right", text_right("abc", 2), "bc"},
        {"right beyond", text_right("abc", 9), "abc"},
        {"right negative", text_right("abc", -1), ""},
        {"empty text", text_mid("", 1, 1), ""},
        {"concat", text_concat("ab", Text("c"), std::string_view("de")), "abcde"},
        {"concat of empties", text_concat("", ""), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(str(c.got), c.expected) << c.name;
    EXPECT_EQ(text_length(""), 0);
    EXPECT_EQ(text_length("\xB0\xA1x"), 3);
}

TEST(TextCompare, EqualityAndOrder) {
    EXPECT_TRUE(text_equals("", TextView()));
    EXPECT_TRUE(text_equals(Text(), ""));
    EXPECT_FALSE(text_equals("a", "A"));
    EXPECT_EQ(compare_text("Content-Type", "content-type", false), 0);
    EXPECT_NE(compare_text("Content-Type", "content-type", true), 0);
    EXPECT_EQ(compare_text("", TextView()), 0);
    EXPECT_LT(compare_text("ab", "abc"), 0);
    EXPECT_GT(compare_text("b", "abc"), 0);
    EXPECT_LT(compare_text("Z", "a"), 0);
    EXPECT_GT(compare_text("Z", "a", false), 0);
    // A double-byte character is one unit and sorts after every ASCII character.
    EXPECT_GT(compare_text("\xB0\xA1", "z"), 0);
    // Only ASCII letters fold; a second byte that looks like a letter is part of its character.
    EXPECT_NE(compare_text("\x81"
                           "a",
                           "\x81"
                           "A",
                           false),
              0);
}

TEST(ToWhole, TruncatesTowardZero) {
    EXPECT_EQ(to_whole(2.7), 2);
    EXPECT_EQ(to_whole(-2.7), -2);
    EXPECT_EQ(to_whole(0.0), 0);
    EXPECT_EQ(to_whole(2147483647.9), INT_MAX);
    EXPECT_EQ(to_whole(-2147483648.9), INT_MIN);
    EXPECT_EQ(to_whole(1e20), INT_MIN);
    EXPECT_EQ(to_whole(std::numeric_limits<double>::quiet_NaN()), INT_MIN);
}

}  // namespace
}  // namespace tovmira
