#include "text/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace tovmira {
namespace {

// CP936 as glibc names it maps 0x80 to the euro sign, as Windows' code page 936 does.
constexpr const char* kGbk = "CP936";

// How many input bytes an unconvertible sequence at the front of `input` covers; at least 1.
using InvalidLength = std::size_t (*)(std::string_view input);

// A GBK lead byte with a byte from the trail range after it is one character, even where the
// pair is unassigned: one substitute stands for both, and a lone lead byte covers itself only,
// so an ASCII byte after it (a quote, a '<') is never swallowed.
std::size_t invalid_gbk_length(std::string_view input) {
    if (input.size() < 2) return 1;
    unsigned char lead = static_cast<unsigned char>(input[0]);
    unsigned char trail = static_cast<unsigned char>(input[1]);
    bool is_lead = lead >= 0x81 && lead <= 0xFE;
    bool is_trail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
    return is_lead && is_trail ? 2 : 1;
}

// A surrogate pair (a character beyond the Basic Multilingual Plane) is one character: four
// bytes; any other unit, a lone surrogate included, is two.
std::size_t invalid_utf16_length(std::string_view input) {
    if (input.size() < 4) return std::max<std::size_t>(1, std::min<std::size_t>(2, input.size()));
    auto unit = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(input[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(input[at + 1])) << 8;
    };
    bool high = unit(0) >= 0xD800 && unit(0) <= 0xDBFF;
    bool low = unit(2) >= 0xDC00 && unit(2) <= 0xDFFF;
    return high && low ? 4 : 2;
}

// A UTF-8 lead byte and the continuation bytes that follow it, up to the length the lead byte
// announces; a stray continuation byte or a malformed lead byte covers itself only.
std::size_t invalid_utf8_length(std::string_view input) {
    unsigned char lead = static_cast<unsigned char>(input[0]);
    std::size_t expected = lead >= 0xF0 && lead <= 0xF4   ? 4
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                                                          : 1;
    std::size_t length = 1;
    while (length < expected && length < input.size() &&
           (static_cast<unsigned char>(input[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

// One iconv descriptor per conversion, opened for the call and closed on every path.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `input`, appending to `out`. A sequence that cannot be converted, or an
    // incomplete one at the end, becomes `substitute` (in the target encoding) and the
    // conversion goes on after the bytes `invalid_length` says it covers.
    template <class Out>
    void run(std::string_view input, Out& out, std::string_view substitute,
             InvalidLength invalid_length) {
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char buffer[4096];
        while (in_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            std::size_t rc = iconv(handle_, &in, &in_left, &dst, &dst_left);
            int error = errno;
            out.insert(out.end(), buffer, dst);
            if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
            if (error != EILSEQ && error != EINVAL) break;  // nothing else is expected; stop
            out.insert(out.end(), substitute.begin(), substitute.end());
            std::size_t step = std::min(invalid_length({in, in_left}), in_left);
            in += step;
            in_left -= step;
        }
        char* dst = buffer;
        std::size_t dst_left = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &dst, &dst_left);
        out.insert(out.end(), buffer, dst);
    }

  private:
    iconv_t handle_;
};

}  // namespace

ByteSet ansi_to_wide(TextView text, bool omit_terminator) {
    ByteSet wide;
    // The text ends at its first zero byte, as a zero-terminated input does.
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return wide;
    Converter converter("UTF-16LE", kGbk);
    if (!converter.ok()) return wide;
    wide.reserve(text.size() * 2 + 2);
    // Input that code page 936 does not define becomes U+FFFD, the replacement character.
    converter.run(text, wide, std::string_view("\xFD\xFF", 2), invalid_gbk_length);
    if (!omit_terminator) {
        wide.push_back(0);
        wide.push_back(0);
    }
    return wide;
}

Text wide_to_ansi(std::span<const std::uint8_t> wide) {
    std::size_t units = wide.size() / 2;
    std::size_t end = 0;
    while (end < units && (wide[2 * end] != 0 || wide[2 * end + 1] != 0)) ++end;
    Text text;
    if (end == 0) return text;
    Converter converter(kGbk, "UTF-16LE");
    if (!converter.ok()) return text;
    text.reserve(end * 2);
    // A character that code page 936 cannot hold becomes "?", the platform's default character.
    // Base characters and combining marks are kept as they are, not composed.
    converter.run(std::string_view(reinterpret_cast<const char*>(wide.data()), end * 2), text, "?",
                  invalid_utf16_length);
    return text;
}

Text utf8_to_gbk(std::string_view utf8) {
    Text text;
    Converter converter(kGbk, "UTF-8");
    if (!converter.ok()) return text;
    text.reserve(utf8.size());
    converter.run(utf8, text, "?", invalid_utf8_length);
    return text;
}

std::string gbk_to_utf8(TextView gbk) {
    std::string utf8;
    Converter converter("UTF-8", kGbk);
    if (!converter.ok()) return utf8;
    utf8.reserve(gbk.size() + gbk.size() / 2);
    converter.run(gbk, utf8, "\xEF\xBF\xBD", invalid_gbk_length);
    return utf8;
}

}  // namespace tovmira
