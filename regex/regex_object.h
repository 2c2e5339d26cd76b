// RegexObject: one search of a pattern over a subject, whose matches, groups (1-based), byte
// positions and replacement can then be read. Failures give empty results, never errors.
#pragma once

#include <memory>

#include "text/types.h"

namespace tovmira {

// The dialect is the script engines' one: groups, ASCII \w \d \s, lazy quantifiers, the dot
// never matching CR or LF, ^ and $ at line breaks with multiline. Indexes are 1-based.
class RegexObject {
  public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Runs `pattern` over `subject` and keeps the matches. True when the search took place
    // (whether or not anything matched); false when the pattern is refused, or when the search
    // gives up on a pattern that backtracks without end (then no match is kept at all).
    // "#引号" in the pattern stands for '"' when expand_quote_placeholder is set.
    bool create(TextView pattern, TextView subject, bool case_sensitive = false,
                bool multiline = true, bool global = true, bool expand_quote_placeholder = false);

    // The pattern in force (after the placeholder replacement), also when it was refused;
    // empty before any create.
    Text pattern_text() const;
    // The subject with every match replaced; $1..$99, $&, $`, $' and $$ in the replacement as in
    // JavaScript, any other '$' stays. Empty when the last create returned false.
    Text replace(TextView replacement = {}) const;
    // The number of matches; 0 before create or when create returned false.
    int match_count() const;
    // The text of match `match_index`; `position` receives its 0-based byte offset in the
    // subject (-2 when there is no such match). 0, negative or too large an index gives ''.
    Text match_text(int match_index, int* position = nullptr) const;
    // The text of group `group_index` of match `match_index`; empty for a group that took no
    // part. `position` receives the group's own 0-based byte offset, -2 when it took no part.
    Text submatch_text(int match_index, int group_index, int* position = nullptr) const;
    // The number of groups of the first match; 0 when there is no match.
    int submatch_count() const;

  private:
    struct Search;
    std::unique_ptr<Search> search_;
};

}  // namespace tovmira
