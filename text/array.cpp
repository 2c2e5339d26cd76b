#include "text/array.h"

#include "text/fatal.h"
#include "text/gbk_literal.h"

namespace tovmira {

int array_count(const TextArray& array) {
    return static_cast<int>(array.size());
}

const Text& array_at(const TextArray& array, int index) {
    if (index < 1) fatal_run_error(4, "数组成员引用下标必须大于等于1"_gbk);
    if (static_cast<std::size_t>(index) > array.size())
        fatal_run_error(1, "数组成员引用下标超出定义范围"_gbk);
    return array[static_cast<std::size_t>(index) - 1];
}

void array_append(TextArray& array, TextView text) {
    array.emplace_back(text);
}

void array_append(TextArray& array, const TextArray& more) {
    // Appending an array to itself copies its members as they were before the call.
    std::size_t count = more.size();
    array.reserve(array.size() + count);
    for (std::size_t i = 0; i < count; ++i) array.push_back(more[i]);
}

void array_clear(TextArray& array) {
    array.clear();
}

}  // namespace tovmira
