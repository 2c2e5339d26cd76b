// Fuzzes merge_cookies: the result holds no space but those of its "; " joins, no item twice and
// no deleted item; every received item comes first and in order, and both texts are updated.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "http/cookies.h"
#include "text/find.h"
#include "text/spaces.h"

using namespace tovmira;
using tovmira::fuzz::character_starts;

namespace {

Text without_zeros(std::string_view bytes) {
    Text text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

// Every space at a character start of `merged` is the space of a "; " join.
void check_spaces_only_in_joins(std::string_view merged) {
    std::vector<bool> starts = character_starts(merged);
    for (std::size_t at = 0; at < merged.size(); ++at) {
        if (!starts[at]) continue;
        bool full_width = at + 1 < merged.size() && static_cast<unsigned char>(merged[at]) == 0xA1 &&
                          static_cast<unsigned char>(merged[at + 1]) == 0xA1;
        FUZZ_CHECK(!full_width);
        if (merged[at] == ' ') FUZZ_CHECK(at > 0 && starts[at - 1] && merged[at - 1] == ';');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parts = tovmira::fuzz::split_input(data, size, 2);
    Text held = without_zeros(parts[0]);
    Text received = without_zeros(parts[1]);
    const Text received_before = received;

    Text merged = merge_cookies(held, received);
    FUZZ_CHECK(held == merged);
    FUZZ_CHECK(received == remove_spaces(received_before));
    check_spaces_only_in_joins(merged);

    TextArray items = split_text(merged, "; ");
    std::set<Text> seen;
    for (const Text& item : items) {
        FUZZ_CHECK(seen.insert(item).second);
        FUZZ_CHECK(!(item.size() >= 8 && item.ends_with("=deleted")));
    }
    // Merging the result with nothing received changes nothing.
    Text again = merged;
    Text nothing;
    FUZZ_CHECK(merge_cookies(again, nothing) == merged);
    return 0;
}
