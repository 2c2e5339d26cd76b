// The handle kinds behind HINTERNET (session, connection, request) and the owners of their curl
// objects; internal to the winhttp layer. Each kind owns its values; nothing is shared.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "http/winhttp.h"

namespace tovmira {

struct InternetHandle {
    enum class Kind { session, connection, request };
    explicit InternetHandle(Kind handle_kind) : kind(handle_kind) {}
    virtual ~InternetHandle() = default;
    Kind kind;
};

namespace winhttp {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// Where requests go: "" means directly.
struct ProxySettings {
    std::string for_http;   // "host:port" used for http URLs
    std::string for_https;  // "host:port" used for https URLs
};

struct Session : InternetHandle {
    Session() : InternetHandle(Kind::session) {}
    ProxySettings proxy;
};

struct Connection : InternetHandle {
    Connection() : InternetHandle(Kind::connection) {}
    ProxySettings proxy;
    std::string host;  // UTF-8, IPv6 literals in brackets
    INTERNET_PORT port = 0;
};

struct Credentials {
    std::string user;
    std::string password;
    bool set = false;
};

// One exchange: settings first, then the curl transfer stepped by Send/Receive/Read.
struct Request : InternetHandle {
    Request() : InternetHandle(Kind::request) {}
    ~Request() override;
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    // Settings.
    ProxySettings proxy;
    std::string host;
    INTERNET_PORT port = 0;
    bool secure = false;
    std::string verb;         // as given: "GET", "POST", ...
    std::string target;       // escaped path and query, starting with "/"
    std::chrono::milliseconds connect_limit{0};  // 0: none
    std::chrono::milliseconds send_limit{0};
    std::chrono::milliseconds receive_limit{0};
    Credentials server_login;
    Credentials proxy_login;
    bool cookies = true;
    bool redirects = true;
    std::vector<std::pair<std::string, std::string>> headers;  // lowercase name, full line

    // Transfer.
    MultiHandle multi;
    EasyHandle easy;
    HeaderList header_list;
    std::string body;  // the request body, kept alive while curl sends it
    std::string url;   // the current hop's URL
    std::string url_first;  // the URL the request was opened for
    bool error_reported = false;  // a read already failed
    int hops = 0;
    bool sent = false;             // SendRequest succeeded
    bool received = false;         // ReceiveResponse succeeded
    bool connected = false;        // curl's pre-request callback ran for this hop
    bool headers_done = false;     // the current hop's final (non-1xx) header block ended
    bool follow_hop = false;       // the current response is a redirect to follow
    bool redirect_refused = false; // too many hops
    std::string next_url;
    long status = 0;
    bool finished = false;  // curl reported the transfer's end
    CURLcode result = CURLE_OK;
    bool failed = false;  // aborted by a limit, by the hook, or by an error
    std::vector<std::string> header_lines;  // current response: status line first, no CR LF
    std::string received_body;
    std::size_t body_offset = 0;
    bool paused = false;
    std::chrono::steady_clock::time_point last_activity;
    curl_off_t last_upload = 0;

    std::size_t buffered() const { return received_body.size() - body_offset; }
};

// The request behind `handle`, or null when it is not a request.
Request* as_request(HINTERNET handle);

// Text conversions for the layer's strings.
std::size_t wide_length(LPCWSTR text);
std::u16string wide_string(LPCWSTR text, DWORD length = static_cast<DWORD>(-1));
std::string wide_to_utf8(std::u16string_view text);
// Code page 936 bytes of UTF-16 text, for header lines and credentials.
std::string wide_to_cp936(std::u16string_view text);
std::u16string cp936_to_wide(std::string_view bytes);
// `path` (UTF-8) with spaces, control bytes and bytes above 0x7F percent-escaped.
std::string escape_request_target(std::string_view path);

}  // namespace winhttp
}  // namespace tovmira
