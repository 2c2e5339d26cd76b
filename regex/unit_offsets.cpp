#include "regex/unit_offsets.h"

namespace tovmira {

std::vector<std::size_t> byte_offsets_of_units(std::span<const std::uint16_t> units) {
    std::vector<std::size_t> offsets;
    offsets.reserve(units.size() + 1);
    std::size_t offset = 0;
    for (std::uint16_t unit : units) {
        offsets.push_back(offset);
        bool single_byte = unit < 0x80 || unit == 0x20AC || unit == 0xFFFD;
        offset += single_byte ? 1 : 2;
    }
    offsets.push_back(offset);
    return offsets;
}

}  // namespace tovmira
