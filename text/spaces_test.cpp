#include "text/spaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovmira {
namespace {

TEST(Spaces, TrimAndRemove) {
    struct Case {
        std::string text;
        std::string trimmed;
        std::string removed;
    };
    const std::string full_width = "\xA1\xA1";
    const std::vector<Case> cases = {
        {"  ab c  ", "ab c", "abc"},
        {full_width + "x" + full_width + "y" + full_width, "x" + full_width + "y", "xy"},
        {"\tx\r\n", "\tx\r\n", "\tx\r\n"},
        {" \tx \r\n ", "\tx \r\n", "\tx\r\n"},
        {"   ", "", ""},
        {full_width + " " + full_width, "", ""},
        {"", "", ""},
        // A1 A1 inside other characters is not a space: B0 A1 then A1 B0.
        {"\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
        // A second byte 0x20 belongs to its character.
        {"\x81 ", "\x81 ", "\x81 "},
        // A lone lead byte at the end is dropped.
        {" ab\x81", "ab", "ab"},
        {"a \xA1", "a", "a"},
        {"\x81", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(trim_spaces(c.text)), c.trimmed) << "trim '" << c.text << "'";
        EXPECT_EQ(std::string(remove_spaces(c.text)), c.removed) << "remove '" << c.text << "'";
    }
}

}  // namespace
}  // namespace tovmira
