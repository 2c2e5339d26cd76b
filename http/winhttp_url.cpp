// WinHttpCrackUrl: splits an http or https URL into character ranges of the given string, after
// checking that curl's URL parser accepts the URL as it would go out.
#include <algorithm>

#include "http/winhttp_handles.h"

namespace tovmira {

namespace {

struct Range {
    std::size_t start = 0;
    std::size_t length = 0;
};

bool equal_ascii_ignoring_case(std::u16string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c - 'A' + 'a');
        if (c != static_cast<unsigned char>(b[i])) return false;
    }
    return true;
}

// Hands one component to the caller: a pointer into the URL when the caller asked with a null
// pointer and a nonzero length, a copy when it gave a buffer. False when the buffer is too small.
bool hand_out(LPCWSTR url, Range range, LPWSTR& pointer, DWORD& length) {
    if (pointer == nullptr) {
        if (length != 0) {
            pointer = const_cast<LPWSTR>(url + range.start);
            length = static_cast<DWORD>(range.length);
        }
        return true;
    }
    if (length <= range.length) {
        length = static_cast<DWORD>(range.length + 1);
        return false;
    }
    std::copy(url + range.start, url + range.start + range.length, pointer);
    pointer[range.length] = 0;
    length = static_cast<DWORD>(range.length);
    return true;
}

// True when curl's parser takes the URL (spaces and non-ASCII escaped as they will go out).
bool curl_accepts(std::u16string_view url) {
    winhttp::UrlHandle handle(curl_url());
    if (!handle) return false;
    std::string escaped = winhttp::escape_request_target(winhttp::wide_to_utf8(url));
    return curl_url_set(handle.get(), CURLUPART_URL, escaped.c_str(), 0) == CURLUE_OK;
}

}  // namespace

BOOL WinHttpCrackUrl(LPCWSTR url, DWORD url_length, DWORD flags, URL_COMPONENTS* components) {
    (void)flags;
    if (url == nullptr || components == nullptr ||
        components->dwStructSize != sizeof(URL_COMPONENTS)) {
        return 0;
    }
    std::u16string_view text(url, url_length == 0 ? winhttp::wide_length(url) : url_length);
    if (text.empty()) return 0;
    for (char16_t c : text) {
        if (c < 0x20 || c == 0x7F) return 0;  // control characters, CR and LF among them
    }
    std::size_t scheme_end = text.find(u"://");
    if (scheme_end == std::u16string_view::npos) return 0;
    std::u16string_view scheme = text.substr(0, scheme_end);
    int scheme_number = equal_ascii_ignoring_case(scheme, "http")    ? INTERNET_SCHEME_HTTP
                        : equal_ascii_ignoring_case(scheme, "https") ? INTERNET_SCHEME_HTTPS
                                                                     : 0;
    if (scheme_number == 0) return 0;

    std::size_t authority_start = scheme_end + 3;
    std::size_t authority_end = text.find_first_of(u"/?#", authority_start);
    if (authority_end == std::u16string_view::npos) authority_end = text.size();
    Range user{authority_start, 0};
    Range password{authority_start, 0};
    std::size_t host_start = authority_start;
    std::size_t at = text.substr(0, authority_end).rfind(u'@');
    if (at != std::u16string_view::npos && at >= authority_start) {
        std::size_t colon = text.substr(0, at).find(u':', authority_start);
        if (colon == std::u16string_view::npos) {
            user.length = at - authority_start;
            password.start = at;
        } else {
            user.length = colon - authority_start;
            password = {colon + 1, at - colon - 1};
        }
        host_start = at + 1;
    }
    std::size_t host_end = authority_end;
    std::size_t port_colon = std::u16string_view::npos;
    if (host_start < authority_end && text[host_start] == u'[') {
        std::size_t bracket = text.find(u']', host_start);
        if (bracket == std::u16string_view::npos || bracket >= authority_end) return 0;
        if (bracket + 1 < authority_end) {
            if (text[bracket + 1] != u':') return 0;
            port_colon = bracket + 1;
        }
    } else {
        std::size_t colon = text.substr(0, authority_end).find(u':', host_start);
        if (colon != std::u16string_view::npos) port_colon = colon;
    }
    INTERNET_PORT port = scheme_number == INTERNET_SCHEME_HTTPS ? 443 : 80;
    if (port_colon != std::u16string_view::npos) {
        host_end = port_colon;
        std::u16string_view digits = text.substr(port_colon + 1, authority_end - port_colon - 1);
        if (!digits.empty()) {
            unsigned long value = 0;
            for (char16_t c : digits) {
                if (c < u'0' || c > u'9' || digits.size() > 5) return 0;
                value = value * 10 + (c - u'0');
            }
            if (value == 0 || value > 65535) return 0;
            port = static_cast<INTERNET_PORT>(value);
        }
    }
    Range host{host_start, host_end - host_start};
    if (host.length == 0) return 0;
    std::size_t extra_start = text.find_first_of(u"?#", authority_end);
    if (extra_start == std::u16string_view::npos) extra_start = text.size();
    Range path{authority_end, extra_start - authority_end};
    Range extra{extra_start, text.size() - extra_start};
    if (!curl_accepts(text)) return 0;

    URL_COMPONENTS& c = *components;
    bool fits = hand_out(url, {0, scheme_end}, c.lpszScheme, c.dwSchemeLength);
    fits = hand_out(url, host, c.lpszHostName, c.dwHostNameLength) && fits;
    fits = hand_out(url, user, c.lpszUserName, c.dwUserNameLength) && fits;
    fits = hand_out(url, password, c.lpszPassword, c.dwPasswordLength) && fits;
    fits = hand_out(url, path, c.lpszUrlPath, c.dwUrlPathLength) && fits;
    fits = hand_out(url, extra, c.lpszExtraInfo, c.dwExtraInfoLength) && fits;
    c.nScheme = scheme_number;
    c.nPort = port;
    return fits ? 1 : 0;
}

}  // namespace tovmira
