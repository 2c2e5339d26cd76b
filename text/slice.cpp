#include "text/slice.h"

#include <climits>
#include <cmath>

namespace tovmira {
namespace {

// The unit compare_text orders by: one byte below 0x80, or a lead byte with its second byte.
struct CharacterUnit {
    unsigned value;
    std::size_t width;
};

CharacterUnit unit_at(TextView text, std::size_t offset, bool fold_case) {
    auto byte = static_cast<unsigned char>(text[offset]);
    if (byte >= 0x80) {
        if (offset + 1 < text.size())
            return {static_cast<unsigned>(byte) << 8 | static_cast<unsigned char>(text[offset + 1]),
                    2};
        return {static_cast<unsigned>(byte) << 8, 1};  // a lone lead byte at the end
    }
    if (fold_case && byte >= 'A' && byte <= 'Z') byte += 32;
    return {byte, 1};
}

}  // namespace

int text_length(TextView text) {
    return static_cast<int>(text.size());
}

Text text_concat(std::initializer_list<TextView> parts) {
    std::size_t total = 0;
    for (TextView part : parts) total += part.size();
    Text joined;
    joined.reserve(total);
    for (TextView part : parts) joined.append(part);
    return joined;
}

Text text_left(TextView text, int n) {
    if (n <= 0) return {};
    return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text text_right(TextView text, int n) {
    if (n <= 0) return {};
    auto count = static_cast<std::size_t>(n);
    if (count >= text.size()) return Text(text);
    return Text(text.substr(text.size() - count));
}

Text text_mid(TextView text, int p, int n) {
    if (p < 1 || n <= 0 || static_cast<std::size_t>(p) > text.size()) return {};
    return Text(text.substr(static_cast<std::size_t>(p) - 1, static_cast<std::size_t>(n)));
}

bool text_equals(TextView a, TextView b) {
    return a == b;
}

int compare_text(TextView a, TextView b, bool case_sensitive) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        CharacterUnit left = unit_at(a, i, !case_sensitive);
        CharacterUnit right = unit_at(b, j, !case_sensitive);
        if (left.value != right.value) return left.value < right.value ? -1 : 1;
        i += left.width;
        j += right.width;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int to_whole(double x) {
    // Outside the range of int, and for NaN, the processor's own truncation gives INT_MIN.
    if (!(x > static_cast<double>(INT_MIN) - 1.0 && x < static_cast<double>(INT_MAX) + 1.0))
        return INT_MIN;
    return static_cast<int>(std::trunc(x));
}

}  // namespace tovmira
