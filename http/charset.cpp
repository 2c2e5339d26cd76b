#include "http/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "regex/regex_object.h"
#include "text/codepage.h"
#include "text/slice.h"

namespace tovmira {
namespace {

constexpr TextView kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
constexpr int kDeclarationReach = 1024;

// Names whose meaning on the desktop differs from iconv's reading of the same name.
struct CharsetAlias {
    TextView name;
    const char* iconv_name;
};
constexpr std::array<CharsetAlias, 8> kAliases = {{
    {"unicode", "UTF-16LE"},
    {"utf-16", "UTF-16LE"},
    {"unicodeFFFE", "UTF-16BE"},
    {"gb2312", "CP936"},
    {"gbk", "CP936"},
    {"x-gbk", "CP936"},
    {"big5", "CP950"},
    {"ks_c_5601-1987", "CP949"},
}};

bool equal_without_case(TextView a, TextView b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

Text iconv_name_of(TextView charset) {
    for (const CharsetAlias& alias : kAliases) {
        if (equal_without_case(charset, alias.name)) return alias.iconv_name;
    }
    return Text(charset);
}

// One iconv descriptor, closed when it goes.
class Decoder {
  public:
    explicit Decoder(const Text& from) : handle_(iconv_open("UTF-16LE", from.c_str())) {}
    ~Decoder() {
        if (ok()) iconv_close(handle_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return handle_; }

  private:
    iconv_t handle_;
};

// Collects UTF-16LE output a buffer at a time and turns it into GBK, so that a large body never
// exists as a whole in UTF-16 as well. A high surrogate at a buffer's end waits for its partner.
class GbkSink {
  public:
    explicit GbkSink(std::size_t expected) { text_.reserve(expected); }

    // Takes the UTF-16LE bytes of [begin, end); false once a zero character ended the text.
    bool take(const std::uint8_t* begin, const std::uint8_t* end) {
        pending_.insert(pending_.end(), begin, end);
        std::size_t usable = pending_.size() & ~std::size_t{1};
        for (std::size_t i = 0; i < usable; i += 2) {
            if (pending_[i] == 0 && pending_[i + 1] == 0) {
                convert(i);
                ended_ = true;
                return false;
            }
        }
        if (usable >= 2) {
            const std::uint8_t high = pending_[usable - 1];
            if (high >= 0xD8 && high <= 0xDB) usable -= 2;
        }
        convert(usable);
        return true;
    }

    Text finish() {
        if (!ended_) convert(pending_.size() & ~std::size_t{1});
        return std::move(text_);
    }

  private:
    void convert(std::size_t bytes) {
        std::size_t start = 0;
        if (first_ && bytes >= 2) {
            first_ = false;
            // A byte-order mark opens the text only as a signature, not as a character.
            if (pending_[0] == 0xFF && pending_[1] == 0xFE) start = 2;
        }
        if (bytes > start) {
            text_ +=
                wide_to_ansi(std::span<const std::uint8_t>(pending_.data() + start, bytes - start));
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(bytes));
    }

    Text text_;
    std::vector<std::uint8_t> pending_;
    bool first_ = true;
    bool ended_ = false;
};

}  // namespace

std::optional<Text> declared_charset(TextView body_text) {
    RegexObject regex;
    if (!regex.create(kCharsetPattern, text_left(body_text, kDeclarationReach))) {
        return std::nullopt;
    }
    return regex.submatch_text(1, 1);
}

std::optional<Text> decode_charset(ByteView bytes, TextView charset) {
    if (charset.empty()) return std::nullopt;
    Decoder decoder(iconv_name_of(charset));
    if (!decoder.ok()) return std::nullopt;

    GbkSink sink(bytes.size());
    // Small buffers: each character that has no GBK form costs the GBK conversion a pass over
    // the rest of its input, so that input is kept short.
    std::array<std::uint8_t, 2 * 1024> buffer;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t in_left = bytes.size();
    // U+FFFD, the character a decoder gives for a byte it cannot read.
    static constexpr std::uint8_t kSubstitute[] = {0xFD, 0xFF};
    bool going = true;
    while (going && in_left > 0) {
        char* out = reinterpret_cast<char*>(buffer.data());
        std::size_t out_left = buffer.size();
        const std::size_t rc = iconv(decoder.handle(), &in, &in_left, &out, &out_left);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        going = sink.take(buffer.data(), reinterpret_cast<std::uint8_t*>(out));
        if (!going || error == 0 || error == E2BIG) continue;
        // EILSEQ or EINVAL: an invalid or cut-off sequence; substitute it and go on after its
        // first byte.
        going = sink.take(std::begin(kSubstitute), std::end(kSubstitute));
        ++in;
        --in_left;
    }
    if (going) {
        char* out = reinterpret_cast<char*>(buffer.data());
        std::size_t out_left = buffer.size();
        iconv(decoder.handle(), nullptr, nullptr, &out, &out_left);
        sink.take(buffer.data(), reinterpret_cast<std::uint8_t*>(out));
    }
    return sink.finish();
}

}  // namespace tovmira
