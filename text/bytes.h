// Operations on ByteSet, the counted raw-byte value, and its exchange with Text.
// Counts below 0 behave as 0; no operation fails.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "text/types.h"

namespace tovmira {

using ByteView = std::span<const std::uint8_t>;

ByteSet text_to_bytes(TextView text);
// The bytes before the first zero byte, or all of them when there is none.
Text bytes_to_text(ByteView bytes);
// n zero bytes; empty when n <= 0.
ByteSet blank_bytes(int n);
// The first n bytes; all when n >= length; empty when n <= 0.
ByteSet bytes_left(ByteView bytes, int n);
int bytes_length(ByteView bytes);
ByteSet bytes_concat(std::initializer_list<ByteView> parts);
// Copies of the n bytes at `address`; empty when n <= 0.
ByteSet bytes_from_memory(const void* address, int n);

}  // namespace tovmira
