// http_fetch: one complete HTTP exchange with cookies, proxy, Basic credentials, redirects and
// numbered failures. http_fetch(url, {.method = 1, .request_body = body, .status_text = &status}).
#pragma once

#include <optional>

#include "text/types.h"

namespace tovmira {

// Parameters 2 to 18, in their order. A pointer left null is an out-parameter left out.
struct FetchOptions {
    int method = 0;  // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT
    TextView request_body = {};
    Text* cookies = nullptr;  // given (even when empty): sent, cookies enabled, merged after
    Text* response_cookies = nullptr;
    TextView request_headers = {};  // the caller's own lines, separated by CR LF
    Text* response_headers = nullptr;
    bool no_redirect = false;
    TextView server_user = {};
    TextView server_password = {};
    TextView proxy = {};  // 'host:port'; empty for a direct connection
    TextView proxy_user = {};
    TextView proxy_password = {};
    int timeout_seconds = 0;  // per phase; 0 or less means 30
    Text* location = nullptr;
    Text* status_text = nullptr;  // the status ('200 OK') or a numbered failure message
    ByteSet* response_body = nullptr;
    std::optional<bool> auto_merge_cookies = std::nullopt;  // left out means true
};

// The response body as text, decoded from the charset the page declares unless it is "gbk" or
// "gb2312"; the empty text when the exchange fails (status_text then holds the message).
Text http_fetch(TextView url, const FetchOptions& options = {});

}  // namespace tovmira
