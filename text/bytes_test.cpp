#include "text/bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace tovmira {
namespace {

ByteSet bytes_of(std::initializer_list<std::uint8_t> values) {
    return ByteSet(values);
}

TEST(Bytes, ExchangeWithText) {
    EXPECT_EQ(std::string(bytes_to_text(bytes_of({0x41, 0x00, 0x42}))), "A");
    EXPECT_EQ(std::string(bytes_to_text(bytes_of({0x41, 0x42}))), "AB");
    EXPECT_EQ(std::string(bytes_to_text(ByteSet())), "");
    EXPECT_EQ(std::string(bytes_to_text(bytes_of({0x00, 0x41}))), "");
    EXPECT_EQ(text_to_bytes("AB"), bytes_of({0x41, 0x42}));
    EXPECT_EQ(text_to_bytes("\xB0\xA1"), bytes_of({0xB0, 0xA1}));
    EXPECT_TRUE(text_to_bytes("").empty());
}

TEST(Bytes, CountsOutOfRange) {
    ByteSet abc = bytes_of({1, 2, 3});
    EXPECT_TRUE(bytes_left(abc, -1).empty());
    EXPECT_TRUE(bytes_left(abc, 0).empty());
    EXPECT_EQ(bytes_left(abc, 2), bytes_of({1, 2}));
    EXPECT_EQ(bytes_left(abc, 9), abc);
    EXPECT_TRUE(blank_bytes(0).empty());
    EXPECT_TRUE(blank_bytes(-4).empty());
    EXPECT_EQ(blank_bytes(3), bytes_of({0, 0, 0}));
    EXPECT_EQ(bytes_length(abc), 3);
    EXPECT_EQ(bytes_length(ByteSet()), 0);
}

TEST(Bytes, ConcatAndMemory) {
    EXPECT_EQ(bytes_concat({bytes_of({1}), ByteSet(), bytes_of({0, 2})}), bytes_of({1, 0, 2}));
    EXPECT_TRUE(bytes_concat({ByteSet(), ByteSet()}).empty());
    const char memory[] = {'a', '\0', 'b'};
    EXPECT_EQ(bytes_from_memory(memory, 3), bytes_of({'a', 0, 'b'}));
    EXPECT_TRUE(bytes_from_memory(memory, 0).empty());
    EXPECT_TRUE(bytes_from_memory(memory, -1).empty());
    EXPECT_TRUE(bytes_from_memory(nullptr, 5).empty());
}

}  // namespace
}  // namespace tovmira
