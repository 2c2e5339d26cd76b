// Merging cookie texts ('a=1; b=2'): the cookies a response set go first, the held ones of other
// names after them, deleted ones ('sid=deleted') dropped. merge_cookies(held, received).
#pragma once

#include "text/types.h"

namespace tovmira {

// The merged cookie text, items joined by "; ": every received item in order, then each held
// item whose name is neither received nor held before it; items ending "=deleted" are dropped
// and exact repeats removed. Afterwards `old_cookies` holds the result and `new_cookies` the
// received text without its spaces. Empty items (';a=1') stay as empty fields.
Text merge_cookies(Text& old_cookies, Text& new_cookies);

// The text before the item's first "=" (the whole item when it has none), trimmed of spaces;
// '=x' gives the empty text.
Text cookie_name(TextView item);

// True when some item of `list` has the cookie name `name` (byte for byte); false for an empty
// list.
bool has_cookie_name(const TextArray& list, TextView name);

// `text` split at `separator` with every repeat of an earlier part dropped, joined again by
// `separator`; only exact repeats go.
Text remove_duplicate_items(TextView text, TextView separator);

// The 1-based index of the first item equal to `text` byte for byte, or -1.
int index_in_list(const TextArray& list, TextView text);

}  // namespace tovmira
