// The one way to write a GBK literal in UTF-8 source: "日期"_gbk is the Text of its GBK bytes.
// Each literal is converted once, on first use, and then shared.
#pragma once

#include <algorithm>
#include <cstddef>

#include "text/codepage.h"
#include "text/types.h"

namespace tovmira {

template <std::size_t N>
struct Utf8Literal {
    char bytes[N];
    constexpr Utf8Literal(const char (&literal)[N]) { std::copy_n(literal, N, bytes); }
};

template <Utf8Literal literal>
const Text& operator""_gbk() {
    static const Text converted = utf8_to_gbk({literal.bytes, sizeof literal.bytes - 1});
    return converted;
}

}  // namespace tovmira
