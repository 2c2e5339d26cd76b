// Reading a response once it has arrived: status, header block with "Set-Cookie" normalised,
// the cookies set, the redirect target, and the body as text in its declared charset.
#pragma once

#include <optional>

#include "text/bytes.h"
#include "text/types.h"

namespace tovmira {

// Everything a response gives the caller of http_fetch except the raw body bytes.
struct ResponseOutputs {
    Text response_headers;         // every "Set-Cookie", in any case, spelled "Set-Cookie"
    Text status_text;              // '200 OK': from position 10 to the first CR LF, else empty
    Text response_cookies;         // the items the response sets, joined by "; "
    std::optional<Text> location;  // the last "Location: " line's target; none without one
    Text body_text;                // the body up to its first zero byte, decoded when declared
};

// The header part of ResponseOutputs from the header block (GBK text, lines ended by CR LF).
// A line holding "Set-Cookie" anywhere counts as a cookie line. Lets the window handle its
// events once after each line.
ResponseOutputs read_response_headers(Text header_block);

// The body bytes as text: up to the first zero byte, then decoded from the charset declared in
// its first 1024 bytes unless that is exactly "gbk" or "gb2312" (an unknown charset leaves it
// as it came). Lets the window handle its events once when the declaration search ran.
Text read_body_text(ByteView body);

// Both of the above: the header block as UTF-16LE bytes from the layer's header query, or as
// GBK text, and the body bytes.
ResponseOutputs process_response(ByteView wide_header_block, ByteView body);
ResponseOutputs process_response(Text header_block, ByteView body);

}  // namespace tovmira
