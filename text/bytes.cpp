#include "text/bytes.h"

#include <algorithm>

namespace tovmira {

ByteSet text_to_bytes(TextView text) {
    return ByteSet(text.begin(), text.end());
}

Text bytes_to_text(ByteView bytes) {
    auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

ByteSet blank_bytes(int n) {
    if (n <= 0) return {};
    return ByteSet(static_cast<std::size_t>(n), std::uint8_t{0});
}

ByteSet bytes_left(ByteView bytes, int n) {
    if (n <= 0) return {};
    std::size_t count = std::min(bytes.size(), static_cast<std::size_t>(n));
    return ByteSet(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

int bytes_length(ByteView bytes) {
    return static_cast<int>(bytes.size());
}

ByteSet bytes_concat(std::initializer_list<ByteView> parts) {
    std::size_t total = 0;
    for (ByteView part : parts) total += part.size();
    ByteSet joined;
    joined.reserve(total);
    for (ByteView part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

ByteSet bytes_from_memory(const void* address, int n) {
    if (n <= 0 || address == nullptr) return {};
    const auto* first = static_cast<const std::uint8_t*>(address);
    return ByteSet(first, first + n);
}

}  // namespace tovmira
