#include "regex/regex_object.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "regex/pattern_search.h"
#include "regex/replacement.h"
#include "regex/unit_offsets.h"
#include "text/codepage.h"
#include "text/gbk_literal.h"

namespace tovmira {
namespace {

// The text up to its first zero byte, which is where the conversion to UTF-16 ends too.
TextView up_to_zero(TextView text) {
    return text.substr(0, text.find('\0'));
}

WideUnits to_units(TextView text) {
    ByteSet wide = ansi_to_wide(text, true);
    WideUnits units(wide.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<std::uint16_t>(wide[2 * i] | (wide[2 * i + 1] << 8));
    }
    return units;
}

// `pattern` with every "#引号" replaced by '"', stepping over double-byte characters whole so
// that no match starts on a second byte.
Text expand_quote_placeholder(TextView pattern) {
    const Text& placeholder = "#引号"_gbk;
    Text expanded;
    expanded.reserve(pattern.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern.substr(i, placeholder.size()) == placeholder) {
            expanded.push_back('"');
            i += placeholder.size();
            continue;
        }
        std::size_t width = gbk_character_width(pattern, i);
        expanded.append(pattern.substr(i, width));
        i += width;
    }
    return expanded;
}

}  // namespace

struct RegexObject::Search {
    Text pattern;
    Text subject;
    bool global = true;
    // Byte offset of every UTF-16 unit of the subject, and the subject's length last.
    std::vector<std::size_t> byte_offsets;
    // Unit bounds of the matches; empty when the pattern was refused or the search gave up.
    std::optional<MatchBounds> matches;

    std::size_t to_byte(std::size_t unit) const {
        if (unit == kUnsetBound) return kUnsetBound;
        // Both sides count one unit per character; should they ever disagree, clamp rather
        // than read past the table.
        return unit < byte_offsets.size() ? byte_offsets[unit] : subject.size();
    }
    // The byte bounds of match `match_index` (1-based), empty when there is no such match.
    std::vector<std::size_t> match_bytes(int match_index) const {
        std::vector<std::size_t> bytes;
        if (!matches || match_index < 1 ||
            static_cast<std::size_t>(match_index) > matches->match_count()) {
            return bytes;
        }
        for (std::size_t unit : matches->match(static_cast<std::size_t>(match_index - 1))) {
            bytes.push_back(to_byte(unit));
        }
        return bytes;
    }
    // The subject's bytes [start, end), with the position out-parameter filled when given.
    Text piece(std::size_t start, std::size_t end, int* position) const {
        bool unset = start == kUnsetBound || end == kUnsetBound;
        if (position != nullptr) *position = unset ? -2 : static_cast<int>(start);
        if (unset || end <= start) return Text();
        return Text(TextView(subject).substr(start, end - start));
    }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;

bool RegexObject::create(TextView pattern, TextView subject, bool case_sensitive, bool multiline,
                         bool global, bool expand_quote_placeholder) {
    pattern = up_to_zero(pattern);
    subject = up_to_zero(subject);
    auto search = std::make_unique<Search>();
    search->pattern =
        expand_quote_placeholder ? tovmira::expand_quote_placeholder(pattern) : Text(pattern);
    search->subject = Text(subject);
    search->global = global;
    WideUnits subject_units = to_units(subject);
    search->byte_offsets = byte_offsets_of_units(subject);
    search->matches =
        search_pattern(to_units(search->pattern), subject_units,
                       {.ignore_case = !case_sensitive, .multiline = multiline, .global = global});
    search_ = std::move(search);
    return search_->matches.has_value();
}

Text RegexObject::pattern_text() const {
    return search_ ? search_->pattern : Text();
}

Text RegexObject::replace(TextView replacement) const {
    if (!search_ || !search_->matches) return Text();
    replacement = up_to_zero(replacement);
    const Text& subject = search_->subject;
    Text result;
    result.reserve(subject.size());
    std::size_t copied = 0;
    for (std::size_t m = 0; m < search_->matches->match_count(); ++m) {
        std::vector<std::size_t> bytes = search_->match_bytes(static_cast<int>(m + 1));
        if (bytes[0] > copied) result.append(TextView(subject).substr(copied, bytes[0] - copied));
        append_replacement(result, replacement, subject, bytes);
        copied = std::max(copied, bytes[1]);
    }
    result.append(TextView(subject).substr(copied));
    return result;
}

int RegexObject::match_count() const {
    return search_ && search_->matches ? static_cast<int>(search_->matches->match_count()) : 0;
}

Text RegexObject::match_text(int match_index, int* position) const {
    if (position != nullptr) *position = -2;
    if (!search_) return Text();
    std::vector<std::size_t> bytes = search_->match_bytes(match_index);
    if (bytes.empty()) return Text();
    return search_->piece(bytes[0], bytes[1], position);
}

Text RegexObject::submatch_text(int match_index, int group_index, int* position) const {
    if (position != nullptr) *position = -2;
    if (!search_) return Text();
    std::vector<std::size_t> bytes = search_->match_bytes(match_index);
    if (bytes.empty() || group_index < 1 ||
        static_cast<std::size_t>(group_index) >= bytes.size() / 2) {
        return Text();
    }
    std::size_t group = static_cast<std::size_t>(group_index);
    return search_->piece(bytes[2 * group], bytes[2 * group + 1], position);
}

int RegexObject::submatch_count() const {
    return match_count() > 0 ? search_->matches->group_count : 0;
}

}  // namespace tovmira
