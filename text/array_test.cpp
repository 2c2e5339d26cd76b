#include "text/array.h"

#include <gtest/gtest.h>

#include <string>

#include "text/gbk_literal.h"

namespace tovmira {
namespace {

TEST(TextArrayOps, AppendCopiesAndNumbersFromOne) {
    TextArray array;
    EXPECT_EQ(array_count(array), 0);
    std::string source = "first";
    array_append(array, source);
    source[0] = 'F';  // the array owns a copy
    array_append(array, "");
    EXPECT_EQ(array_count(array), 2);
    EXPECT_EQ(std::string(array_at(array, 1)), "first");
    EXPECT_EQ(std::string(array_at(array, 2)), "");

    TextArray more;
    array_append(more, "x");
    array_append(more, "y");
    array_append(array, more);
    array_append(array, array);  // the members as they were before the call
    EXPECT_EQ(array_count(array), 8);
    EXPECT_EQ(std::string(array_at(array, 4)), "y");
    EXPECT_EQ(std::string(array_at(array, 8)), "y");
    EXPECT_EQ(std::string(array_at(array, 5)), "first");

    array_clear(array);
    EXPECT_EQ(array_count(array), 0);
}

// The message reaches standard error in UTF-8.
TEST(TextArrayOpsDeathTest, ReadingOutsideTheArrayIsFatal) {
    TextArray array;
    array_append(array, "a");
    EXPECT_EXIT(array_at(array, 0), testing::ExitedWithCode(255),
                "错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1");
    EXPECT_EXIT(array_at(array, -7), testing::ExitedWithCode(255), "错误代码：4");
    EXPECT_EXIT(array_at(array, 2), testing::ExitedWithCode(255),
                "错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围");
    EXPECT_EXIT(array_at(TextArray(), 1), testing::ExitedWithCode(255), "错误代码：1");
}

}  // namespace
}  // namespace tovmira
