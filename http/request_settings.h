// What http_fetch works out from its parameters before the request goes out: URL parts, proxy,
// verb, time limit and the header block with its defaults. Pure, apart from cracking the URL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "http/winhttp.h"
#include "text/types.h"

namespace tovmira {

// The parts of a cracked URL that the connection and the request need.
struct UrlParts {
    Text host;
    std::uint16_t port = 0;
    bool secure = false;         // the scheme is https
    std::u16string object_name;  // path and query
};

// The session's proxy setting: NO_PROXY with an empty name, or NAMED_PROXY with 'http=host:port'
// for plain http ('host:port' itself for https).
struct ProxySetting {
    DWORD access_type = WINHTTP_ACCESS_TYPE_NO_PROXY;
    std::u16string name;
};

// The URL cracked by the layer into host, port, scheme and object name; nullopt when the layer
// refuses it, and for the empty URL, which hands the layer no characters at all.
std::optional<UrlParts> crack_url(TextView url);

// The object name from the cracked path and extra info: "/" when the path is empty (the query is
// then dropped), else the path followed by the query.
std::u16string object_name_of(std::u16string_view path, std::u16string_view extra_info);

ProxySetting proxy_setting(TextView proxy, bool secure);

// "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE" or "CONNECT" for 0 to 7; "GET" for
// any other value.
TextView method_name(int method);

// timeout_seconds in milliseconds; 30000 for 0 or less, and at most the largest 32-bit int for
// limits too long to count in milliseconds.
int timeout_milliseconds(int timeout_seconds);

// The caller's lines (with CR LF after them) followed by each default line whose search text
// the block does not yet hold anywhere: agent, accept, encoding, language, the form content type
// for method 1 (case-sensitive search), no-cache, and the Cookie line when `cookies` is set.
Text assemble_header_block(TextView request_headers, int method, TextView cookies);

// The UTF-16 form of `text` (code page 936), up to its first zero byte.
std::u16string to_wide(TextView text);

}  // namespace tovmira
