// TextArray's operations: members numbered 1 to array_count(). Reading a member outside that range
// is the fatal run-time error of code 4 (below 1) or 1 (above the count).
#pragma once

#include "text/types.h"

namespace tovmira {

int array_count(const TextArray& array);
const Text& array_at(const TextArray& array, int index);
// Appends a copy of `text`, or copies of all members of `more` in their order.
void array_append(TextArray& array, TextView text);
void array_append(TextArray& array, const TextArray& more);
void array_clear(TextArray& array);

}  // namespace tovmira
