// Cutting texts out between markers: text_between gives the first piece, text_between_all every
// piece, trimmed and dressed. text_between("x={pages:12,}", "pages:", ",") is "12".
#pragma once

#include "text/types.h"

namespace tovmira {

// The text between the first `left_marker` at or after `start_position` and the next
// `right_marker`, or the empty text when either is missing. "#引号" in a marker stands for '"'.
Text text_between(TextView source, TextView left_marker, TextView right_marker,
                  int start_position = 0, bool ignore_case = false);

struct BetweenAllOptions {
    bool case_sensitive = false;  // left out, letter case is ignored
    int max_length = 0;           // when not 0, keep a member only if shorter than this
    TextView prefix = {};
    TextView suffix = {};
    bool keep_left_marker = false;
    bool keep_right_marker = false;
    int start_position = 0;
};

// Empties `pieces`, then appends every piece between the markers: trimmed, prefix + piece +
// suffix, the markers around it when asked. Returns the member count. Lets the window handle
// its events after every pair of markers found.
int text_between_all(TextView source, TextView left_marker, TextView right_marker,
                     TextArray& pieces, const BetweenAllOptions& options = {});

}  // namespace tovmira
