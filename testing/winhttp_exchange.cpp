// The exchange helper of the winhttp tests.
#include "testing/winhttp_exchange.h"

#include <memory>

namespace tovmira::testing {

namespace {
struct Closer {
    void operator()(InternetHandle* handle) const { WinHttpCloseHandle(handle); }
};
using Owned = std::unique_ptr<InternetHandle, Closer>;

std::string to_utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
}  // namespace

std::u16string to_u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

Exchange exchange(const std::u16string& url, const ExchangeOptions& o) {
    Exchange result;
    URL_COMPONENTS parts;
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
        static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        result.failed_at = Step::crack;
        return result;
    }
    std::u16string host(parts.lpszHostName, parts.dwHostNameLength);
    std::u16string object = std::u16string(parts.lpszUrlPath, parts.dwUrlPathLength) +
                            std::u16string(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    Owned session(o.proxy.empty() ? WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, u"", nullptr, 0)
                                  : WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                                                o.proxy.c_str(), nullptr, 0));
    if (!session) return result.failed_at = Step::open, result;
    Owned connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return result.failed_at = Step::connect, result;
    Owned request(WinHttpOpenRequest(connection.get(), o.verb.c_str(), object.c_str(), nullptr,
                                     nullptr, nullptr,
                                     parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return result.failed_at = Step::open_request, result;
    bool ok = WinHttpSetTimeouts(request.get(), o.timeout_ms, o.timeout_ms, o.timeout_ms, o.timeout_ms);
    if (ok && !o.server_user.empty()) {
        ok = WinHttpSetCredentials(request.get(), WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                   o.server_user.c_str(), o.server_password.c_str(), nullptr);
    }
    if (ok && !o.proxy_user.empty()) {
        ok = WinHttpSetCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC,
                                   o.proxy_user.c_str(), o.proxy_password.c_str(), nullptr);
    }
    DWORD value = WINHTTP_DISABLE_COOKIES;
    if (ok && !o.cookies) ok = WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &value, 4);
    DWORD redirects = WINHTTP_DISABLE_REDIRECTS;
    if (ok && !o.redirects) {
        ok = WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &redirects, 4);
    }
    if (!ok) return result.failed_at = Step::options, result;
    if (!o.headers.empty() &&
        !WinHttpAddRequestHeaders(request.get(), o.headers.c_str(), static_cast<DWORD>(o.headers.size()),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
        return result.failed_at = Step::headers, result;
    }
    std::string body = o.body;
    if (!WinHttpSendRequest(request.get(), nullptr, 0, body.empty() ? nullptr : body.data(),
                            static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0)) {
        return result.failed_at = Step::send, result;
    }
    if (!WinHttpReceiveResponse(request.get(), nullptr)) return result.failed_at = Step::receive, result;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available) || available < 1) break;
        std::string chunk(o.read_size ? o.read_size : available, '\0');
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            result.failed_at = Step::read;
            break;
        }
        result.body.append(chunk.data(), read);
    }
    DWORD length = 0;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &length, nullptr);
    std::u16string block(length / 2, u'\0');
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, block.data(), &length,
                            nullptr)) {
        block.resize(length / 2);
        result.raw_headers = to_utf8(block);
    }
    return result;
}

}  // namespace tovmira::testing
