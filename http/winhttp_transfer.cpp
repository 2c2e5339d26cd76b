// The transfer half of the winhttp layer: one curl multi handle per request, stepped from
// WinHttpSendRequest, WinHttpReceiveResponse and the body reads so each step reports its own
// failure. Redirects are followed here, hop by hop, rather than by curl.
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "http/test_hooks.h"
#include "http/wait_hook.h"
#include "http/winhttp.h"
#include "http/winhttp_handles.h"

namespace tovmira {

using namespace winhttp;
using Clock = std::chrono::steady_clock;

namespace {

// The body bytes held before the transfer is paused until the caller reads them.
constexpr std::size_t pause_threshold = 256 * 1024;
constexpr auto hook_interval = std::chrono::milliseconds(50);
constexpr int max_redirect_hops = 10;

void initialise_curl_once() {
    static const bool initialised = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)initialised;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool is_https(std::string_view url) { return url.starts_with("https://"); }

// "scheme://host:port" of an absolute URL, for comparing origins.
std::string origin_of(const std::string& url) {
    UrlHandle handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return {};
    char* scheme = nullptr;
    char* host = nullptr;
    char* port = nullptr;
    curl_url_get(handle.get(), CURLUPART_SCHEME, &scheme, 0);
    curl_url_get(handle.get(), CURLUPART_HOST, &host, 0);
    curl_url_get(handle.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT);
    std::string out = std::string(scheme ? scheme : "") + "://" + (host ? host : "") + ":" +
                      (port ? port : "");
    curl_free(scheme);
    curl_free(host);
    curl_free(port);
    return out;
}

// `location` resolved against `base`, escaped as it will go out; empty when it cannot be.
std::string resolve_location(const std::string& base, std::string_view location) {
    UrlHandle handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) return {};
    std::string escaped = escape_request_target(location);
    if (curl_url_set(handle.get(), CURLUPART_URL, escaped.c_str(), 0) != CURLUE_OK) return {};
    char* scheme = nullptr;
    char* full = nullptr;
    curl_url_get(handle.get(), CURLUPART_SCHEME, &scheme, 0);
    curl_url_get(handle.get(), CURLUPART_URL, &full, 0);
    std::string resolved;
    if (scheme && full && (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0)) {
        resolved = full;
    }
    curl_free(scheme);
    curl_free(full);
    return resolved;
}

// At the end of a final header block: decides whether the response is a redirect to follow.
void decide_redirect(Request& r) {
    r.follow_hop = false;
    if (!r.redirects) return;
    if (r.status != 301 && r.status != 302 && r.status != 303 && r.status != 307 && r.status != 308) {
        return;
    }
    std::string_view location;
    for (std::size_t i = 1; i < r.header_lines.size(); ++i) {
        std::string_view line = r.header_lines[i];
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && equal_ignoring_case(line.substr(0, colon), "Location")) {
            location = line.substr(colon + 1);
            while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) {
                location.remove_prefix(1);
            }
            break;
        }
    }
    if (location.empty()) return;
    std::string next = resolve_location(r.url, location);
    if (next.empty()) return;
    if (is_https(r.url) && !is_https(next)) return;  // never from https down to http
    if (r.hops >= max_redirect_hops) {
        r.redirect_refused = true;
        return;
    }
    r.follow_hop = true;
    r.next_url = std::move(next);
}

std::size_t on_header(char* data, std::size_t size, std::size_t count, void* user) {
    auto& r = *static_cast<Request*>(user);
    std::size_t n = size * count;
    r.last_activity = Clock::now();
    std::string_view line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        r.header_lines.assign(1, std::string(line));
        std::size_t space = line.find(' ');
        r.status = space == std::string_view::npos ? 0 : std::atol(std::string(line.substr(space + 1, 3)).c_str());
        r.headers_done = false;
        return n;
    }
    if (line.empty()) {
        if (r.status >= 100 && r.status < 200) return n;  // an interim response: a new one follows
        r.headers_done = true;
        decide_redirect(r);
        return n;
    }
    if (!r.headers_done) r.header_lines.emplace_back(line);  // trailers are not headers
    return n;
}

std::size_t on_body(char* data, std::size_t size, std::size_t count, void* user) {
    auto& r = *static_cast<Request*>(user);
    std::size_t n = size * count;
    r.last_activity = Clock::now();
    if (r.follow_hop || r.redirect_refused) return n;  // a redirect's own body is dropped
    if (r.buffered() >= pause_threshold) {
        r.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (r.body_offset == r.received_body.size()) {
        r.received_body.clear();
        r.body_offset = 0;
    }
    r.received_body.append(data, n);
    return n;
}

int on_prerequest(void* user, char*, char*, int, int) {
    auto& r = *static_cast<Request*>(user);
    r.connected = true;
    r.last_activity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// Applies the proxy, the credentials and the method for the current hop's URL.
void configure_hop(Request& r, const std::string& first_origin) {
    CURL* e = r.easy.get();
    curl_easy_setopt(e, CURLOPT_URL, r.url.c_str());
    const std::string& proxy = is_https(r.url) ? r.proxy.for_https : r.proxy.for_http;
    curl_easy_setopt(e, CURLOPT_PROXY, proxy.c_str());  // "" never falls back to the environment
    if (proxy.empty()) curl_easy_setopt(e, CURLOPT_NOPROXY, "*");
    bool same_origin = origin_of(r.url) == first_origin;
    if (r.server_login.set && same_origin) {
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(e, CURLOPT_USERNAME, r.server_login.user.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, r.server_login.password.c_str());
    } else {
        curl_easy_setopt(e, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(e, CURLOPT_PASSWORD, nullptr);
    }
    if (r.verb == "GET") {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        if (!r.body.empty()) curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, "GET");
    } else if (r.verb == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        return;
    } else if (r.verb != "POST") {
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, r.verb.c_str());
    }
    bool sends_body = !r.body.empty() || r.verb == "POST" || r.verb == "PUT";
    if (sends_body) {
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r.body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, r.body.data());
    }
}

// The header list: the caller's lines, and blanks that stop curl's own additions.
HeaderList build_header_list(const Request& r) {
    curl_slist* list = nullptr;
    auto has = [&r](std::string_view name) {
        return std::any_of(r.headers.begin(), r.headers.end(),
                           [name](const auto& entry) { return entry.first == name; });
    };
    auto append = [&list](const std::string& line) {
        curl_slist* longer = curl_slist_append(list, line.c_str());
        if (longer != nullptr) list = longer;
    };
    for (const char* name : {"accept", "expect", "content-type", "proxy-connection"}) {
        if (!has(name)) {
            std::string blank(name);
            blank += ':';
            append(blank);
        }
    }
    for (const auto& [name, line] : r.headers) {
        // curl drops a header given as "Name:"; "Name;" sends it with an empty value.
        if (line.size() == name.size() + 2) {
            append(line.substr(0, name.size()) + ";");
        } else {
            append(line);
        }
    }
    return HeaderList(list);
}

void configure_transfer(Request& r) {
    CURL* e = r.easy.get();
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!extra_ca_for_tests().empty()) curl_easy_setopt(e, CURLOPT_CAINFO, extra_ca_for_tests().c_str());
    if (r.connect_limit.count() > 0) {
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(r.connect_limit.count()));
    }
    if (r.proxy_login.set) {
        curl_easy_setopt(e, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, r.proxy_login.user.c_str());
        curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, r.proxy_login.password.c_str());
    }
    if (r.cookies) curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // this request's own engine
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &r);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &r);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, on_prerequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &r);
    r.header_list = build_header_list(r);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, r.header_list.get());
}

// Moves the transfer to the redirect's target: a new hop on the same easy handle, so its cookie
// engine carries the cookies set so far.
bool start_next_hop(Request& r) {
    curl_multi_remove_handle(r.multi.get(), r.easy.get());
    std::string first_origin = origin_of(r.url_first);
    bool to_get = (r.status == 303 && r.verb != "HEAD") ||
                  ((r.status == 301 || r.status == 302) && r.verb == "POST");
    if (to_get) {
        r.verb = "GET";
        r.body.clear();
        curl_easy_setopt(r.easy.get(), CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(r.easy.get(), CURLOPT_POSTFIELDS, nullptr);
    }
    r.url = std::move(r.next_url);
    r.next_url.clear();
    ++r.hops;
    r.follow_hop = false;
    r.headers_done = false;
    r.finished = false;
    r.connected = false;
    r.header_lines.clear();
    r.status = 0;
    r.last_activity = Clock::now();
    configure_hop(r, first_origin);
    return curl_multi_add_handle(r.multi.get(), r.easy.get()) == CURLM_OK;
}

enum class Goal { sent, headers, data };

bool goal_met(Request& r, Goal goal) {
    switch (goal) {
        case Goal::sent: {
            if (!r.header_lines.empty()) return true;
            if (!r.connected) return false;
            curl_off_t uploaded = 0;
            curl_easy_getinfo(r.easy.get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
            return uploaded >= static_cast<curl_off_t>(r.body.size());
        }
        case Goal::headers:
            return r.headers_done && !r.follow_hop && !r.redirect_refused;
        case Goal::data:
            return r.buffered() > 0;
    }
    return false;
}

// Steps the transfer until `goal` is met (true) or it ends, fails, runs out of time or is
// cancelled by the wait hook (false; `finished`/`failed` tell which).
bool drive(Request& r, Goal goal) {
    auto last_hook = Clock::now();
    for (;;) {
        if (r.failed) return false;
        int running = 0;
        if (curl_multi_perform(r.multi.get(), &running) != CURLM_OK) {
            r.failed = true;
            return false;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(r.multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                r.finished = true;
                r.result = message->data.result;
            }
        }
        if (goal_met(r, goal)) return true;
        if (r.finished) {
            if (goal == Goal::headers && r.follow_hop && r.result == CURLE_OK) {
                if (!start_next_hop(r)) {
                    r.failed = true;
                    return false;
                }
                continue;
            }
            // A transfer that ends before a hop's headers are done has failed, whatever curl says.
            if (goal != Goal::data && !r.headers_done) r.failed = true;
            return goal == Goal::sent && r.result == CURLE_OK;
        }
        auto now = Clock::now();
        curl_off_t uploaded = 0;
        curl_easy_getinfo(r.easy.get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
        if (uploaded != r.last_upload) {
            r.last_upload = uploaded;
            r.last_activity = now;
        }
        if (r.connected) {
            bool sending = uploaded < static_cast<curl_off_t>(r.body.size());
            auto limit = sending ? r.send_limit : r.receive_limit;
            if (limit.count() > 0 && now - r.last_activity >= limit) {
                r.failed = true;
                return false;
            }
        }
        if (now - last_hook >= hook_interval) {
            bool go_on = run_wait_hook();
            auto after = Clock::now();
            r.last_activity += after - now;  // time spent in the hook is not the server's delay
            last_hook = after;
            if (!go_on) {
                r.failed = true;
                return false;
            }
        }
        curl_multi_poll(r.multi.get(), nullptr, 0, static_cast<int>(hook_interval.count()), nullptr);
    }
}

void resume_if_drained(Request& r) {
    if (r.body_offset == r.received_body.size()) {
        r.received_body.clear();
        r.body_offset = 0;
    }
    if (r.paused && r.buffered() < pause_threshold / 2) {
        if (r.body_offset > 0) {
            r.received_body.erase(0, r.body_offset);
            r.body_offset = 0;
        }
        r.paused = false;
        r.last_activity = Clock::now();
        curl_easy_pause(r.easy.get(), CURLPAUSE_CONT);
    }
}

}  // namespace

namespace winhttp {
Request::~Request() {
    if (multi && easy) curl_multi_remove_handle(multi.get(), easy.get());
    easy.reset();
    header_list.reset();
    multi.reset();
}
}  // namespace winhttp

BOOL WinHttpSendRequest(HINTERNET request, LPCWSTR headers, DWORD headers_length, void* optional,
                        DWORD optional_length, DWORD total_length, DWORD_PTR context) {
    (void)context;
    Request* r = as_request(request);
    if (r == nullptr || r->easy) return 0;
    if (total_length > optional_length || (optional == nullptr && optional_length > 0)) return 0;
    if (headers != nullptr && headers_length != 0 &&
        !WinHttpAddRequestHeaders(request, headers, headers_length,
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
        return 0;
    }
    initialise_curl_once();
    r->multi.reset(curl_multi_init());
    r->easy.reset(curl_easy_init());
    if (!r->multi || !r->easy) return 0;
    if (optional_length > 0) r->body.assign(static_cast<const char*>(optional), optional_length);
    r->url = std::string(r->secure ? "https://" : "http://") + r->host + ":" +
             std::to_string(r->port) + r->target;
    r->url_first = r->url;
    configure_transfer(*r);
    configure_hop(*r, origin_of(r->url));
    r->last_activity = Clock::now();
    if (curl_multi_add_handle(r->multi.get(), r->easy.get()) != CURLM_OK) return 0;
    if (!drive(*r, Goal::sent) && !(r->finished && r->result == CURLE_OK)) {
        r->failed = true;
        return 0;
    }
    r->sent = true;
    return 1;
}

BOOL WinHttpReceiveResponse(HINTERNET request, void* reserved) {
    (void)reserved;
    Request* r = as_request(request);
    if (r == nullptr || !r->sent || r->failed) return 0;
    if (r->received) return 1;
    if (!drive(*r, Goal::headers)) {
        if (!(r->headers_done && !r->follow_hop && !r->redirect_refused)) {
            r->failed = true;
            return 0;
        }
    }
    r->received = true;
    return 1;
}

BOOL WinHttpQueryDataAvailable(HINTERNET request, DWORD* bytes_available) {
    Request* r = as_request(request);
    if (r == nullptr || !r->received || r->error_reported) return 0;
    if (r->buffered() == 0 && !r->finished && !r->failed) drive(*r, Goal::data);
    DWORD count = static_cast<DWORD>(std::min<std::size_t>(r->buffered(), 0xFFFFFFFFu));
    // A transfer that broke is reported by the read that follows, so it counts one byte here.
    if (count == 0 && (r->failed || (r->finished && r->result != CURLE_OK))) count = 1;
    if (bytes_available != nullptr) *bytes_available = count;
    return 1;
}

BOOL WinHttpReadData(HINTERNET request, void* buffer, DWORD bytes_to_read, DWORD* bytes_read) {
    Request* r = as_request(request);
    if (bytes_read != nullptr) *bytes_read = 0;
    if (r == nullptr || !r->received || r->error_reported || (buffer == nullptr && bytes_to_read > 0)) {
        return 0;
    }
    if (bytes_to_read == 0) return 1;
    if (r->buffered() == 0 && !r->finished && !r->failed) drive(*r, Goal::data);
    if (r->buffered() > 0) {
        std::size_t count = std::min<std::size_t>(r->buffered(), bytes_to_read);
        std::memcpy(buffer, r->received_body.data() + r->body_offset, count);
        r->body_offset += count;
        if (bytes_read != nullptr) *bytes_read = static_cast<DWORD>(count);
        resume_if_drained(*r);
        return 1;
    }
    if (r->finished && r->result == CURLE_OK && !r->failed) return 1;  // the end of the body
    r->error_reported = true;
    return 0;
}

BOOL WinHttpQueryHeaders(HINTERNET request, DWORD info_level, LPCWSTR name, void* buffer,
                         DWORD* buffer_length, DWORD* index) {
    (void)name;
    (void)index;
    Request* r = as_request(request);
    if (r == nullptr || !r->received || buffer_length == nullptr ||
        info_level != WINHTTP_QUERY_RAW_HEADERS_CRLF) {
        return 0;
    }
    std::string block;
    for (const std::string& line : r->header_lines) {
        block += line;
        block += "\r\n";
    }
    block += "\r\n";
    std::erase(block, '\0');
    std::u16string wide = cp936_to_wide(block);
    DWORD needed = static_cast<DWORD>((wide.size() + 1) * sizeof(char16_t));
    if (buffer == nullptr || *buffer_length < needed) {
        *buffer_length = needed;
        return 0;
    }
    std::memcpy(buffer, wide.c_str(), needed);
    *buffer_length = needed - sizeof(char16_t);
    return 1;
}

}  // namespace tovmira
