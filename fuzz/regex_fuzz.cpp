// Fuzzes RegexObject with arbitrary patterns and subjects: every match and group lies inside
// the subject at the offset it reports, the counts agree, and replacing with "$&" gives the
// subject back.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "regex/regex_object.h"
#include "text/codepage.h"

using namespace tovmira;

namespace {

Text without_zeros(std::string_view bytes) {
    Text text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

// Checks that `piece`, reported at 0-based `position`, is where it says in `subject`; exact
// bytes only when the subject survives the conversion to UTF-16 unchanged.
void check_place(const Text& subject, const Text& piece, int position, bool exact) {
    FUZZ_CHECK(position >= 0 && static_cast<std::size_t>(position) <= subject.size());
    if (exact) FUZZ_CHECK(subject.compare(static_cast<std::size_t>(position), piece.size(), piece) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t flags = data[0];
    auto parts = tovmira::fuzz::split_input(data + 1, size - 1, 2);
    const Text pattern = without_zeros(parts[0]);
    const Text subject = without_zeros(parts[1]);
    const bool global = flags & 4;

    RegexObject regex;
    FUZZ_CHECK(regex.match_count() == 0 && regex.replace().empty());
    bool ran = regex.create(pattern, subject, flags & 1, flags & 2, global, flags & 8);
    const int count = regex.match_count();
    if (!ran) {
        FUZZ_CHECK(count == 0 && regex.replace("x").empty() && regex.submatch_count() == 0);
        return 0;
    }
    FUZZ_CHECK(count >= 0 && (global || count <= 1));
    FUZZ_CHECK(count <= static_cast<int>(subject.size()) + 1);
    const bool exact = wide_to_ansi(ansi_to_wide(subject)) == subject;

    int previous_end = 0;
    const int groups = regex.submatch_count();
    FUZZ_CHECK(groups >= 0 && (count > 0 || groups == 0));
    for (int m = 1; m <= count; ++m) {
        int position = -1;
        Text match = regex.match_text(m, &position);
        check_place(subject, match, position, exact);
        // Matches come left to right and do not overlap.
        FUZZ_CHECK(position >= previous_end);
        previous_end = position + static_cast<int>(match.size());
        if (m > 8) continue;
        for (int g = 1; g <= groups && g <= 8; ++g) {
            int group_position = -1;
            Text group = regex.submatch_text(m, g, &group_position);
            if (group_position == -2) {
                FUZZ_CHECK(group.empty());
            } else {
                check_place(subject, group, group_position, exact);
            }
        }
    }
    int position = 0;
    FUZZ_CHECK(regex.match_text(0, &position).empty() && position == -2);
    FUZZ_CHECK(regex.match_text(count + 1, &position).empty() && position == -2);
    if (exact) {
        FUZZ_CHECK(regex.replace("$&") == subject);
        if (count == 0) FUZZ_CHECK(regex.replace("zz") == subject);
    }
    return 0;
}
