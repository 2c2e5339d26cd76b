#include "text/numbers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tovmira {
namespace {

bool is_space(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_digit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The single byte a full-width double-byte character folds to, or 0 when it stays as it is.
unsigned char folded_byte(unsigned char lead, unsigned char trail) {
    if (lead == 0xA1) {
        if (trail == 0xA1) return ' ';
        if (trail == 0xAB) return '~';
        if (trail == 0xEE || trail == 0xEF) return '*';
        return 0;
    }
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
        return static_cast<unsigned char>(trail - 0x80);
    return 0;
}

// The decimal exponent of the first digit and the 13 significant digits of `magnitude` (finite,
// above zero), rounded halves up from its exact binary value.
struct Significand {
    char digits[13];
    int exponent;
};

Significand significand_of(double magnitude) {
    // 41 digits, rounded at the last, show the true 14th digit unless the digits after it print
    // as zeros after a 5: then the value is an exact half or lies just below one, and only all
    // of its digits tell which (glibc prints them exactly; a double has at most 767).
    char exact[800];
    std::snprintf(exact, sizeof exact, "%.40e", magnitude);
    bool looks_like_half = exact[14] == '5';
    for (int i = 15; looks_like_half && i <= 41; ++i) looks_like_half = exact[i] == '0';
    if (looks_like_half) std::snprintf(exact, sizeof exact, "%.770e", magnitude);
    // exact = "d.ddddd...e[+-]XX"
    Significand s{};
    s.digits[0] = exact[0];
    for (int i = 1; i < 13; ++i) s.digits[i] = exact[i + 1];
    const char* e = exact + 2;
    while (*e != 'e') ++e;
    s.exponent = std::atoi(e + 1);
    if (exact[14] >= '5') {
        int i = 12;
        while (i >= 0 && s.digits[i] == '9') s.digits[i--] = '0';
        if (i >= 0) {
            ++s.digits[i];
        } else {
            s.digits[0] = '1';
            ++s.exponent;
        }
    }
    return s;
}

void append_exponent(Text& out, int exponent) {
    out += exponent < 0 ? "e-" : "e+";
    unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    char buffer[8];
    int written = std::snprintf(buffer, sizeof buffer, "%03u", magnitude);
    out.append(buffer, static_cast<std::size_t>(written));
}

}  // namespace

Text half_width_fold(TextView text) {
    Text folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            folded += static_cast<char>(lead);
            continue;
        }
        if (i + 1 == text.size()) break;  // a lead byte with no second byte is dropped
        unsigned char trail = static_cast<unsigned char>(text[++i]);
        if (unsigned char single = folded_byte(lead, trail)) {
            folded += static_cast<char>(single);
        } else {
            folded += static_cast<char>(lead);
            folded += static_cast<char>(trail);
        }
    }
    return folded;
}

int text_to_integer(TextView text) {
    Text folded = half_width_fold(text);
    std::size_t i = 0;
    while (i < folded.size() && is_space(static_cast<unsigned char>(folded[i]))) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
    // Unsigned arithmetic wraps modulo 2^32 as the 32-bit reader does, without overflow.
    std::uint32_t value = 0;
    while (i < folded.size() && is_digit(static_cast<unsigned char>(folded[i])))
        value = value * 10u + static_cast<std::uint32_t>(folded[i++] - '0');
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

Text integer_to_text(int value) {
    char buffer[16];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;
    return Text(buffer, end);
}

Text number_to_text(double x) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    bool negative = (bits >> 63) != 0;
    if (std::isnan(x)) {
        // The NaN that 0/0 produces: sign and quiet bit set, every other fraction bit clear.
        if (bits == 0xFFF8000000000000ull) return Text("-1.#IND");
        return Text(negative ? "-1.#QNAN" : "1.#QNAN");
    }
    if (std::isinf(x)) return Text(negative ? "-1.#INF" : "1.#INF");
    if (x == 0) return Text("0");

    Significand s = significand_of(std::fabs(x));
    int kept = 13;
    while (kept > 1 && s.digits[kept - 1] == '0') --kept;

    Text out;
    if (negative) out += '-';
    if (s.exponent >= -4 && s.exponent <= 12) {
        if (s.exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-s.exponent - 1), '0');
            out.append(s.digits, static_cast<std::size_t>(kept));
        } else {
            int whole = s.exponent + 1;  // digits before the point; at most 13
            out.append(s.digits, static_cast<std::size_t>(whole));
            if (kept > whole) {
                out += '.';
                out.append(s.digits + whole, static_cast<std::size_t>(kept - whole));
            }
        }
    } else {
        out += s.digits[0];
        if (kept > 1) {
            out += '.';
            out.append(s.digits + 1, static_cast<std::size_t>(kept - 1));
        }
        append_exponent(out, s.exponent);
    }
    return out;
}

double round_to(double x, int n) {
    if (x == 0 || std::isnan(x)) return x;
    bool negative = x < 0;
    double a = std::fabs(x);
    double scale = std::pow(10.0, n < 0 ? -n : n);
    double y = n < 0 ? a / scale : a * scale;
    // Products such as 1.005 * 100 = 100.49999999999999 lie a few units in the last place below
    // the half they stand for; the nudge lets them round up as the decimal value would.
    double z = y + 0.000000000001;
    double whole = 0;
    double fraction = std::modf(z, &whole);
    if (fraction >= 0.5) whole += 1;
    double r = n < 0 ? whole * scale : whole / scale;
    return negative ? -r : r;
}

}  // namespace tovmira
