// Finding, replacing and splitting that step over GBK double-byte characters whole: a match never
// starts on a second byte. Positions are 1-based bytes; -1 means not found.
#pragma once

#include "text/types.h"

namespace tovmira {

// Position of the first `sought` at or after `start` (below 1 means 1), or -1. An empty `sought`
// is found at 1 (not at `start`) whenever anything remains to search. With ignore_case, the
// ASCII letters of every byte compare without case.
int find_text(TextView text, TextView sought, int start = 1, bool ignore_case = false);

// Every non-overlapping `sought`, left to right, replaced by `replacement` (deleted when it is
// empty). Inserted text is never searched again.
Text replace_text(TextView text, TextView sought, TextView replacement = {},
                  bool case_sensitive = true);

// The pieces between delimiters: 'a;;b' gives 'a', '', 'b'; a delimiter at the very end adds no
// empty piece; the empty text gives none; an empty delimiter gives the text itself.
TextArray split_text(TextView text, TextView delimiter);

}  // namespace tovmira
