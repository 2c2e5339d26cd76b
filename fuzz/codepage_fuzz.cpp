// Fuzzes both code-page conversions: ansi_to_wide and wide_to_ansi over arbitrary bytes keep
// their shapes (whole units, one terminator, no zero byte in a text), and a text made only of
// characters that code page 936 assigns comes back unchanged, through UTF-16 and through UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "text/codepage.h"

using namespace tovmira;

namespace {

void check_wide_shape(const ByteSet& wide, std::size_t text_bytes, bool omit_terminator) {
    FUZZ_CHECK(wide.size() % 2 == 0);
    if (text_bytes == 0) {
        FUZZ_CHECK(wide.empty());
        return;
    }
    std::size_t units = wide.size() / 2;
    std::size_t content = omit_terminator ? units : units - 1;
    FUZZ_CHECK(omit_terminator || (units >= 1 && wide[2 * content] == 0 && wide[2 * content + 1] == 0));
    // One unit at most per byte: a byte, a pair or a bad sequence each give one character.
    FUZZ_CHECK(content >= 1 && content <= text_bytes);
    for (std::size_t u = 0; u < content; ++u) FUZZ_CHECK(wide[2 * u] != 0 || wide[2 * u + 1] != 0);
}

// The characters of `bytes` (walked with the double-byte rule) that convert to UTF-16 and back
// unchanged on their own.
std::string valid_characters(std::string_view bytes) {
    std::string kept;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = static_cast<unsigned char>(bytes[i]) >= 0x81 ? 2 : 1;
        std::string_view character = bytes.substr(i, length);
        i += length;
        if (character.find('\0') != std::string_view::npos) continue;
        if (wide_to_ansi(ansi_to_wide(character)) == character) kept.append(character);
    }
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string_view text = tovmira::fuzz::before_zero(bytes);
    const bool omit = size > 0 && (data[0] & 1);

    ByteSet wide = ansi_to_wide(bytes, omit);
    check_wide_shape(wide, text.size(), omit);

    Text back = wide_to_ansi(std::span<const std::uint8_t>(data, size));
    FUZZ_CHECK(back.find('\0') == Text::npos);
    FUZZ_CHECK(back.size() <= size);

    std::string valid = valid_characters(text);
    ByteSet valid_wide = ansi_to_wide(valid);
    FUZZ_CHECK(wide_to_ansi(valid_wide) == valid);
    FUZZ_CHECK(ansi_to_wide(valid, true).size() + (valid.empty() ? 0 : 2) == valid_wide.size());
    FUZZ_CHECK(utf8_to_gbk(gbk_to_utf8(valid)) == valid);
    return 0;
}
