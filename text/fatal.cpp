#include "text/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "text/codepage.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

MessageBox& installed_message_box() {
    static MessageBox installed;
    return installed;
}

}  // namespace

Text fatal_error_text(int code, TextView message) {
    Text text = "运行时出错!"_gbk;
    text += "\r\n\r\n";
    if (code != 0) {
        text += "错误代码："_gbk;
        text += std::to_string(code).c_str();
        text += "\r\n\r\n";
    }
    if (!message.empty()) {
        text += "错误信息："_gbk;
        text += message;
        text += "\r\n";
    }
    return text;
}

void fatal_run_error(int code, TextView message) {
    Text text = fatal_error_text(code, message);
    if (auto& message_box = installed_message_box()) {
        message_box("错误"_gbk, text);
    } else {
        // The terminal speaks UTF-8, not GBK.
        std::string shown = gbk_to_utf8(text);
        std::fwrite(shown.data(), 1, shown.size(), stderr);
        std::fflush(stderr);
    }
    // No static destructors: the window layer may still be in the middle of an event.
    std::_Exit(-1);
}

MessageBox set_message_box(MessageBox message_box) {
    return std::exchange(installed_message_box(), std::move(message_box));
}

void fatal_out_of_memory(std::size_t bytes) {
    const Text& pattern = "分配 %d 字节内存失败!"_gbk;
    Text message = pattern.substr(0, pattern.find("%d"));
    message += std::to_string(bytes).c_str();
    message += pattern.substr(pattern.find("%d") + 2);
    fatal_run_error(0, message);
}

}  // namespace tovmira
