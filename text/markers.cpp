#include "text/markers.h"

#include <utility>

#include "text/array.h"
#include "text/events.h"
#include "text/find.h"
#include "text/gbk_literal.h"
#include "text/slice.h"
#include "text/spaces.h"

namespace tovmira {

Text text_between(TextView source, TextView left_marker, TextView right_marker, int start_position,
                  bool ignore_case) {
    const Text& quote_placeholder = "#引号"_gbk;
    Text left = replace_text(left_marker, quote_placeholder, "\"");
    Text right = replace_text(right_marker, quote_placeholder, "\"");
    int piece_start = find_text(source, left, start_position, ignore_case);
    if (piece_start == -1) return {};
    piece_start += text_length(left);
    int piece_end = find_text(source, right, piece_start, ignore_case);
    if (piece_end == -1) return {};
    return text_mid(source, piece_start, piece_end - piece_start);
}

int text_between_all(TextView source, TextView left_marker, TextView right_marker,
                     TextArray& pieces, const BetweenAllOptions& options) {
    array_clear(pieces);
    // An empty marker is found at byte 1 again and again, so the scan would never move on:
    // such a call yields no pieces.
    if (left_marker.empty() || right_marker.empty()) return 0;
    bool ignore_case = !options.case_sensitive;
    int search_from = options.start_position;
    while (true) {
        int left_at = find_text(source, left_marker, search_from, ignore_case);
        if (left_at == -1) break;
        int piece_start = left_at + text_length(left_marker);
        int right_at = find_text(source, right_marker, piece_start, ignore_case);
        if (right_at == -1) break;
        search_from = piece_start;
        Text piece = text_concat(
            options.prefix,
            trim_spaces(TextView(source).substr(static_cast<std::size_t>(piece_start) - 1,
                                                static_cast<std::size_t>(right_at - piece_start))),
            options.suffix);
        if (!piece.empty()) {
            if (options.keep_left_marker) piece.insert(0, left_marker);
            if (options.keep_right_marker) piece.append(right_marker);
            if (options.max_length != 0) {
                if (text_length(piece) < options.max_length) array_append(pieces, piece);
                process_events();
            } else {
                pieces.push_back(std::move(piece));
            }
            // The right marker may open the next piece.
            search_from = right_at;
        }
        process_events();
        process_events();
        process_events();
    }
    return array_count(pieces);
}

}  // namespace tovmira
