#include "http/response.h"

#include <algorithm>
#include <utility>

#include "http/charset.h"
#include "text/codepage.h"
#include "text/events.h"
#include "text/find.h"
#include "text/markers.h"
#include "text/slice.h"
#include "text/spaces.h"

namespace tovmira {
namespace {

constexpr TextView kSetCookie = "Set-Cookie";
constexpr TextView kSetCookieColon = "Set-Cookie:";
constexpr TextView kLocation = "Location: ";
constexpr TextView kLineEnd = "\r\n";
constexpr TextView kCookieJoin = "; ";
// The status starts after the 9 characters of 'HTTP/1.1 '.
constexpr int kStatusPosition = 10;

Text status_of(TextView headers) {
    const int line_end = find_text(headers, kLineEnd, kStatusPosition);
    if (line_end == -1) return {};
    return text_mid(headers, kStatusPosition, line_end - kStatusPosition);
}

Text cookie_item(TextView line) {
    if (find_text(line, ";") != -1) return trim_spaces(text_between(line, kSetCookieColon, ";"));
    return trim_spaces(replace_text(line, kSetCookieColon, {}, false));
}

bool is_location_line(TextView line) {
    return compare_text(text_left(line, static_cast<int>(kLocation.size())), kLocation, false) == 0;
}

}  // namespace

ResponseOutputs read_response_headers(Text header_block) {
    ResponseOutputs outputs;
    outputs.status_text = status_of(header_block);
    outputs.response_headers = replace_text(header_block, kSetCookie, kSetCookie, false);

    for (const Text& line : split_text(outputs.response_headers, kLineEnd)) {
        if (find_text(line, kSetCookie) != -1) {
            outputs.response_cookies += cookie_item(line);
            outputs.response_cookies += kCookieJoin;
        }
        if (is_location_line(line)) {
            outputs.location =
                text_mid(line, static_cast<int>(kLocation.size()) + 1, text_length(line));
        }
        process_events();
    }
    Text& cookies = outputs.response_cookies;
    cookies.resize(cookies.size() >= kCookieJoin.size() ? cookies.size() - kCookieJoin.size() : 0);
    return outputs;
}

Text read_body_text(ByteView body) {
    // The declaration is looked for in the text's first bytes only, so the whole text is made
    // once, after it is known whether it will be decoded instead.
    const ByteView head = body.first(std::min<std::size_t>(body.size(), 4096));
    const std::optional<Text> charset = declared_charset(bytes_to_text(head));
    if (!charset) return bytes_to_text(body);
    Text text;
    // The page's own code page needs no decoding; the comparison is exact, so 'GBK' is decoded.
    if (!charset->empty() && *charset != "gbk" && *charset != "gb2312") {
        if (std::optional<Text> decoded = decode_charset(body, *charset)) {
            text = std::move(*decoded);
        } else {
            text = bytes_to_text(body);
        }
    } else {
        text = bytes_to_text(body);
    }
    process_events();
    return text;
}

ResponseOutputs process_response(ByteView wide_header_block, ByteView body) {
    return process_response(wide_to_ansi(wide_header_block), body);
}

ResponseOutputs process_response(Text header_block, ByteView body) {
    ResponseOutputs outputs = read_response_headers(std::move(header_block));
    outputs.body_text = read_body_text(body);
    return outputs;
}

}  // namespace tovmira
