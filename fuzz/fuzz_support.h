// What every fuzz target shares: FUZZ_CHECK, which stops the run on a broken property, the
// double-byte walk that tells character starts from second bytes, and a splitter of the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

// Aborts with the failed condition and its line, so libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                         \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, \
                         #condition);                                                 \
            __builtin_trap();                                                         \
        }                                                                             \
    } while (0)

namespace tovmira::fuzz {

// Whether each byte offset of `text`, walked from `from`, starts a character: a byte of 0x80 or
// above takes the next byte with it. Offsets before `from` are never starts.
inline std::vector<bool> character_starts(std::string_view text, std::size_t from = 0) {
    std::vector<bool> starts(text.size() + 1, false);
    std::size_t i = from;
    while (i < text.size()) {
        starts[i] = true;
        i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    }
    if (i == text.size()) starts[i] = true;
    return starts;
}

// The input cut into `count` parts at the byte 0xFF 0x00 pair (a pair no text of interest
// holds); missing parts are empty.
inline std::vector<std::string_view> split_input(const std::uint8_t* data, std::size_t size,
                                                 std::size_t count) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        std::size_t cut = input.find(std::string_view("\xFF\x00", 2));
        if (cut == std::string_view::npos) break;
        parts.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 2);
    }
    parts.push_back(input);
    while (parts.size() < count) parts.emplace_back();
    return parts;
}

// The view without its zero bytes cut off: the part before the first zero, as a Text holds.
inline std::string_view before_zero(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace tovmira::fuzz
