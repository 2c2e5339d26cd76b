#include "text/codepage.h"

#include <gtest/gtest.h>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

TEST(GbkLiteral, ConvertsOnceToGbkBytes) {
    EXPECT_EQ("日期"_gbk, Text("\xC8\xD5\xC6\xDA"));
    EXPECT_EQ(&"日期"_gbk, &"日期"_gbk);
    EXPECT_EQ("abc"_gbk, Text("abc"));
}

}  // namespace
}  // namespace tovmira
