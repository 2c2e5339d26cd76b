// byte_offsets_of_units: where each UTF-16 unit of a converted Text starts among the Text's
// GBK bytes, so that unit offsets from the engine become byte offsets, e.g. for '中b' 0, 2, 3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tovmira {

// For units that ansi_to_wide made from a GBK text: entry i is the byte offset at which unit i
// starts, and one last entry is the text's length. A unit below U+0080, the euro sign (byte
// 0x80) and U+FFFD (one byte that could not be read) came from one byte, every other from two.
std::vector<std::size_t> byte_offsets_of_units(std::span<const std::uint16_t> units);

}  // namespace tovmira
