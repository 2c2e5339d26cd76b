#include "text/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

ByteSet bytes(std::initializer_list<int> values) {
    ByteSet result;
    for (int value : values) result.push_back(static_cast<std::uint8_t>(value));
    return result;
}

TEST(GbkLiteral, ConvertsOnceToGbkBytes) {
    EXPECT_EQ("日期"_gbk, Text("\xC8\xD5\xC6\xDA"));
    EXPECT_EQ(&"日期"_gbk, &"日期"_gbk);
    EXPECT_EQ("abc"_gbk, Text("abc"));
}

TEST(AnsiToWide, WritesUtf16WithTheTerminatingUnit) {
    struct Case {
        Text text;
        bool omit_terminator;
        ByteSet expected;
    };
    const Case cases[] = {
        {"", false, {}},
        {"", true, {}},
        {"A", false, bytes({0x41, 0, 0, 0})},
        {"A", true, bytes({0x41, 0})},
        {"\xD6\xD0", false, bytes({0x2D, 0x4E, 0, 0})},  // 中
        {"a\xD6\xD0z", true, bytes({0x61, 0, 0x2D, 0x4E, 0x7A, 0})},
        {"\x80", true, bytes({0xAC, 0x20})},               // the euro sign of code page 936
        {Text("A\0B", 3), false, bytes({0x41, 0, 0, 0})},  // ends at a zero byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(ansi_to_wide(c.text, c.omit_terminator), c.expected) << c.text;
}

TEST(AnsiToWide, SubstitutesInvalidInputAndGoesOn) {
    struct Case {
        Text text;
        ByteSet expected;  // without the terminating unit
    };
    const Case cases[] = {
        // A lone lead byte at the end becomes one substitute and ends the text cleanly.
        {"A\xD6", bytes({0x41, 0, 0xFD, 0xFF})},
        {"\xD6", bytes({0xFD, 0xFF})},
        // A lead byte before a byte that cannot be a trail byte keeps that byte.
        {"\xD6<a", bytes({0xFD, 0xFF, 0x3C, 0, 0x61, 0})},
        {"\xD6\"", bytes({0xFD, 0xFF, 0x22, 0})},
        // An unassigned pair is one character and one substitute.
        {"\xA1\x40z", bytes({0xFD, 0xFF, 0x7A, 0})},
        {"\xFF\xD6\xD0", bytes({0xFD, 0xFF, 0x2D, 0x4E})},
        {"\xD6\xD0\xD6", bytes({0x2D, 0x4E, 0xFD, 0xFF})},
    };
    for (const Case& c : cases) EXPECT_EQ(ansi_to_wide(c.text, true), c.expected) << c.text;
}

TEST(WideToAnsi, EndsAtTheFirstZeroUnitAndIgnoresAnOddByte) {
    struct Case {
        ByteSet wide;
        Text expected;
    };
    const Case cases[] = {
        {{}, ""},
        {bytes({0x41}), ""},
        {bytes({0, 0, 0x41, 0}), ""},
        {bytes({0x2D, 0x4E, 0, 0}), "\xD6\xD0"},
        {bytes({0x41, 0}), "A"},
        {bytes({0x41, 0, 0, 0, 0x42, 0}), "A"},
        {bytes({0x41, 0, 0x42}), "A"},
        {bytes({0x41, 0, 0x00}), "A"},
        {bytes({0xAC, 0x20}), "\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(wide_to_ansi(c.wide), c.expected) << c.expected;
}

TEST(WideToAnsi, SubstitutesOneQuestionMarkPerCharacter) {
    struct Case {
        ByteSet wide;
        Text expected;
    };
    const Case cases[] = {
        {bytes({0x3D, 0xD8, 0x00, 0xDE, 0x41, 0}), "?A"},  // U+1F600, a surrogate pair
        {bytes({0x41, 0, 0x3D, 0xD8, 0x00, 0xDE}), "A?"},
        {bytes({0x3D, 0xD8, 0x41, 0}), "?A"},            // lone high surrogate
        {bytes({0x00, 0xDE, 0x41, 0}), "?A"},            // lone low surrogate
        {bytes({0x41, 0, 0x3D, 0xD8}), "A?"},            // high surrogate at the end
        {bytes({0x01, 0x0E, 0x2D, 0x4E}), "?\xD6\xD0"},  // U+0E01 is not in code page 936
        {bytes({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE}), "??"},
    };
    for (const Case& c : cases) EXPECT_EQ(wide_to_ansi(c.wide), c.expected) << c.expected;
}

TEST(CodePageRoundTrip, GivesBackEveryValidText) {
    const Text texts[] = {
        "A",
        "http://127.0.0.1:8080/f10/F10DataApi.aspx?type=lsjz&code=000001&page=1&per=40",
        "Accept: */*\r\nReferer: http://x/\r\n",
        "日期"_gbk,
        "单位净值 累计净值，开放申购！"_gbk,
        "\x80\x7F\x01",
        "ＡＢ～￥"_gbk,
    };
    for (const Text& text : texts) {
        EXPECT_EQ(wide_to_ansi(ansi_to_wide(text)), text) << text;
        EXPECT_EQ(wide_to_ansi(ansi_to_wide(text, true)), text) << text;
    }
}

// Every two-byte code that code page 936 defines converts to one UTF-16 unit and back to itself.
TEST(CodePageRoundTrip, HoldsForEveryDefinedDoubleByteCharacter) {
    int defined = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            Text text{static_cast<char>(lead), static_cast<char>(trail)};
            ByteSet wide = ansi_to_wide(text, true);
            if (wide == bytes({0xFD, 0xFF})) continue;  // not defined: one substitute
            ASSERT_EQ(wide.size(), 2u) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(wide_to_ansi(wide), text) << std::hex << lead << ' ' << trail;
            ++defined;
        }
    }
    // GBK defines 21886 double-byte characters; the user-defined areas are left out here.
    EXPECT_GT(defined, 21000);
}

TEST(CodePageRoundTrip, HoldsForLongTextsAcrossTheConversionBuffer) {
    Text text;
    for (int i = 0; i < 5000; ++i) {
        text += "日期"_gbk;
        text += static_cast<char>('a' + i % 26);
    }
    ByteSet wide = ansi_to_wide(text);
    EXPECT_EQ(wide.size(), 5000u * 3 * 2 + 2);
    EXPECT_EQ(wide_to_ansi(wide), text);

    // Invalid bytes scattered through a long text each become one substitute, wherever the
    // conversion buffer happens to be cut.
    Text broken;
    for (int i = 0; i < 3000; ++i) broken += "\xD6\xD0\xFFx";
    ByteSet broken_wide = ansi_to_wide(broken, true);
    ASSERT_EQ(broken_wide.size(), 3000u * 3 * 2);
    EXPECT_EQ(broken_wide[2], 0xFD);
    EXPECT_EQ(broken_wide[broken_wide.size() - 4], 0xFD);
    Text expected;
    for (int i = 0; i < 3000; ++i) expected += "\xD6\xD0?x";
    EXPECT_EQ(wide_to_ansi(broken_wide), expected);
}

TEST(Utf8AndGbk, ConvertWithOneSubstitutePerCharacter) {
    EXPECT_EQ(utf8_to_gbk("中a"), Text("\xD6\xD0"
                                       "a"));
    EXPECT_EQ(utf8_to_gbk("a\xF0\x9F\x98\x80z"), Text("a?z"));  // U+1F600
    EXPECT_EQ(utf8_to_gbk("a\xE0\xB8\x81z"), Text("a?z"));      // U+0E01
    EXPECT_EQ(utf8_to_gbk("a\x80\xFFz"), Text("a??z"));         // stray bytes, one each
    EXPECT_EQ(utf8_to_gbk("a\xE4\xB8"), Text("a?"));            // cut short at the end
    EXPECT_EQ(gbk_to_utf8("\xD6\xD0"
                          "a"),
              std::string("中a"));
    EXPECT_EQ(gbk_to_utf8("a\xD6"), std::string("a\xEF\xBF\xBD"));
    EXPECT_EQ(gbk_to_utf8("\xD6<"), std::string("\xEF\xBF\xBD<"));
    EXPECT_EQ(gbk_to_utf8(utf8_to_gbk("单位净值 2020-08-28")), std::string("单位净值 2020-08-28"));
}

}  // namespace
}  // namespace tovmira
