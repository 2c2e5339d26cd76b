// search_pattern: runs a PCRE2 pattern over a UTF-16 subject with JavaScript's global-search
// rules and returns the bounds of every match and group, e.g. search_pattern(p, s, {}).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tovmira {

// UTF-16 code units, the form in which patterns and subjects reach the engine.
using WideUnits = std::vector<std::uint16_t>;

struct SearchOptions {
    bool ignore_case = true;
    bool multiline = true;
    bool global = true;
};

// The bound of a group that took no part in its match.
inline constexpr std::size_t kUnsetBound = static_cast<std::size_t>(-1);

// A search gives up, as a failed search, so that a runaway pattern cannot hang the window:
// after kSearchStepLimit backtracking steps from one start position (about 50 ms), at nesting
// depth kSearchDepthLimit, or when the whole search, all start positions and all matches
// together, has passed kSearchBaseBudget + kSearchBudgetPerUnit * subject units pattern items
// (about 0.1 s plus 1.6 us a unit; ordinary searches take one or two items a unit).
inline constexpr std::uint32_t kSearchStepLimit = 1'000'000;
inline constexpr std::uint32_t kSearchDepthLimit = 50'000;
inline constexpr std::uint64_t kSearchBaseBudget = 1'000'000;
inline constexpr std::uint64_t kSearchBudgetPerUnit = 16;

// Matches in subject order. Each match has group_count + 1 pairs of UTF-16 unit offsets
// [start, end): the whole match first, then groups 1 to group_count (kUnsetBound when unset).
struct MatchBounds {
    int group_count = 0;
    std::vector<std::size_t> bounds;

    std::size_t match_count() const { return bounds.size() / (2 * (group_count + 1)); }
    // The 2 * (group_count + 1) bounds of match `index` (0-based, below match_count()).
    std::span<const std::size_t> match(std::size_t index) const {
        std::size_t width = 2 * (group_count + 1);
        return std::span<const std::size_t>(bounds).subspan(index * width, width);
    }
};

// All matches of `pattern` in `subject` (only the first unless `global`); an empty match moves
// the next attempt on by one unit. Empty when the pattern is refused or the search gives up at
// one of the limits above: then no match at all is reported.
std::optional<MatchBounds> search_pattern(std::span<const std::uint16_t> pattern,
                                          std::span<const std::uint16_t> subject,
                                          SearchOptions options);

}  // namespace tovmira
