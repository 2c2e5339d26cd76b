// Measuring, cutting, joining and comparing texts by raw byte counts (positions from 1).
// text_mid("abcdef", 3, 2) is "cd"; out-of-range arguments give the empty text, never an error.
#pragma once

#include <initializer_list>

#include "text/types.h"

namespace tovmira {

int text_length(TextView text);

// The texts one after another, in one allocation.
Text text_concat(std::initializer_list<TextView> parts);
template <class... Parts>
Text text_concat(const Parts&... parts) {
    return text_concat({TextView(parts)...});
}

// The first / last n bytes; the whole text when n >= length, empty when n <= 0.
Text text_left(TextView text, int n);
Text text_right(TextView text, int n);
// At most n bytes from position p; empty when p < 1, p > length or n <= 0.
Text text_mid(TextView text, int p, int n);

// Same bytes, case included; the empty text equals the absent one.
bool text_equals(TextView a, TextView b);
// 0 when equal, negative when a sorts first; a double-byte character is one unit, and with
// case_sensitive false the ASCII letters compare without case.
int compare_text(TextView a, TextView b, bool case_sensitive = true);

// The integer part of x, truncated toward zero (-2.7 gives -2).
int to_whole(double x);

}  // namespace tovmira
