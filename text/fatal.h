// The fatal run-time error: an orderly stop that shows what went wrong and ends the process with
// exit code -1. The window layer installs the message box; with none, the text goes to stderr.
#pragma once

#include <functional>

#include "text/types.h"

namespace tovmira {

// "运行时出错!" CR LF CR LF, then "错误代码：" and the code with CR LF CR LF unless the code is 0,
// then "错误信息：" and the message with CR LF unless the message is empty. GBK bytes.
Text fatal_error_text(int code, TextView message);

// Shows fatal_error_text through the installed message box, then exits with code -1.
[[noreturn]] void fatal_run_error(int code, TextView message);

// The function that shows the text of a fatal error and waits for the user: (caption, text).
using MessageBox = std::function<void(const Text& caption, const Text& text)>;
MessageBox set_message_box(MessageBox message_box);

}  // namespace tovmira
