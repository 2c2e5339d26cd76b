#include "text/fatal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "text/bytes.h"
#include "text/codepage.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

TEST(FatalErrorText, LeavesOutCodeZeroAndEmptyMessage) {
    EXPECT_EQ(gbk_to_utf8(fatal_error_text(4, "数组成员引用下标必须大于等于1"_gbk)),
              "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
    EXPECT_EQ(gbk_to_utf8(fatal_error_text(0, "x")), "运行时出错!\r\n\r\n错误信息：x\r\n");
    EXPECT_EQ(gbk_to_utf8(fatal_error_text(-3, "")), "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n");
    EXPECT_EQ(gbk_to_utf8(fatal_error_text(0, "")), "运行时出错!\r\n\r\n");
}

TEST(FatalRunErrorDeathTest, WritesToStandardErrorWithoutMessageBox) {
    EXPECT_EXIT(fatal_run_error(7, "boom"), testing::ExitedWithCode(255),
                "^运行时出错!\r\n\r\n错误代码：7\r\n\r\n错误信息：boom\r\n$");
}

TEST(FatalRunErrorDeathTest, ShowsTheInstalledMessageBoxThenExits) {
    auto run = [] {
        set_message_box([](const Text& caption, const Text& text) {
            std::string shown = "box " + gbk_to_utf8(caption) + ": " + gbk_to_utf8(text);
            std::fputs(shown.c_str(), stderr);
        });
        fatal_run_error(1, "m");
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(255), "^box 错误: 运行时出错!\r\n\r\n错误代码：1");
}

// A sanitizer may print a warning of its own before the message.
TEST(FatalRunErrorDeathTest, MemoryThatCannotBeHadNamesTheSize) {
    constexpr std::size_t absurd = std::size_t{1} << 60;
    EXPECT_EXIT(Text().reserve(absurd), testing::ExitedWithCode(255),
                "运行时出错!\r\n\r\n错误信息：分配 1152921504606846977 字节内存失败!\r\n$");
    EXPECT_EXIT(ByteSet().reserve(absurd), testing::ExitedWithCode(255),
                "分配 1152921504606846976 字节内存失败!");
}

}  // namespace
}  // namespace tovmira
