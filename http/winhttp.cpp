// The settings half of the winhttp layer: handles, proxy, time limits, credentials, options and
// request headers. The transfer itself is in winhttp_transfer.cpp.
#include "http/winhttp.h"

#include <algorithm>
#include <memory>

#include "http/winhttp_handles.h"

namespace tovmira {

using namespace winhttp;

namespace {

std::string lower_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "host:port" for all schemes, "http=host:port" and "https=host:port" for one, several separated
// by ';' or spaces. False when no entry names a proxy.
bool parse_proxy_list(std::string_view list, ProxySettings& proxy) {
    bool any = false;
    while (!list.empty()) {
        std::size_t end = list.find_first_of("; ");
        std::string_view entry = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (entry.empty()) continue;
        std::size_t equals = entry.find('=');
        std::string_view scheme = equals == std::string_view::npos ? "" : entry.substr(0, equals);
        std::string_view address = equals == std::string_view::npos ? entry : entry.substr(equals + 1);
        if (address.starts_with("http://")) address.remove_prefix(7);
        if (address.empty()) continue;
        std::string lowered = lower_ascii(scheme);
        if (lowered.empty() || lowered == "http") proxy.for_http = std::string(address);
        if (lowered.empty() || lowered == "https") proxy.for_https = std::string(address);
        any = any || lowered.empty() || lowered == "http" || lowered == "https";
    }
    return any;
}

std::chrono::milliseconds limit_of(int ms) {
    return std::chrono::milliseconds(ms > 0 ? ms : 0);  // 0 and -1 mean no limit
}

template <class T>
HINTERNET hand_over(std::unique_ptr<T> handle) {
    return handle.release();
}

}  // namespace

namespace winhttp {
Request* as_request(HINTERNET handle) {
    if (handle == nullptr || handle->kind != InternetHandle::Kind::request) return nullptr;
    return static_cast<Request*>(handle);
}
}  // namespace winhttp

BOOL WinHttpCheckPlatform() { return 1; }

HINTERNET WinHttpOpen(LPCWSTR agent, DWORD access_type, LPCWSTR proxy_name, LPCWSTR proxy_bypass,
                      DWORD flags) {
    (void)agent;
    (void)proxy_bypass;
    (void)flags;
    auto session = std::make_unique<Session>();
    if (access_type == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
        std::string list = wide_to_utf8(wide_string(proxy_name));
        if (!parse_proxy_list(list, session->proxy)) return nullptr;
    }
    return hand_over(std::move(session));
}

HINTERNET WinHttpConnect(HINTERNET session, LPCWSTR server_name, INTERNET_PORT port,
                         DWORD reserved) {
    (void)reserved;
    if (session == nullptr || session->kind != InternetHandle::Kind::session) return nullptr;
    std::string host = wide_to_utf8(wide_string(server_name));
    if (host.empty()) return nullptr;
    for (char c : host) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == '/' || c == '?' || c == '#' || c == '@') {
            return nullptr;
        }
    }
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    auto connection = std::make_unique<Connection>();
    connection->proxy = static_cast<Session*>(session)->proxy;
    connection->host = std::move(host);
    connection->port = port;
    return hand_over(std::move(connection));
}

HINTERNET WinHttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR object_name,
                             LPCWSTR version, LPCWSTR referrer, LPCWSTR* accept_types,
                             DWORD flags) {
    (void)version;
    (void)accept_types;
    if (connection == nullptr || connection->kind != InternetHandle::Kind::connection) {
        return nullptr;
    }
    const auto& from = *static_cast<Connection*>(connection);
    auto request = std::make_unique<Request>();
    request->proxy = from.proxy;
    request->host = from.host;
    request->secure = (flags & WINHTTP_FLAG_SECURE) != 0;
    request->port = from.port != 0 ? from.port : (request->secure ? 443 : 80);
    request->verb = wide_to_utf8(wide_string(verb));
    if (request->verb.empty()) request->verb = "GET";
    for (char c : request->verb) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            return nullptr;
        }
    }
    std::string object = wide_to_utf8(wide_string(object_name));
    if (object.empty() || object.front() != '/') object.insert(object.begin(), '/');
    std::size_t fragment = object.find('#');
    if (fragment != std::string::npos) object.erase(fragment);  // never sent
    request->target = escape_request_target(object);
    std::string referrer_text = wide_to_cp936(wide_string(referrer));
    if (!referrer_text.empty()) request->headers.emplace_back("referer", "Referer: " + referrer_text);
    return hand_over(std::move(request));
}

BOOL WinHttpSetTimeouts(HINTERNET request, int resolve_ms, int connect_ms, int send_ms,
                        int receive_ms) {
    Request* r = as_request(request);
    if (r == nullptr || resolve_ms < -1 || connect_ms < -1 || send_ms < -1 || receive_ms < -1) {
        return 0;
    }
    // Resolving and connecting are two phases of one curl limit, so their limits add up; either
    // one without a limit leaves the whole phase without one.
    bool unlimited = resolve_ms <= 0 || connect_ms <= 0;
    r->connect_limit = unlimited ? std::chrono::milliseconds(0)
                                 : limit_of(resolve_ms) + limit_of(connect_ms);
    r->send_limit = limit_of(send_ms);
    r->receive_limit = limit_of(receive_ms);
    return 1;
}

BOOL WinHttpSetCredentials(HINTERNET request, DWORD target, DWORD scheme, LPCWSTR user,
                           LPCWSTR password, void* params) {
    (void)params;
    Request* r = as_request(request);
    if (r == nullptr || r->sent || scheme != WINHTTP_AUTH_SCHEME_BASIC || user == nullptr) return 0;
    if (target != WINHTTP_AUTH_TARGET_SERVER && target != WINHTTP_AUTH_TARGET_PROXY) return 0;
    Credentials& login = target == WINHTTP_AUTH_TARGET_SERVER ? r->server_login : r->proxy_login;
    login.user = wide_to_cp936(wide_string(user));
    login.password = wide_to_cp936(wide_string(password));
    login.set = true;
    return 1;
}

BOOL WinHttpSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD buffer_length) {
    Request* r = as_request(handle);
    if (r == nullptr || buffer == nullptr || buffer_length != sizeof(DWORD) || r->sent) return 0;
    DWORD value = *static_cast<const DWORD*>(buffer);
    if (option == WINHTTP_OPTION_DISABLE_FEATURE) {
        if ((value & WINHTTP_DISABLE_COOKIES) != 0) r->cookies = false;
        if ((value & WINHTTP_DISABLE_REDIRECTS) != 0) r->redirects = false;
        return 1;
    }
    if (option == WINHTTP_OPTION_ENABLE_FEATURE) {
        // Revocation checking is accepted; curl over OpenSSL verifies the chain and the host name.
        return value == WINHTTP_ENABLE_SSL_REVOCATION ? 1 : 0;
    }
    return 0;
}

BOOL WinHttpAddRequestHeaders(HINTERNET request, LPCWSTR headers, DWORD headers_length,
                              DWORD modifiers) {
    Request* r = as_request(request);
    if (r == nullptr || headers == nullptr || r->sent) return 0;
    std::string block = wide_to_cp936(wide_string(headers, headers_length));
    // Every line is checked before any is applied, so a bad line changes nothing.
    std::vector<std::pair<std::string, std::string>> lines;
    std::string_view rest = block;
    while (!rest.empty()) {
        std::size_t end = rest.find_first_of("\r\n");
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        line = trim(line);
        if (line.empty()) continue;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return 0;
        std::string_view name = trim(line.substr(0, colon));
        if (name.empty()) return 0;
        std::string_view value = trim(line.substr(colon + 1));
        lines.emplace_back(lower_ascii(name), std::string(name) + ": " + std::string(value));
    }
    bool replace = (modifiers & WINHTTP_ADDREQ_FLAG_REPLACE) != 0;
    bool add = (modifiers & WINHTTP_ADDREQ_FLAG_ADD) != 0 || !replace;
    for (auto& [name, line] : lines) {
        auto same = [&name](const auto& entry) { return entry.first == name; };
        bool existed = std::any_of(r->headers.begin(), r->headers.end(), same);
        if (replace) std::erase_if(r->headers, same);
        bool empty_value = line.size() == name.size() + 2;
        if (replace && empty_value) continue;  // replacing with nothing removes the header
        if (add || existed) r->headers.emplace_back(name, std::move(line));
    }
    return 1;
}

BOOL WinHttpCloseHandle(HINTERNET handle) {
    if (handle == nullptr) return 0;
    std::unique_ptr<InternetHandle> owner(handle);
    return 1;
}

}  // namespace tovmira
