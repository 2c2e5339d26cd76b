#include "http/cookies.h"

#include <gtest/gtest.h>

namespace tovmira {
namespace {

struct MergeCase {
    const char* held;
    const char* received;
    const char* merged;
};

class MergeCookies : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookies, GivesTheMergedTextInBothHeldAndResult) {
    Text held = GetParam().held;
    Text received = GetParam().received;
    const Text merged = merge_cookies(held, received);
    EXPECT_EQ(merged, GetParam().merged);
    EXPECT_EQ(held, merged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeCookies,
    testing::Values(MergeCase{"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
                    MergeCase{"a=1; sid=x", "sid=deleted", "a=1"}, MergeCase{"a=1", "", "a=1"},  //
                    MergeCase{"a=1; ", "", "a=1"},          // trailing separator
                    MergeCase{"", "", ""},                  //
                    MergeCase{"", "x=1; x=2", "x=1; x=2"},  // received names not compared
                    MergeCase{"", "x=1; x=1", "x=1"},       // exact repeats removed
                    MergeCase{"a=1; a=2", "", "a=1"},       // first held item of a name wins
                    MergeCase{"A=1", "a=2", "a=2; A=1"},    // names are case-sensitive
                    MergeCase{"k=v; sid=DELETED", "", "k=v; sid=DELETED"},
                    MergeCase{"k=v; =deleted", "", "k=v"},  // exactly "=deleted" is dropped
                    MergeCase{"flag", "flag", "flag"},      // an item without "=" is its name
                    MergeCase{";a=1", "", "; a=1"},         // leading empty field stays
                    MergeCase{"a=hello world", "", "a=helloworld"},
                    MergeCase{"a=1;b=2", "c=3;a=deleted", "c=3; b=2"}));

TEST(MergeCookiesTest, LeavesReceivedTextWithoutSpaces) {
    Text held = "a=1; b=2";
    Text received = "b=3; c=4";
    merge_cookies(held, received);
    EXPECT_EQ(received, "b=3;c=4");
}

TEST(MergeCookiesTest, RemovesFullWidthSpacesToo) {
    Text held = "a=1\xA1\xA1;  b=2";
    Text received;
    EXPECT_EQ(merge_cookies(held, received), "a=1; b=2");
}

TEST(MergeCookiesTest, ManyCookiesStayInOrderAndLinear) {
    Text held;
    Text received;
    for (int i = 0; i < 20000; ++i) {
        held += "h" + std::to_string(i) + "=v; ";
        received += "r" + std::to_string(i) + "=v; ";
    }
    const Text merged = merge_cookies(held, received);
    EXPECT_EQ(merged.substr(0, 12), "r0=v; r1=v; ");
    EXPECT_TRUE(merged.ends_with("; h19999=v"));
    EXPECT_EQ(held, merged);
}

TEST(CookieNameTest, TakesTrimmedTextBeforeFirstEquals) {
    EXPECT_EQ(cookie_name(" a =1"), "a");
    EXPECT_EQ(cookie_name("=x"), "");
    EXPECT_EQ(cookie_name("abc"), "abc");
    EXPECT_EQ(cookie_name("a=b=c"), "a");
    EXPECT_EQ(cookie_name(""), "");
}

TEST(HasCookieNameTest, ComparesNamesByteForByte) {
    const TextArray list = {"a=1", " sid =2", "flag"};
    EXPECT_TRUE(has_cookie_name(list, "sid"));
    EXPECT_TRUE(has_cookie_name(list, "flag"));
    EXPECT_FALSE(has_cookie_name(list, "SID"));
    EXPECT_FALSE(has_cookie_name({}, ""));
}

TEST(RemoveDuplicateItemsTest, KeepsFirstOccurrences) {
    EXPECT_EQ(remove_duplicate_items("x; y; x", "; "), "x; y");
    EXPECT_EQ(remove_duplicate_items("", "; "), "");
    EXPECT_EQ(remove_duplicate_items("a=1; a=2; a=1", "; "), "a=1; a=2");
    EXPECT_EQ(remove_duplicate_items("p,q,p,r", ","), "p,q,r");
}

TEST(IndexInListTest, GivesFirstIndexFromOneOrMinusOne) {
    EXPECT_EQ(index_in_list({}, "p"), -1);
    EXPECT_EQ(index_in_list({"p", "q", "p"}, "p"), 1);
    EXPECT_EQ(index_in_list({"p", "q", "p"}, "q"), 2);
    EXPECT_EQ(index_in_list({"p", "q"}, "P"), -1);
}

}  // namespace
}  // namespace tovmira
