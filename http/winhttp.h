// The fifteen WinHttp operations that http_fetch uses, under their own names and with their
// results, implemented over libcurl. Strings are UTF-16, zero-terminated; all calls block.
#pragma once

#include <cstdint>

namespace tovmira {

using BOOL = int;
using DWORD = std::uint32_t;
using INTERNET_PORT = std::uint16_t;
using WCHAR = char16_t;
using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;
using DWORD_PTR = std::uintptr_t;

// A session, connection or request; closed with WinHttpCloseHandle.
struct InternetHandle;
using HINTERNET = InternetHandle*;

inline constexpr int INTERNET_SCHEME_HTTP = 1;
inline constexpr int INTERNET_SCHEME_HTTPS = 2;

inline constexpr DWORD WINHTTP_ACCESS_TYPE_NO_PROXY = 1;
inline constexpr DWORD WINHTTP_ACCESS_TYPE_NAMED_PROXY = 3;
inline constexpr DWORD WINHTTP_FLAG_SECURE = 0x00800000;
inline constexpr DWORD WINHTTP_AUTH_TARGET_SERVER = 0;
inline constexpr DWORD WINHTTP_AUTH_TARGET_PROXY = 1;
inline constexpr DWORD WINHTTP_AUTH_SCHEME_BASIC = 1;
inline constexpr DWORD WINHTTP_OPTION_DISABLE_FEATURE = 63;
inline constexpr DWORD WINHTTP_OPTION_ENABLE_FEATURE = 79;
inline constexpr DWORD WINHTTP_DISABLE_COOKIES = 1;
inline constexpr DWORD WINHTTP_DISABLE_REDIRECTS = 2;
inline constexpr DWORD WINHTTP_ENABLE_SSL_REVOCATION = 1;
inline constexpr DWORD WINHTTP_ADDREQ_FLAG_ADD = 0x20000000;
inline constexpr DWORD WINHTTP_ADDREQ_FLAG_REPLACE = 0x80000000;
inline constexpr DWORD WINHTTP_QUERY_RAW_HEADERS_CRLF = 22;

struct URL_COMPONENTS {
    DWORD dwStructSize = 0;
    LPWSTR lpszScheme = nullptr;
    DWORD dwSchemeLength = 0;
    int nScheme = 0;
    LPWSTR lpszHostName = nullptr;
    DWORD dwHostNameLength = 0;
    INTERNET_PORT nPort = 0;
    LPWSTR lpszUserName = nullptr;
    DWORD dwUserNameLength = 0;
    LPWSTR lpszPassword = nullptr;
    DWORD dwPasswordLength = 0;
    LPWSTR lpszUrlPath = nullptr;
    DWORD dwUrlPathLength = 0;
    LPWSTR lpszExtraInfo = nullptr;
    DWORD dwExtraInfoLength = 0;
};

BOOL WinHttpCheckPlatform();
// Lengths set to -1 (as DWORD) ask for pointers into `url` and lengths in characters.
BOOL WinHttpCrackUrl(LPCWSTR url, DWORD url_length, DWORD flags, URL_COMPONENTS* components);
HINTERNET WinHttpOpen(LPCWSTR agent, DWORD access_type, LPCWSTR proxy_name, LPCWSTR proxy_bypass,
                      DWORD flags);
HINTERNET WinHttpConnect(HINTERNET session, LPCWSTR server_name, INTERNET_PORT port,
                         DWORD reserved);
HINTERNET WinHttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR object_name,
                             LPCWSTR version, LPCWSTR referrer, LPCWSTR* accept_types,
                             DWORD flags);
BOOL WinHttpSetTimeouts(HINTERNET request, int resolve_ms, int connect_ms, int send_ms,
                        int receive_ms);
BOOL WinHttpSetCredentials(HINTERNET request, DWORD target, DWORD scheme, LPCWSTR user,
                           LPCWSTR password, void* params);
BOOL WinHttpSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD buffer_length);
BOOL WinHttpAddRequestHeaders(HINTERNET request, LPCWSTR headers, DWORD headers_length,
                              DWORD modifiers);
BOOL WinHttpSendRequest(HINTERNET request, LPCWSTR headers, DWORD headers_length, void* optional,
                        DWORD optional_length, DWORD total_length, DWORD_PTR context);
BOOL WinHttpReceiveResponse(HINTERNET request, void* reserved);
BOOL WinHttpQueryDataAvailable(HINTERNET request, DWORD* bytes_available);
BOOL WinHttpReadData(HINTERNET request, void* buffer, DWORD bytes_to_read, DWORD* bytes_read);
// With a null buffer or a too-small length: fails and sets *buffer_length to the bytes needed.
BOOL WinHttpQueryHeaders(HINTERNET request, DWORD info_level, LPCWSTR name, void* buffer,
                         DWORD* buffer_length, DWORD* index);
BOOL WinHttpCloseHandle(HINTERNET handle);

}  // namespace tovmira
