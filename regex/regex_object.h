// RegexObject: one search of a pattern over a subject, whose matches, groups (1-based), byte
// positions and replacement can then be read. Failures give empty results, never errors.
#pragma once

#include <memory>

#include "text/types.h"

namespace tovmira {

class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Runs `pattern` over `subject` and keeps the matches. True when the search took place
    // (whether or not anything matched); false when the pattern is refused. "#引号" in the
    // pattern stands for '"' when expand_quote_placeholder is set.
    bool create(TextView pattern, TextView subject, bool case_sensitive = false,
                bool multiline = true, bool global = true, bool expand_quote_placeholder = false);

    // The pattern in force (after the placeholder replacement); empty before any create.
    Text pattern_text() const;
    // The subject with every match replaced; $1, $& and $$ in the replacement as in JavaScript.
    Text replace(TextView replacement = {}) const;
    int match_count() const;
    // The text of match `match_index`; `position` receives its 0-based byte offset in the
    // subject (-2 when the text is not found there).
    Text match_text(int match_index, int* position = nullptr) const;
    // The text of group `group_index` of match `match_index`; empty for a group that took no part.
    Text submatch_text(int match_index, int group_index, int* position = nullptr) const;
    // The number of groups of the first match; 0 when there is no match.
    int submatch_count() const;

private:
    struct Search;
    std::unique_ptr<Search> search_;
};

}  // namespace tovmira
