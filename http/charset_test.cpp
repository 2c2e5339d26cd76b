#include "http/charset.h"

#include <gtest/gtest.h>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

ByteSet bytes_of(std::string_view text) {
    return ByteSet(text.begin(), text.end());
}

TEST(DeclaredCharsetTest, FindsTheFirstMetaDeclaration) {
    struct Case {
        const char* body;
        const char* name;
    } cases[] = {
        {"<meta charset=utf-8>", "utf-8"},
        {"<META CHARSET=\"Big5\">", "Big5"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />", "gb2312"},
        {"<meta charset='x'><meta charset=utf-8>", "x"},
        {"<meta\ncharset=utf-8>", ""},  // '.' does not cross a line break
        {"charset=utf-8", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::optional<Text> name = declared_charset(c.body);
        ASSERT_TRUE(name) << c.body;
        EXPECT_EQ(*name, c.name) << c.body;
    }
}

TEST(DecodeCharsetTest, DecodesKnownNamesIntoGbk) {
    struct Case {
        std::string bytes;
        const char* charset;
        Text expected;
    } cases[] = {
        {"\xE5\x9F\xBA\xE9\x87\x91", "utf-8", "基金"_gbk},
        {"\xE5\x9F\xBA\xE9\x87\x91", "UTF-8", "基金"_gbk},
        {"\xEF\xBB\xBF\x61", "utf-8", "a"},  // the byte-order mark is no character
        {std::string("\xFA\x57\xD1\x91", 4), "unicode", "基金"_gbk},
        {std::string("\xFF\xFE\x61\x00", 4), "unicode", "a"},
        {std::string("\x57\xFA", 2), "unicodeFFFE", "基"_gbk},
        {"\xB0\xF2\xAA\xF7", "big5", "基金"_gbk},
        {"\xBB\xF9\xBD\xF0", "GBK", "基金"_gbk},
        {"\xBB\xF9\xBD\xF0", "gb18030", "基金"_gbk},
        {"\x80", "GB2312", "\x80"},  // the euro sign of code page 936
        {"caf\xE9", "iso-8859-1", "caf\xA8\xA6"},
        {std::string("a\0b", 3), "utf-8", "a"},  // a zero character ends the text
        {"", "utf-8", ""},
    };
    for (const Case& c : cases) {
        const std::optional<Text> text = decode_charset(bytes_of(c.bytes), c.charset);
        ASSERT_TRUE(text) << c.charset;
        EXPECT_EQ(*text, c.expected) << c.charset;
    }
}

TEST(DecodeCharsetTest, InvalidBytesAreSubstitutedAndDecodingGoesOn) {
    const std::optional<Text> text = decode_charset(bytes_of("a\xFF"
                                                             "b\xE5\x9F"),
                                                    "utf-8");
    ASSERT_TRUE(text);
    // Each unreadable byte becomes one substitute; the cut-off last character too.
    EXPECT_EQ(text->substr(0, 1), "a");
    EXPECT_NE(text->find('b'), Text::npos);
    EXPECT_GE(text->size(), 4u);
}

TEST(DecodeCharsetTest, UnknownNamesGiveNothing) {
    EXPECT_FALSE(decode_charset(bytes_of("x"), "no-such-set"));
    EXPECT_FALSE(decode_charset(bytes_of("x"), ""));
}

TEST(DecodeCharsetTest, LongBodyKeepsCharactersAcrossBufferBoundaries) {
    // Four-byte characters (a surrogate pair each) at every offset against the decoding buffer.
    std::string utf8;
    Text expected;
    for (int i = 0; i < 5000; ++i) {
        utf8 +=
            "\xF0\x9F\x98\x80"
            "\xE5\x9F\xBA"
            "a";
    }
    const std::optional<Text> text = decode_charset(bytes_of(utf8), "utf-8");
    ASSERT_TRUE(text);
    // U+1F600 has no GBK form, so each becomes one substitute: 1 + 2 + 1 bytes a round.
    ASSERT_EQ(text->size(), 5000u * 4);
    for (std::size_t i = 0; i < text->size(); i += 4) {
        ASSERT_EQ(text->substr(i + 1, 3), "基"_gbk + "a") << i;
    }
}

}  // namespace
}  // namespace tovmira
