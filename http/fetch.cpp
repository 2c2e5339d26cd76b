#include "http/fetch.h"

#include <utility>

#include "http/cookies.h"
#include "http/fetch_messages.h"
#include "http/request_settings.h"
#include "http/response.h"
#include "http/winhttp.h"
#include "text/bytes.h"
#include "text/events.h"

namespace tovmira {
namespace {

// Owns one session, connection or request handle and closes it when it goes.
class InternetHandleOwner {
  public:
    InternetHandleOwner() = default;
    ~InternetHandleOwner() {
        if (handle_ != nullptr) WinHttpCloseHandle(handle_);
    }
    InternetHandleOwner(const InternetHandleOwner&) = delete;
    InternetHandleOwner& operator=(const InternetHandleOwner&) = delete;

    // Takes `handle`; false when it is null.
    bool reset(HINTERNET handle) {
        handle_ = handle;
        return handle_ != nullptr;
    }
    HINTERNET get() const { return handle_; }

  private:
    HINTERNET handle_ = nullptr;
};

// One call of http_fetch. Each step runs the next one only when it succeeded and lets the window
// handle its events on the way out, except after an early end (the credential and option
// steps), which returns at once.
class Exchange {
  public:
    Exchange(TextView url, const FetchOptions& options) : url_(url), options_(options) {}

    Text run() {
        if (!WinHttpCheckPlatform()) {
            fail(FetchFailure::platform);
            return {};
        }
        crack();
        return std::move(result_);
    }

  private:
    void fail(FetchFailure failure) {
        if (options_.status_text != nullptr) *options_.status_text = fetch_message(failure);
    }

    void leave_step() {
        if (!ended_early_) process_events();
    }

    void crack() {
        if (std::optional<UrlParts> parts = crack_url(url_)) {
            url_parts_ = std::move(*parts);
            proxy_ = proxy_setting(options_.proxy, url_parts_.secure);
            open_session();
        } else {
            fail(FetchFailure::crack_url);
        }
        leave_step();
    }

    void open_session() {
        if (session_.reset(
                WinHttpOpen(nullptr, proxy_.access_type, proxy_.name.c_str(), nullptr, 0))) {
            connect();
        } else {
            fail(FetchFailure::open_session);
        }
        leave_step();
    }

    void connect() {
        const std::u16string host = to_wide(url_parts_.host);
        if (connection_.reset(WinHttpConnect(session_.get(), host.c_str(), url_parts_.port, 0))) {
            open_request();
        } else {
            fail(FetchFailure::connect);
        }
        leave_step();
    }

    void open_request() {
        const std::u16string verb = to_wide(method_name(options_.method));
        const DWORD flags = url_parts_.secure ? WINHTTP_FLAG_SECURE : 0;
        if (request_.reset(WinHttpOpenRequest(connection_.get(), verb.c_str(),
                                              url_parts_.object_name.c_str(), nullptr, nullptr,
                                              nullptr, flags))) {
            set_timeouts();
        } else {
            fail(FetchFailure::open_request);
        }
        leave_step();
    }

    void set_timeouts() {
        const int limit = timeout_milliseconds(options_.timeout_seconds);
        if (WinHttpSetTimeouts(request_.get(), limit, limit, limit, limit)) {
            if (set_credentials_and_options()) add_headers();
        } else {
            fail(FetchFailure::set_timeouts);
        }
        leave_step();
    }

    // False after an early end: the message is stored and nothing more happens.
    bool set_credentials_and_options() {
        if (!options_.server_user.empty() && !options_.server_password.empty() &&
            !set_credentials(WINHTTP_AUTH_TARGET_SERVER, options_.server_user,
                             options_.server_password)) {
            return end_early(FetchFailure::server_credentials);
        }
        if (!options_.proxy_user.empty() && !options_.proxy_password.empty() &&
            !set_credentials(WINHTTP_AUTH_TARGET_PROXY, options_.proxy_user,
                             options_.proxy_password)) {
            return end_early(FetchFailure::proxy_credentials);
        }
        // Cookies given (even empty) let the layer keep the cookies of the request's own
        // redirects; left out, its cookie handling is off.
        const bool cookies_given = options_.cookies != nullptr;
        DWORD cookie_value =
            cookies_given ? WINHTTP_ENABLE_SSL_REVOCATION : WINHTTP_DISABLE_COOKIES;
        if (!WinHttpSetOption(
                request_.get(),
                cookies_given ? WINHTTP_OPTION_ENABLE_FEATURE : WINHTTP_OPTION_DISABLE_FEATURE,
                &cookie_value, sizeof cookie_value)) {
            return end_early(FetchFailure::cookie_option);
        }
        DWORD redirect_value = WINHTTP_DISABLE_REDIRECTS;
        if (options_.no_redirect &&
            !WinHttpSetOption(request_.get(), WINHTTP_OPTION_DISABLE_FEATURE, &redirect_value,
                              sizeof redirect_value)) {
            return end_early(FetchFailure::redirect_option);
        }
        return true;
    }

    bool set_credentials(DWORD target, TextView user, TextView password) {
        const std::u16string wide_user = to_wide(user);
        const std::u16string wide_password = to_wide(password);
        return WinHttpSetCredentials(request_.get(), target, WINHTTP_AUTH_SCHEME_BASIC,
                                     wide_user.c_str(), wide_password.c_str(), nullptr);
    }

    bool end_early(FetchFailure failure) {
        fail(failure);
        ended_early_ = true;
        return false;
    }

    void add_headers() {
        const TextView cookies = options_.cookies != nullptr ? TextView(*options_.cookies) : "";
        const std::u16string block =
            to_wide(assemble_header_block(options_.request_headers, options_.method, cookies));
        if (WinHttpAddRequestHeaders(request_.get(), block.c_str(),
                                     static_cast<DWORD>(block.size()),
                                     WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
            send();
        } else {
            fail(FetchFailure::add_headers);
        }
        leave_step();
    }

    void send() {
        ByteSet body = text_to_bytes(options_.request_body);
        const DWORD length = static_cast<DWORD>(body.size());
        if (WinHttpSendRequest(request_.get(), nullptr, 0, body.empty() ? nullptr : body.data(),
                               length, length, 0)) {
            receive();
        } else {
            fail(FetchFailure::send_request);
        }
        leave_step();
    }

    void receive() {
        if (WinHttpReceiveResponse(request_.get(), nullptr)) {
            read_and_process();
        } else {
            fail(FetchFailure::receive_response);
        }
        leave_step();
    }

    void read_and_process() {
        ByteSet body = read_body();
        ByteSet header_block;
        if (query_headers(header_block)) deliver(process_response(header_block, body), body);
        process_events();
    }

    // The body, read straight into its place; a read that fails stores 713 and keeps what
    // arrived before it.
    ByteSet read_body() {
        ByteSet body;
        for (;;) {
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request_.get(), &available) || available < 1) break;
            const std::size_t old_size = body.size();
            body.resize(old_size + available);
            DWORD read = 0;
            if (!WinHttpReadData(request_.get(), body.data() + old_size, available, &read)) {
                body.resize(old_size);
                read_failed_ = true;
                fail(FetchFailure::read_data);
                break;
            }
            body.resize(old_size + std::min<DWORD>(read, available));
        }
        return body;
    }

    bool query_headers(ByteSet& header_block) {
        DWORD length = 0;
        DWORD index = 0;
        WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr,
                            &length, &index);
        header_block.assign(length, 0);
        index = 0;
        return WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                   header_block.data(), &length, &index);
    }

    void deliver(ResponseOutputs outputs, ByteSet& body) {
        if (options_.response_headers != nullptr) {
            *options_.response_headers = std::move(outputs.response_headers);
        }
        if (options_.status_text != nullptr && !read_failed_) {
            *options_.status_text = std::move(outputs.status_text);
        }
        if (options_.cookies != nullptr && options_.auto_merge_cookies.value_or(true)) {
            outputs.response_cookies = merge_cookies(*options_.cookies, outputs.response_cookies);
        }
        if (options_.response_cookies != nullptr) {
            *options_.response_cookies = std::move(outputs.response_cookies);
        }
        if (options_.location != nullptr && outputs.location) {
            *options_.location = std::move(*outputs.location);
        }
        if (options_.response_body != nullptr) {
            // A body that grew by doubling gives back its unused half before the caller keeps it.
            if (body.capacity() - body.size() > body.size() / 8) body.shrink_to_fit();
            *options_.response_body = std::move(body);
        }
        // A body cut short is a failure even though its headers arrived: the message stays and
        // the result is empty, while the out-parameters above show what did arrive.
        if (!read_failed_) result_ = std::move(outputs.body_text);
    }

    TextView url_;
    const FetchOptions& options_;
    UrlParts url_parts_;
    ProxySetting proxy_;
    // Declared in opening order, so they close request first, then connection, then session.
    InternetHandleOwner session_;
    InternetHandleOwner connection_;
    InternetHandleOwner request_;
    bool ended_early_ = false;
    bool read_failed_ = false;
    Text result_;
};

}  // namespace

Text http_fetch(TextView url, const FetchOptions& options) {
    return Exchange(url, options).run();
}

}  // namespace tovmira
