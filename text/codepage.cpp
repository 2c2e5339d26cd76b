#include "text/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace tovmira {
namespace {

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

    // Converts all of `input`; a sequence that cannot be converted becomes `substitute` (in the
    // target encoding) and the conversion goes on after it, skipping `invalid_step` input bytes.
    template <class Out>
    void run(std::string_view input, Out& out, std::string_view substitute, std::size_t invalid_step) {
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char buffer[4096];
        while (in_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            std::size_t rc = iconv(handle_, &in, &in_left, &dst, &dst_left);
            out.insert(out.end(), buffer, dst);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: an invalid or incomplete sequence.
            out.insert(out.end(), substitute.begin(), substitute.end());
            std::size_t step = std::min(invalid_step, in_left);
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

// CP936 as glibc names it maps 0x80 to the euro sign, as Windows' code page 936 does.
constexpr const char* kGbk = "CP936";

}  // namespace

ByteSet ansi_to_wide(TextView text, bool omit_terminator) {
    ByteSet wide;
    // The text ends at its first zero byte, as a zero-terminated input does.
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return wide;
    Converter converter("UTF-16LE", kGbk);
    if (!converter.ok()) return wide;
    wide.reserve(text.size() * 2 + 2);
    // An invalid byte becomes U+FFFD, as the platform's default character for input it
    // cannot read, and the conversion goes on with the next byte.
    converter.run(text, wide, std::string_view("\xFD\xFF", 2), 1);
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
    // A character that code page 936 cannot hold becomes "?", the platform's default character;
    // a lone surrogate is skipped as one unit.
    converter.run(std::string_view(reinterpret_cast<const char*>(wide.data()), end * 2), text, "?", 2);
    return text;
}

Text utf8_to_gbk(std::string_view utf8) {
    Text text;
    Converter converter(kGbk, "UTF-8");
    if (!converter.ok()) return text;
    converter.run(utf8, text, "?", 1);
    return text;
}

std::string gbk_to_utf8(TextView gbk) {
    std::string utf8;
    Converter converter("UTF-8", kGbk);
    if (!converter.ok()) return utf8;
    converter.run(gbk, utf8, "\xEF\xBF\xBD", 1);
    return utf8;
}

}  // namespace tovmira
