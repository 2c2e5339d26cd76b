// The value types every routine works on: Text (GBK bytes, no zero byte), ByteSet (raw bytes)
// and TextArray (texts numbered from 1). Memory for them that cannot be had stops the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace tovmira {

// Raises the fatal run-time error of code 0 for a request of `bytes` bytes; defined in fatal.cpp.
[[noreturn]] void fatal_out_of_memory(std::size_t bytes);

// The allocator of every value type: a request that cannot be served is an orderly stop that
// names the size asked for, never an exception that escapes into the window's event loop.
template <class T>
struct ValueAllocator {
    using value_type = T;
    ValueAllocator() noexcept = default;
    template <class U>
    ValueAllocator(const ValueAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) fatal_out_of_memory(static_cast<std::size_t>(-1));
        void* p = ::operator new(n * sizeof(T), std::nothrow);
        if (p == nullptr) fatal_out_of_memory(n * sizeof(T));
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { ::operator delete(p); }

    template <class U>
    bool operator==(const ValueAllocator<U>&) const noexcept {
        return true;
    }
};

// Bytes of code page 936 (GBK). A byte of 0x80 or above starts a double-byte character.
// Positions are 1-based byte positions; the empty text is also the absent one.
using Text = std::basic_string<char, std::char_traits<char>, ValueAllocator<char>>;

// A counted sequence of raw bytes that may hold zero bytes.
using ByteSet = std::vector<std::uint8_t, ValueAllocator<std::uint8_t>>;

// Texts numbered 1 to array_count(); see array.h for its operations.
using TextArray = std::vector<Text, ValueAllocator<Text>>;

// A view of a text's bytes, for routines that only read.
using TextView = std::string_view;

}  // namespace tovmira
