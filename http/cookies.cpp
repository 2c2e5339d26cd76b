#include "http/cookies.h"

#include <functional>
#include <string_view>
#include <unordered_set>

#include "text/find.h"
#include "text/spaces.h"

namespace tovmira {
namespace {

constexpr TextView kItemSeparator = ";";
constexpr TextView kJoin = "; ";
constexpr TextView kDeletedMark = "=deleted";

struct TextHash {
    std::size_t operator()(const Text& text) const { return std::hash<TextView>{}(text); }
};

bool is_deleted_cookie(TextView item) {
    return item.size() >= kDeletedMark.size() &&
           item.substr(item.size() - kDeletedMark.size()) == kDeletedMark;
}

}  // namespace

Text merge_cookies(Text& old_cookies, Text& new_cookies) {
    old_cookies = remove_spaces(old_cookies);
    new_cookies = remove_spaces(new_cookies);
    const TextArray held = split_text(old_cookies, kItemSeparator);
    TextArray merged = split_text(new_cookies, kItemSeparator);

    // The names already in the merged list; a held item joins only under a name not seen yet,
    // so the first held item of a name wins and received items are never displaced.
    std::unordered_set<Text, TextHash> names;
    for (const Text& item : merged) names.insert(cookie_name(item));
    for (const Text& item : held) {
        if (names.insert(cookie_name(item)).second) merged.push_back(item);
    }

    Text output;
    for (const Text& item : merged) {
        if (is_deleted_cookie(item)) continue;
        output += item;
        output += kJoin;
    }
    if (output.size() >= kJoin.size()) output.resize(output.size() - kJoin.size());
    output = remove_duplicate_items(output, kJoin);
    old_cookies = output;
    return output;
}

Text cookie_name(TextView item) {
    const int equals = find_text(item, "=");
    return trim_spaces(equals < 1 ? item : item.substr(0, static_cast<std::size_t>(equals - 1)));
}

bool has_cookie_name(const TextArray& list, TextView name) {
    for (const Text& item : list) {
        if (cookie_name(item) == name) return true;
    }
    return false;
}

Text remove_duplicate_items(TextView text, TextView separator) {
    const TextArray parts = split_text(text, separator);
    // A set of the parts kept so far: the same result as looking each part up in the list of
    // seen parts, without the quadratic walk over long texts.
    std::unordered_set<TextView> seen;
    Text output;
    output.reserve(text.size() + separator.size());
    for (const Text& part : parts) {
        if (!seen.insert(part).second) continue;
        output += part;
        output += separator;
    }
    output.resize(output.size() >= separator.size() ? output.size() - separator.size() : 0);
    return output;
}

int index_in_list(const TextArray& list, TextView text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) return static_cast<int>(i) + 1;
    }
    return -1;
}

}  // namespace tovmira
