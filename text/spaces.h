// Spaces are the byte 0x20 and the full-width space A1 A1; tabs and line breaks are not.
// Both routines step over double-byte characters and drop a malformed last lead byte.
#pragma once

#include "text/types.h"

namespace tovmira {

// The text without the runs of spaces at its start and end.
Text trim_spaces(TextView text);
// The text without any of its spaces.
Text remove_spaces(TextView text);

}  // namespace tovmira
