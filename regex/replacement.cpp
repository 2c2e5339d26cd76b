#include "regex/replacement.h"

#include "regex/pattern_search.h"

namespace tovmira {
namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

void append_bounds(Text& out, TextView subject, std::size_t start, std::size_t end) {
    if (start == kUnsetBound || end == kUnsetBound || end <= start) return;
    out.append(subject.substr(start, end - start));
}

}  // namespace

void append_replacement(Text& out, TextView replacement, TextView subject,
                        std::span<const std::size_t> bounds) {
    const std::size_t group_count = bounds.size() / 2 - 1;
    const std::size_t size = replacement.size();
    // '$' (0x24) is never the second byte of a GBK character, so the bytes can be read one by one.
    for (std::size_t i = 0; i < size; ++i) {
        char c = replacement[i];
        if (c != '$' || i + 1 == size) {
            out.push_back(c);
            continue;
        }
        char next = replacement[i + 1];
        if (next == '$') {
            out.push_back('$');
            ++i;
        } else if (next == '&') {
            append_bounds(out, subject, bounds[0], bounds[1]);
            ++i;
        } else if (next == '`') {
            append_bounds(out, subject, 0, bounds[0]);
            ++i;
        } else if (next == '\'') {
            append_bounds(out, subject, bounds[1], subject.size());
            ++i;
        } else if (is_digit(next)) {
            // Two digits when they name a group, else one digit when it does, else literal.
            std::size_t one = static_cast<std::size_t>(next - '0');
            std::size_t two = i + 2 < size && is_digit(replacement[i + 2])
                                  ? one * 10 + static_cast<std::size_t>(replacement[i + 2] - '0')
                                  : 0;
            if (two >= 1 && two <= group_count) {
                append_bounds(out, subject, bounds[2 * two], bounds[2 * two + 1]);
                i += 2;
            } else if (one >= 1 && one <= group_count) {
                append_bounds(out, subject, bounds[2 * one], bounds[2 * one + 1]);
                i += 1;
            } else {
                out.push_back('$');
            }
        } else {
            out.push_back('$');
        }
    }
}

}  // namespace tovmira
