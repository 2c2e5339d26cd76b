#include "text/spaces.h"

namespace tovmira {
namespace {

bool is_lead(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

// Width of the character at `offset`: 2 for a double-byte one, 1 otherwise, 0 for a lone lead
// byte at the very end, which ends every scan.
std::size_t width_at(TextView text, std::size_t offset) {
    if (!is_lead(text[offset])) return 1;
    return offset + 1 < text.size() ? 2 : 0;
}

bool is_space(TextView text, std::size_t offset, std::size_t width) {
    if (width == 1) return text[offset] == ' ';
    return width == 2 && text[offset] == '\xA1' && text[offset + 1] == '\xA1';
}

}  // namespace

Text trim_spaces(TextView text) {
    // One pass that remembers where the first and the last character that is not a space lie.
    std::size_t begin = text.size();
    std::size_t end = 0;
    std::size_t offset = 0;
    while (offset < text.size()) {
        char byte = text[offset];
        std::size_t width = 1;
        if (is_lead(byte)) {
            if (offset + 1 == text.size()) break;  // a malformed tail is dropped
            width = 2;
            if (byte == '\xA1' && text[offset + 1] == '\xA1') {
                offset += 2;
                continue;
            }
        } else if (byte == ' ') {
            ++offset;
            continue;
        }
        if (begin == text.size()) begin = offset;
        offset += width;
        end = offset;
    }
    if (end <= begin) return {};
    return Text(text.substr(begin, end - begin));
}

Text remove_spaces(TextView text) {
    Text kept;
    kept.reserve(text.size());
    std::size_t offset = 0;
    std::size_t run_start = 0;  // start of the characters not yet copied
    while (offset < text.size()) {
        std::size_t width = width_at(text, offset);
        if (width == 0) break;
        if (is_space(text, offset, width)) {
            kept.append(text.substr(run_start, offset - run_start));
            run_start = offset + width;
        }
        offset += width;
    }
    kept.append(text.substr(run_start, offset - run_start));
    return kept;
}

}  // namespace tovmira
