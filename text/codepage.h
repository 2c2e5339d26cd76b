// Conversion between Text (code page 936, GBK) and UTF-16, and between GBK and UTF-8 at the
// program's edges. Invalid input is substituted, never an error; a failed conversion is empty.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "text/types.h"

namespace tovmira {

// UTF-16LE bytes of `text` ended by one zero unit (left off when `omit_terminator`).
// The empty text gives an empty ByteSet, with no terminating unit.
ByteSet ansi_to_wide(TextView text, bool omit_terminator = false);

// The text of UTF-16LE bytes up to the first zero unit; an odd last byte is ignored.
Text wide_to_ansi(std::span<const std::uint8_t> wide);

// UTF-8 to GBK and back, for literals, the terminal and the window layer's strings.
Text utf8_to_gbk(std::string_view utf8);
std::string gbk_to_utf8(TextView gbk);

}  // namespace tovmira
