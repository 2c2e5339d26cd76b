// append_replacement: the text that stands in for one match when a subject is rewritten, with
// JavaScript's sequences: $1 to $99, $& (the match), $` and $' (before and after it), $$ ('$').
#pragma once

#include <cstddef>
#include <span>

#include "text/types.h"

namespace tovmira {

// Appends `replacement` to `out` with its sequences expanded for one match of `subject`.
// `bounds` are byte offsets [start, end) of the match and then of each group, kUnsetBound for a
// group that took no part (it gives the empty text). '$' with anything else, or a group number
// beyond the pattern's groups ($0, $7 of a pattern with 2), stays as written.
void append_replacement(Text& out, TextView replacement, TextView subject,
                        std::span<const std::size_t> bounds);

}  // namespace tovmira
