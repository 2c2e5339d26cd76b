#include "regex/pattern_search.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <memory>

namespace tovmira {
namespace {

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

using Code = std::unique_ptr<pcre2_code, CodeFree>;
using CompileContext = std::unique_ptr<pcre2_compile_context, CompileContextFree>;
using MatchContext = std::unique_ptr<pcre2_match_context, MatchContextFree>;
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataFree>;

// The match limit counts steps from one start position only, so a pattern that fails slowly at
// every position of a long subject would pass it. Automatic callouts before every pattern item
// count the items tried over the whole search and stop it when the budget is spent.
int spend_budget(pcre2_callout_block*, void* budget) {
    auto& left = *static_cast<std::uint64_t*>(budget);
    if (left == 0) return PCRE2_ERROR_CALLOUT;
    --left;
    return 0;
}

// The dialect of the script engines' regular expressions: \w, \d and \s stay ASCII (no UCP),
// \uHHHH is a character, a back reference to an unset group matches the empty text, $ without
// multiline matches only at the very end, and CR as well as LF ends a line for ^, $ and the dot.
Code compile(std::span<const std::uint16_t> pattern, SearchOptions options) {
    CompileContext context(pcre2_compile_context_create(nullptr));
    if (!context) return nullptr;
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    std::uint32_t flags = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                          PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C | PCRE2_AUTO_CALLOUT;
    if (options.ignore_case) flags |= PCRE2_CASELESS;
    if (options.multiline) flags |= PCRE2_MULTILINE;
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    // An empty span may have a null data pointer, which PCRE2 refuses even for length 0.
    static const std::uint16_t empty_pattern[1] = {0};
    PCRE2_SPTR16 units = pattern.empty() ? empty_pattern : pattern.data();
    return Code(pcre2_compile(units, pattern.size(), flags, &error, &error_offset, context.get()));
}

}  // namespace

std::optional<MatchBounds> search_pattern(std::span<const std::uint16_t> pattern,
                                          std::span<const std::uint16_t> subject,
                                          SearchOptions options) {
    Code code = compile(pattern, options);
    if (!code) return std::nullopt;
    MatchData data(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    MatchContext context(pcre2_match_context_create(nullptr));
    if (!data || !context) return std::nullopt;
    pcre2_set_match_limit(context.get(), kSearchStepLimit);
    pcre2_set_depth_limit(context.get(), kSearchDepthLimit);
    std::uint64_t budget = kSearchBaseBudget + kSearchBudgetPerUnit * subject.size();
    pcre2_set_callout(context.get(), spend_budget, &budget);

    std::uint32_t group_count = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &group_count);
    MatchBounds result;
    result.group_count = static_cast<int>(group_count);
    const std::size_t pairs = group_count + 1;

    static const std::uint16_t empty_subject[1] = {0};
    PCRE2_SPTR16 units = subject.empty() ? empty_subject : subject.data();
    std::size_t offset = 0;
    // The subject's UTF-16 is checked once, on the first attempt; later attempts skip the check,
    // which would otherwise cost a pass over the whole subject for every match.
    std::uint32_t match_flags = 0;
    while (offset <= subject.size()) {
        int rc = pcre2_match(code.get(), units, subject.size(), offset, match_flags, data.get(),
                             context.get());
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (rc < 0) return std::nullopt;  // a limit or the budget, or an invalid subject
        match_flags = PCRE2_NO_UTF_CHECK;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        for (std::size_t i = 0; i < 2 * pairs; ++i) {
            result.bounds.push_back(ovector[i] == PCRE2_UNSET ? kUnsetBound : ovector[i]);
        }
        if (!options.global) break;
        // As in JavaScript, the next attempt starts where this match ended, one unit further
        // when the match was empty, so that the search always moves on.
        std::size_t next = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
        offset = std::max(next, offset + 1);
    }
    return result;
}

}  // namespace tovmira
