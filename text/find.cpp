#include "text/find.h"

#include <algorithm>
#include <cstring>

namespace tovmira {
namespace {

constexpr std::size_t npos = TextView::npos;

bool is_lead(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

char fold(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + 32) : byte;
}
bool is_letter(char byte) {
    return fold(byte) >= 'a' && fold(byte) <= 'z';
}

bool equal_folded(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// Finds `sought` at the character starts of a scan that steps over double-byte characters from a
// given offset. Candidates come from a fast byte search and are then checked: the byte after any
// byte below 0x80 always starts a character, so only the run of bytes >= 0x80 just before a
// candidate decides, by its parity, whether the candidate is a start. The last start proven is
// remembered, so no byte is walked over twice and the search stays linear.
class Finder {
  public:
    Finder(TextView text, TextView sought, bool ignore_case)
        : text_(text), sought_(sought), ignore_case_(ignore_case) {
        if (ignore_case_) choose_anchor();
    }

    // Offset of the first match at a character start of the scan from `from`, or npos.
    std::size_t next(std::size_t from) {
        known_start_ = from;
        std::size_t position = from;
        while (true) {
            std::size_t candidate =
                ignore_case_ ? next_folded(position) : text_.find(sought_, position);
            if (candidate == npos) return npos;
            if (starts_character(candidate) && !is_malformed_tail(candidate)) return candidate;
            position = candidate + 1;
        }
    }

  private:
    bool is_malformed_tail(std::size_t offset) const {
        return offset + 1 == text_.size() && is_lead(text_[offset]);
    }

    bool starts_character(std::size_t candidate) {
        std::size_t run_start = candidate;
        while (run_start > known_start_ && is_lead(text_[run_start - 1])) --run_start;
        // run_start is a character start: either the known one or the byte after one below 0x80.
        bool starts = (candidate - run_start) % 2 == 0;
        // When the candidate is not a start, the byte before it is one.
        known_start_ = starts ? candidate : candidate - 1;
        return starts;
    }

    // The folded search anchors on a byte of `sought` that has no case, when there is one, so a
    // single memchr finds its places; a letter anchor is sought in both cases by two cursors.
    void choose_anchor() {
        anchor_ = 0;
        for (std::size_t i = 0; i < sought_.size(); ++i) {
            if (!is_letter(sought_[i])) {
                anchor_ = i;
                break;
            }
        }
        char byte = sought_[anchor_];
        anchor_lower_ = fold(byte);
        anchor_upper_ = is_letter(byte) ? static_cast<char>(anchor_lower_ - 32) : anchor_lower_;
        next_lower_ = next_upper_ = npos;
        searched_from_ = npos;
    }

    std::size_t find_byte(char byte, std::size_t from) const {
        if (from >= text_.size()) return text_.size();
        const void* found = std::memchr(text_.data() + from, byte, text_.size() - from);
        return found ? static_cast<const char*>(found) - text_.data() : text_.size();
    }

    // The next place where the anchor occurs at offset `from` + anchor or later, as the offset
    // where `sought` would begin, checked with folding; npos when there is none.
    std::size_t next_folded(std::size_t from) {
        std::size_t size = sought_.size();
        if (from > text_.size() || text_.size() - from < size) return npos;
        std::size_t last = text_.size() - size;
        std::size_t anchor_from = from + anchor_;
        // The cursors stay valid while the search moves forward; a backward start resets them.
        if (searched_from_ == npos || anchor_from < searched_from_) {
            next_lower_ = next_upper_ = npos;
        }
        searched_from_ = anchor_from;
        while (true) {
            if (next_lower_ == npos || next_lower_ < anchor_from)
                next_lower_ = find_byte(anchor_lower_, anchor_from);
            if (anchor_upper_ == anchor_lower_) {
                next_upper_ = next_lower_;
            } else if (next_upper_ == npos || next_upper_ < anchor_from) {
                next_upper_ = find_byte(anchor_upper_, anchor_from);
            }
            std::size_t anchor_at = std::min(next_lower_, next_upper_);
            if (anchor_at >= text_.size()) return npos;
            std::size_t candidate = anchor_at - anchor_;
            if (candidate > last) return npos;
            if (equal_folded(text_.data() + candidate, sought_.data(), size)) return candidate;
            anchor_from = anchor_at + 1;
            searched_from_ = anchor_from;
        }
    }

    TextView text_;
    TextView sought_;
    bool ignore_case_;
    std::size_t known_start_ = 0;
    std::size_t anchor_ = 0;
    char anchor_lower_ = 0;
    char anchor_upper_ = 0;
    std::size_t next_lower_ = npos;
    std::size_t next_upper_ = npos;
    std::size_t searched_from_ = npos;
};

}  // namespace

int find_text(TextView text, TextView sought, int start, bool ignore_case) {
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return -1;
    // An empty sought text is found at the first byte, not at the start: callers rely on it.
    if (sought.empty()) return 1;
    std::size_t found = Finder(text, sought, ignore_case).next(from);
    return found == npos ? -1 : static_cast<int>(found + 1);
}

Text replace_text(TextView text, TextView sought, TextView replacement, bool case_sensitive) {
    if (text.empty() || sought.empty()) return Text(text);
    Finder finder(text, sought, !case_sensitive);
    Text result;
    std::size_t copied = 0;
    for (std::size_t found = finder.next(0); found != npos; found = finder.next(copied)) {
        result.append(text.substr(copied, found - copied));
        result.append(replacement);
        copied = found + sought.size();
        if (copied >= text.size()) break;
    }
    if (copied < text.size()) result.append(text.substr(copied));
    return result;
}

TextArray split_text(TextView text, TextView delimiter) {
    TextArray pieces;
    if (text.empty()) return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    Finder finder(text, delimiter, false);
    std::size_t piece_start = 0;
    for (std::size_t found = finder.next(0); found != npos; found = finder.next(piece_start)) {
        pieces.emplace_back(text.substr(piece_start, found - piece_start));
        piece_start = found + delimiter.size();
        if (piece_start >= text.size()) break;
    }
    if (piece_start < text.size()) pieces.emplace_back(text.substr(piece_start));
    return pieces;
}

}  // namespace tovmira
