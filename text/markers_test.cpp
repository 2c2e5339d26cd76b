#include "text/markers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/events.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

std::string str(TextView text) {
    return std::string(text);
}

std::vector<std::string> members(const TextArray& pieces) {
    std::vector<std::string> texts;
    for (const Text& piece : pieces) texts.push_back(str(piece));
    return texts;
}

TEST(TextBetween, Table) {
    struct Case {
        const char* name;
        Text got;
        std::string expected;
    };
    const Text row = "<tr><td>日期2020-04-24</td><td>x</td>"_gbk;
    const std::vector<Case> cases = {
        {"page count", text_between("x={pages:12,curpage:1}", "pages:", ","), "12"},
        {"right marker only before", text_between("a,pages:12", "pages:", ","), ""},
        {"markers adjacent", text_between("pages:,", "pages:", ","), ""},
        {"left missing", text_between("abc", "x", "c"), ""},
        {"quote placeholder", text_between("<a href=\"u\">", "href=#引号"_gbk, "#引号"_gbk), "u"},
        {"ignore case", text_between("PAGES:3,", "pages:", ",", 0, true), "3"},
        {"exact by default", text_between("PAGES:3,", "pages:", ","), ""},
        {"start position", text_between("[a][b]", "[", "]", 2), "b"},
        {"start below 1", text_between("[a][b]", "[", "]", -9), "a"},
        {"start beyond", text_between("[a][b]", "[", "]", 7), ""},
        {"empty right marker", text_between("abc", "a", ""), ""},
        {"empty left marker", text_between("abc,d", "", ","), "abc"},
        {"empty left marker nothing left", text_between("abc,d", "", ",", 6), ""},
        {"row date", text_between(row, "日期"_gbk, "</td>"), "2020-04-24"},
        {"not trimmed", text_between("[ a ]", "[", "]"), " a "},
    };
    for (const Case& c : cases) EXPECT_EQ(str(c.got), c.expected) << c.name;
}

struct BetweenAllCase {
    const char* name;
    std::string source;
    std::string left;
    std::string right;
    BetweenAllOptions options;
    std::vector<std::string> expected;
};

TEST(TextBetweenAll, Table) {
    const std::string anchors = "<a> x </a><a>  </a><a>y</a>";
    const std::vector<BetweenAllCase> cases = {
        {"trimmed, empty dropped", anchors, "<a>", "</a>", {}, {"x", "y"}},
        {"prefix keeps blank pieces", anchors, "<a>", "</a>", {.prefix = "P"}, {"Px", "P", "Py"}},
        {"suffix", "<a>x</a>", "<a>", "</a>", {.suffix = "!"}, {"x!"}},
        {"shared marker", "|a|b|", "|", "|", {}, {"a", "b"}},
        {"case ignored by default", "<A>x</A>", "<a>", "</a>", {}, {"x"}},
        {"case sensitive", "<A>x</A><a>y</a>", "<a>", "</a>", {.case_sensitive = true}, {"y"}},
        {"markers as passed",
         "<A>x</A>",
         "<a>",
         "</a>",
         {.keep_left_marker = true, .keep_right_marker = true},
         {"<a>x</a>"}},
        {"dressing order",
         "[ x ]",
         "[",
         "]",
         {.prefix = "p", .suffix = "s", .keep_left_marker = true, .keep_right_marker = true},
         {"[pxs]"}},
        {"markers not added to an empty piece",
         "[ ]",
         "[",
         "]",
         {.keep_left_marker = true, .keep_right_marker = true},
         {}},
        {"max length", "[ab][abc]", "[", "]", {.max_length = 3}, {"ab"}},
        {"max length counts markers",
         "[ab]",
         "[",
         "]",
         {.max_length = 4, .keep_left_marker = true, .keep_right_marker = true},
         {}},
        {"negative max length keeps nothing", "[ab][a]", "[", "]", {.max_length = -1}, {}},
        {"start position skips earlier markers",
         "[a][b][c]",
         "[",
         "]",
         {.start_position = 4},
         {"b", "c"}},
        {"empty source", "", "[", "]", {}, {}},
        {"no left marker", "abc]", "[", "]", {}, {}},
        {"no right marker", "[abc", "[", "]", {}, {}},
        {"last right marker missing", "[a][b", "[", "]", {}, {"a"}},
        {"empty piece does not skip to right marker", "[ ][x]", "[", "]", {}, {"x"}},
        {"tabs stay", "[\tx\r\n]", "[", "]", {}, {"\tx\r\n"}},
        {"empty left marker", "[a]", "", "]", {.prefix = "P"}, {}},
        {"empty right marker", "[a]", "[", "", {.prefix = "P"}, {}},
        {"double-byte second byte is no marker", "\x81[a][b]", "[", "]", {}, {"b"}},
    };
    for (const BetweenAllCase& c : cases) {
        TextArray pieces;
        pieces.emplace_back("stale");
        int count = text_between_all(c.source, c.left, c.right, pieces, c.options);
        EXPECT_EQ(members(pieces), c.expected) << c.name;
        EXPECT_EQ(count, static_cast<int>(c.expected.size())) << c.name;
    }
}

TEST(TextBetweenAll, HistoryRowsWithDatePrefix) {
    const Text page =
        "<tbody><tr><td>2020-04-24</td><td class='tor bold grn'>-1.16%</td></tr>"
        "<tr><td>2020-04-23</td><td class='tor bold red'>0.5%</td></tr></tbody>";
    TextArray rows;
    ASSERT_EQ(text_between_all(page, "<tr><td>", "</tr>", rows, {.prefix = "日期"_gbk}), 2);
    EXPECT_EQ(str(text_between(rows[0], "日期"_gbk, "</td>")), "2020-04-24");
    EXPECT_EQ(str(text_between(rows[1], "日期"_gbk, "</td>")), "2020-04-23");
}

// The window handles its events three times after every pair of markers, and once more after
// each non-empty piece when a length limit is set.
TEST(TextBetweenAll, LetsTheWindowHandleEventsAfterEveryPair) {
    struct Case {
        const char* name;
        std::string source;
        BetweenAllOptions options;
        int expected_calls;
    };
    const std::vector<Case> cases = {
        {"no pair", "[a", {}, 0},
        {"pairs", "[a][ ][b]", {}, 9},
        {"limit adds one per non-empty piece", "[a][ ][bcd]", {.max_length = 2}, 11},
        {"empty marker: none", "[a]", {}, 0},
    };
    for (const Case& c : cases) {
        int calls = 0;
        set_event_dispatcher([&calls] { ++calls; });
        TextArray pieces;
        bool empty_marker = std::string(c.name).starts_with("empty");
        text_between_all(c.source, "[", empty_marker ? "" : "]", pieces, c.options);
        set_event_dispatcher({});
        EXPECT_EQ(calls, c.expected_calls) << c.name;
    }
}

// Each call runs after the piece is stored: the dispatcher already sees it, as a nested
// handler would.
TEST(TextBetweenAll, PiecesAreStoredBeforeEventsRun) {
    TextArray pieces;
    std::vector<int> counts_seen;
    set_event_dispatcher([&] { counts_seen.push_back(static_cast<int>(pieces.size())); });
    text_between_all("[a][b]", "[", "]", pieces);
    set_event_dispatcher({});
    EXPECT_EQ(counts_seen, (std::vector<int>{1, 1, 1, 2, 2, 2}));
}

}  // namespace
}  // namespace tovmira
