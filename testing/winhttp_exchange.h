// Test helpers for the winhttp layer: one whole exchange in WinHttp's calling order, with the
// step that failed and what was read. Exchange e = exchange(url, {.verb = u"POST"}).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "http/winhttp.h"

namespace tovmira::testing {

struct ExchangeOptions {
    std::u16string verb = u"GET";
    std::u16string headers;  // "Name: value" lines separated by CR LF
    std::string body;
    std::u16string proxy;  // empty: direct
    std::u16string server_user, server_password, proxy_user, proxy_password;
    bool cookies = true;
    bool redirects = true;
    int timeout_ms = 5000;
    DWORD read_size = 0;  // 0: as much as WinHttpQueryDataAvailable reports
};

enum class Step { none, crack, open, connect, open_request, options, headers, send, receive, read };

struct Exchange {
    Step failed_at = Step::none;
    std::string raw_headers;  // UTF-8 of WinHttpQueryHeaders' block
    std::string body;         // every byte handed out, also before a failed read
};

// Runs the exchange for `url` as http_fetch does; closes every handle it opened.
Exchange exchange(const std::u16string& url, const ExchangeOptions& options = {});

std::u16string to_u16(std::string_view ascii);

}  // namespace tovmira::testing
