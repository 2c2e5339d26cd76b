// Fuzzes the text operations and marker extraction against a plain reference walk: find_text,
// replace_text, split_text, text_left/right/mid, trim_spaces, remove_spaces and the markers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "text/find.h"
#include "text/markers.h"
#include "text/slice.h"
#include "text/spaces.h"

using namespace tovmira;
using tovmira::fuzz::character_starts;

namespace {

std::string without_zeros(std::string_view bytes) {
    std::string text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool matches_at(std::string_view text, std::string_view sought, std::size_t at, bool ignore_case) {
    if (at + sought.size() > text.size()) return false;
    for (std::size_t i = 0; i < sought.size(); ++i) {
        char a = text[at + i], b = sought[i];
        if (ignore_case ? fold(a) != fold(b) : a != b) return false;
    }
    return true;
}

// The first match at a character start of the walk from offset `from`, never a lone lead byte
// at the very end; npos when none.
std::size_t reference_find(std::string_view text, std::string_view sought, std::size_t from,
                           bool ignore_case) {
    std::vector<bool> starts = character_starts(text, from);
    for (std::size_t at = from; at < text.size(); ++at) {
        if (!starts[at]) continue;
        if (at + 1 == text.size() && static_cast<unsigned char>(text[at]) >= 0x80) continue;
        if (matches_at(text, sought, at, ignore_case)) return at;
    }
    return std::string_view::npos;
}

bool is_space_at(std::string_view text, std::size_t at) {
    if (text[at] == ' ') return true;
    return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xA1 &&
           static_cast<unsigned char>(text[at + 1]) == 0xA1;
}

// Whether a space character stands at any character start of `text`.
bool holds_space(std::string_view text) {
    std::vector<bool> starts = character_starts(text);
    for (std::size_t at = 0; at < text.size(); ++at)
        if (starts[at] && is_space_at(text, at)) return true;
    return false;
}

void check_find(std::string_view text, std::string_view sought, int start, bool ignore_case) {
    int found = find_text(text, sought, start, ignore_case);
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) {
        FUZZ_CHECK(found == -1);
        return;
    }
    if (sought.empty()) {
        FUZZ_CHECK(found == 1);
        return;
    }
    std::size_t expected = reference_find(text, sought, from, ignore_case);
    if (expected == std::string_view::npos) {
        FUZZ_CHECK(found == -1);
    } else {
        FUZZ_CHECK(found == static_cast<int>(expected) + 1);
        FUZZ_CHECK(character_starts(text, from)[found - 1]);
    }
}

void check_replace_and_split(std::string_view text, std::string_view sought,
                             std::string_view replacement, bool case_sensitive) {
    Text replaced = replace_text(text, sought, replacement, case_sensitive);
    TextArray pieces = split_text(text, sought);
    if (text.empty() || sought.empty()) {
        FUZZ_CHECK(replaced == text);
        FUZZ_CHECK(pieces.size() == (text.empty() ? 0u : 1u));
        return;
    }
    std::string expected_replaced;
    std::size_t copied = 0;
    while (copied < text.size()) {
        std::size_t found = reference_find(text, sought, copied, !case_sensitive);
        if (found == std::string_view::npos) break;
        expected_replaced.append(text.substr(copied, found - copied));
        expected_replaced.append(replacement);
        copied = found + sought.size();
    }
    if (copied < text.size()) expected_replaced.append(text.substr(copied));
    FUZZ_CHECK(std::string_view(replaced) == expected_replaced);

    // Joined again by the delimiter, the pieces give the text back, with the one delimiter at the
    // very end that adds no piece.
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined.append(sought);
        joined.append(pieces[i]);
    }
    FUZZ_CHECK(joined == text || joined + std::string(sought) == text);
    for (const Text& piece : pieces)
        FUZZ_CHECK(reference_find(piece, sought, 0, false) == std::string_view::npos ||
                   piece.size() < sought.size());
}

void check_slices(std::string_view text, int p, int n) {
    int length = static_cast<int>(text.size());
    FUZZ_CHECK(text_length(text) == length);
    Text left = text_left(text, n), right = text_right(text, n), mid = text_mid(text, p, n);
    std::size_t take = n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), text.size());
    FUZZ_CHECK(left == text.substr(0, take));
    FUZZ_CHECK(right == text.substr(text.size() - take));
    if (p < 1 || p > length || n <= 0) {
        FUZZ_CHECK(mid.empty());
    } else {
        FUZZ_CHECK(mid == text.substr(static_cast<std::size_t>(p) - 1, static_cast<std::size_t>(n)));
    }
    FUZZ_CHECK(text_concat(left, mid, right).size() == left.size() + mid.size() + right.size());
    if (p >= 0) FUZZ_CHECK(text_concat(text_left(text, p), text_mid(text, p + 1, length)) == text);
}

void check_spaces(std::string_view text) {
    Text trimmed = trim_spaces(text);
    Text removed = remove_spaces(text);
    FUZZ_CHECK(text.find(trimmed) != std::string_view::npos);
    FUZZ_CHECK(trimmed.size() <= text.size() && removed.size() <= text.size());
    if (!trimmed.empty()) {
        FUZZ_CHECK(!is_space_at(trimmed, 0));
        std::vector<bool> starts = character_starts(trimmed);
        std::size_t last = trimmed.size() - 1;
        while (!starts[last]) --last;
        FUZZ_CHECK(!is_space_at(trimmed, last));
    }
    FUZZ_CHECK(!holds_space(removed));
    FUZZ_CHECK(remove_spaces(removed) == removed);
    FUZZ_CHECK(trim_spaces(trimmed) == trimmed);
}

void check_between(std::string_view source, std::string_view left, std::string_view right,
                   int start, bool ignore_case) {
    Text piece = text_between(source, left, right, start, ignore_case);
    Text left_marker = replace_text(left, "#\xD2\xFD\xBA\xC5", "\"");
    Text right_marker = replace_text(right, "#\xD2\xFD\xBA\xC5", "\"");
    int left_at = find_text(source, left_marker, start, ignore_case);
    std::string expected;
    if (left_at != -1) {
        int piece_start = left_at + static_cast<int>(left_marker.size());
        int right_at = find_text(source, right_marker, piece_start, ignore_case);
        if (right_at != -1 && right_at > piece_start)
            expected = source.substr(static_cast<std::size_t>(piece_start) - 1,
                                     static_cast<std::size_t>(right_at - piece_start));
    }
    FUZZ_CHECK(std::string_view(piece) == expected);
}

void check_between_all(std::string_view source, std::string_view left, std::string_view right,
                       std::uint8_t flags, int start) {
    BetweenAllOptions options;
    options.case_sensitive = flags & 1;
    options.max_length = (flags & 2) ? (flags >> 4) : 0;
    options.keep_left_marker = flags & 4;
    options.keep_right_marker = flags & 8;
    options.start_position = start;
    TextArray pieces;
    pieces.emplace_back("stale");
    int count = text_between_all(source, left, right, pieces, options);
    FUZZ_CHECK(count == static_cast<int>(pieces.size()));
    if (left.empty() || right.empty()) FUZZ_CHECK(count == 0);
    FUZZ_CHECK(count <= static_cast<int>(source.size()));
    for (const Text& member : pieces) {
        FUZZ_CHECK(!member.empty());
        if (options.max_length != 0) FUZZ_CHECK(static_cast<int>(member.size()) < options.max_length);
        std::string_view core = member;
        if (options.keep_left_marker) {
            FUZZ_CHECK(core.substr(0, left.size()) == left);
            core.remove_prefix(left.size());
        }
        if (options.keep_right_marker) {
            FUZZ_CHECK(core.size() >= right.size() &&
                       core.substr(core.size() - right.size()) == right);
            core.remove_suffix(right.size());
        }
        // The core is a trimmed cut of the source.
        FUZZ_CHECK(source.find(core) != std::string_view::npos);
        FUZZ_CHECK(trim_spaces(core) == core);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t flags = data[0];
    const int start = static_cast<std::int8_t>(data[1]);
    const int count = static_cast<std::int8_t>(data[2]);
    auto parts = tovmira::fuzz::split_input(data + 3, size - 3, 3);
    const std::string text = without_zeros(parts[0]);
    const std::string sought = without_zeros(parts[1]);
    const std::string other = without_zeros(parts[2]);
    const bool ignore_case = flags & 1;

    check_find(text, sought, start, ignore_case);
    check_replace_and_split(text, sought, other, !ignore_case);
    check_slices(text, start, count);
    check_spaces(text);
    check_between(text, sought, other, start, ignore_case);
    check_between_all(text, sought, other, flags, start);
    return 0;
}
