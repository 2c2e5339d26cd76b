#include "http/request_settings.h"

#include <array>
#include <climits>
#include <cstring>

#include "text/codepage.h"
#include "text/find.h"

namespace tovmira {
namespace {

constexpr std::array<TextView, 8> kMethodNames = {"GET",     "POST",   "HEAD",  "PUT",
                                                  "OPTIONS", "DELETE", "TRACE", "CONNECT"};

constexpr int kDefaultTimeoutMilliseconds = 30000;

struct DefaultHeader {
    TextView search_text;
    bool ignore_case;
    TextView line;
};

// Each search text is looked for anywhere in the block, so 'X-User-Agent: ' also counts as an
// agent; only the content type is searched with case, and it has no space after its colon.
constexpr DefaultHeader kAgent = {
    "User-Agent: ", true,
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)"};
constexpr DefaultHeader kAccept = {"Accept: ", true,
                                   "Accept: text/html, application/xhtml+xml, */*"};
constexpr DefaultHeader kEncoding = {"Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312"};
constexpr DefaultHeader kLanguage = {"Accept-Language: ", true, "Accept-Language: zh-cn"};
constexpr DefaultHeader kFormType = {"Content-Type:", false,
                                     "Content-Type: application/x-www-form-urlencoded"};
constexpr DefaultHeader kNoCache = {"Cache-Control: ", true, "Cache-Control: no-cache"};
constexpr TextView kCookieSearch = "Cookie: ";

constexpr TextView kLineEnd = "\r\n";

void append_unless_present(Text& block, TextView search_text, bool ignore_case, TextView line) {
    if (find_text(block, search_text, 1, ignore_case) != -1) return;
    block += line;
    block += kLineEnd;
}

void append_unless_present(Text& block, const DefaultHeader& header) {
    append_unless_present(block, header.search_text, header.ignore_case, header.line);
}

std::u16string_view cracked(const WCHAR* start, DWORD length) {
    if (start == nullptr) return {};
    return {start, length};
}

}  // namespace

std::u16string to_wide(TextView text) {
    const ByteSet bytes = ansi_to_wide(text, true);
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

std::optional<UrlParts> crack_url(TextView url) {
    // The empty URL has no characters at all to hand to the layer: a cracking failure.
    const std::u16string units = to_wide(url);
    if (units.empty()) return std::nullopt;

    URL_COMPONENTS components;
    components.dwStructSize = sizeof components;
    components.dwSchemeLength = static_cast<DWORD>(-1);
    components.dwHostNameLength = static_cast<DWORD>(-1);
    components.dwUrlPathLength = static_cast<DWORD>(-1);
    components.dwExtraInfoLength = static_cast<DWORD>(-1);
    const DWORD length = static_cast<DWORD>(units.size());
    if (!WinHttpCrackUrl(units.c_str(), length, 0, &components)) return std::nullopt;

    const std::u16string_view host = cracked(components.lpszHostName, components.dwHostNameLength);
    UrlParts parts;
    parts.host =
        wide_to_ansi({reinterpret_cast<const std::uint8_t*>(host.data()), host.size() * 2});
    parts.port = components.nPort;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts.object_name =
        object_name_of(cracked(components.lpszUrlPath, components.dwUrlPathLength),
                       cracked(components.lpszExtraInfo, components.dwExtraInfoLength));
    return parts;
}

std::u16string object_name_of(std::u16string_view path, std::u16string_view extra_info) {
    if (path.empty()) return u"/";
    std::u16string name(path);
    name += extra_info;
    return name;
}

ProxySetting proxy_setting(TextView proxy, bool secure) {
    ProxySetting setting;
    if (proxy.empty()) return setting;
    setting.access_type = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    Text name = secure ? Text(proxy) : Text("http=") + Text(proxy);
    setting.name = to_wide(name);
    return setting;
}

TextView method_name(int method) {
    if (method < 0 || method >= static_cast<int>(kMethodNames.size())) return kMethodNames[0];
    return kMethodNames[static_cast<std::size_t>(method)];
}

int timeout_milliseconds(int timeout_seconds) {
    if (timeout_seconds <= 0) return kDefaultTimeoutMilliseconds;
    if (timeout_seconds > INT_MAX / 1000) return INT_MAX;
    return timeout_seconds * 1000;
}

Text assemble_header_block(TextView request_headers, int method, TextView cookies) {
    // The caller's text is taken as it is: one that already ends with CR LF leaves an empty
    // line before the defaults.
    Text block;
    if (!request_headers.empty()) {
        block = request_headers;
        block += kLineEnd;
    }
    append_unless_present(block, kAgent);
    append_unless_present(block, kAccept);
    append_unless_present(block, kEncoding);
    append_unless_present(block, kLanguage);
    if (method == 1) append_unless_present(block, kFormType);
    append_unless_present(block, kNoCache);
    if (!cookies.empty()) {
        Text line = Text(kCookieSearch) + Text(cookies);
        append_unless_present(block, kCookieSearch, true, line);
    }
    return block;
}

}  // namespace tovmira
