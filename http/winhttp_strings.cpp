// UTF-16 helpers of the winhttp layer: lengths, UTF-8, code page 936 and request-target escaping.
#include <cstdint>

#include "http/winhttp_handles.h"
#include "text/codepage.h"

namespace tovmira::winhttp {

std::size_t wide_length(LPCWSTR text) {
    std::size_t length = 0;
    if (text != nullptr) {
        while (text[length] != 0) ++length;
    }
    return length;
}

std::u16string wide_string(LPCWSTR text, DWORD length) {
    if (text == nullptr) return {};
    if (length == static_cast<DWORD>(-1)) return std::u16string(text, wide_length(text));
    return std::u16string(text, length);
}

std::string wide_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;  // a lone surrogate
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string wide_to_cp936(std::u16string_view text) {
    bool ascii = true;
    for (char16_t c : text) ascii = ascii && c < 0x80 && c != 0;
    if (ascii) return std::string(text.begin(), text.end());
    ByteSet bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    Text converted = wide_to_ansi(bytes);
    return std::string(converted.begin(), converted.end());
}

std::u16string cp936_to_wide(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::u16string(bytes.begin(), bytes.end());
    ByteSet wide = ansi_to_wide(bytes, true);
    std::u16string out;
    out.reserve(wide.size() / 2);
    for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
        out += static_cast<char16_t>(wide[i] | (wide[i + 1] << 8));
    }
    return out;
}

std::string escape_request_target(std::string_view path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace tovmira::winhttp
