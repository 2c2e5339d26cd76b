#include "regex/unit_offsets.h"

namespace tovmira {
namespace {

bool is_lead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool is_trail(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

}  // namespace

std::size_t gbk_character_width(TextView text, std::size_t offset) {
    bool pair = offset + 1 < text.size() && is_lead(static_cast<unsigned char>(text[offset])) &&
                is_trail(static_cast<unsigned char>(text[offset + 1]));
    return pair ? 2 : 1;
}

std::vector<std::size_t> byte_offsets_of_units(TextView text) {
    std::vector<std::size_t> offsets;
    offsets.reserve(text.size() + 1);
    std::size_t offset = 0;
    while (offset < text.size()) {
        offsets.push_back(offset);
        offset += gbk_character_width(text, offset);
    }
    offsets.push_back(offset);
    return offsets;
}

}  // namespace tovmira
