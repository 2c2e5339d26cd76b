// byte_offsets_of_units: where each UTF-16 unit of a converted Text starts among the Text's
// GBK bytes, so that unit offsets from the engine become byte offsets, e.g. for '中b' 0, 2, 3.
#pragma once

#include <cstddef>
#include <vector>

#include "text/types.h"

namespace tovmira {

// Entry i is the byte offset in `text` of the character that ansi_to_wide turns into UTF-16
// unit i; one last entry is the text's length. A lead byte (0x81 to 0xFE) with a trail byte
// after it is one unit, assigned or not; every other byte, 0x80 and a lone lead byte too, is one.
std::vector<std::size_t> byte_offsets_of_units(TextView text);

// The bytes of the character at `offset` (below text.size()) by the same rule: 2 or 1.
std::size_t gbk_character_width(TextView text, std::size_t offset);

}  // namespace tovmira
