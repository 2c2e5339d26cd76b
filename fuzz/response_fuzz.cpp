// Fuzzes the response processing behind http_fetch: a raw header block and a body in, every
// output checked against the block: status from byte 10, headers of the same length, cookies
// and the redirect target cut from its lines, a body text without zero bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "http/response.h"
#include "text/codepage.h"
#include "text/find.h"

using namespace tovmira;

namespace {

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool equal_without_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

void check_outputs(const ResponseOutputs& out, std::string_view block, std::string_view body) {
    // Only the spelling of "Set-Cookie" may change.
    FUZZ_CHECK(equal_without_case(out.response_headers, block));
    if (!out.status_text.empty()) {
        FUZZ_CHECK(block.size() >= 9 && block.substr(9).starts_with(out.status_text));
        FUZZ_CHECK(block.substr(9 + out.status_text.size()).starts_with("\r\n"));
    }
    if (out.location) FUZZ_CHECK(out.response_headers.find(*out.location) != Text::npos);
    FUZZ_CHECK(out.response_cookies.size() <= block.size() + 2);
    if (find_text(out.response_headers, "Set-Cookie") == -1) FUZZ_CHECK(out.response_cookies.empty());
    FUZZ_CHECK(out.body_text.find('\0') == Text::npos);
    // A body that declares nothing comes out as it went in, up to its first zero byte.
    std::string head(body.substr(0, 4096));
    for (char& c : head) c = fold(c);
    if (head.find("charset") == std::string::npos)
        FUZZ_CHECK(out.body_text == tovmira::fuzz::before_zero(body));
}

Text without_zeros(std::string_view bytes) {
    Text text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parts = tovmira::fuzz::split_input(data, size, 2);
    const Text block = without_zeros(parts[0]);
    ByteView body(reinterpret_cast<const std::uint8_t*>(parts[1].data()), parts[1].size());

    ResponseOutputs out = process_response(block, body);
    check_outputs(out, block, parts[1]);

    // The same block as the layer hands it over, in UTF-16: the same outputs as its GBK text.
    ByteSet wide = ansi_to_wide(block);
    Text through_wide = wide_to_ansi(wide);
    ResponseOutputs from_wide = process_response(ByteView(wide), body);
    ResponseOutputs from_text = process_response(through_wide, body);
    FUZZ_CHECK(from_wide.status_text == from_text.status_text);
    FUZZ_CHECK(from_wide.response_headers == from_text.response_headers);
    FUZZ_CHECK(from_wide.response_cookies == from_text.response_cookies);
    FUZZ_CHECK(from_wide.location == from_text.location);
    return 0;
}
