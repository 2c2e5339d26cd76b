// Speed of the text operations on large inputs: find_text against std::string_view::find, and
// the growth of text_between_all, replace_text, split_text and trim_spaces with their input.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "text/events.h"
#include "text/find.h"
#include "text/gbk_literal.h"
#include "text/markers.h"
#include "text/spaces.h"
#include "text/types.h"

namespace tovmira {
namespace {

// Mixed GBK and ASCII text of about `size` bytes, like a Chinese web page: double-byte
// characters (some with ASCII-range second bytes), words, digits and markup. The first bytes
// of the needles below occur often, on character starts and on second bytes.
Text mixed_text(std::size_t size) {
    const Text chunk = "<td>净值日期</td>"_gbk + "2020-04-24 abc " + "开放申购赎回"_gbk +
                       "\x81\x4E\x95\x65 fund_code=000001 name=net value NAV; " + "累计净值"_gbk +
                       "\n";
    Text text;
    text.reserve(size + chunk.size());
    while (text.size() < size) text += chunk;
    text.resize(size);
    // Never end inside a double-byte character, so the needle appended later is reachable.
    std::size_t offset = 0;
    while (offset < text.size()) offset += static_cast<unsigned char>(text[offset]) >= 0x80 ? 2 : 1;
    if (offset > text.size()) text.pop_back();
    return text;
}

const Text& haystack(std::string_view needle) {
    static Text text;
    if (!TextView(text).ends_with(needle)) {
        text = mixed_text(16u << 20);
        text.append(needle);
    }
    return text;
}

constexpr std::string_view needle_with_sign = "NEEDLE_AT_END";
constexpr std::string_view needle_of_letters = "needleatend";

void BM_StringViewFind(benchmark::State& state) {
    const Text& text = haystack(needle_with_sign);
    TextView view(text);
    for (auto _ : state) benchmark::DoNotOptimize(view.find(needle_with_sign));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_StringViewFind);

void BM_FindTextExact(benchmark::State& state) {
    const Text& text = haystack(needle_with_sign);
    for (auto _ : state) benchmark::DoNotOptimize(find_text(text, needle_with_sign));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindTextExact);

void BM_FindTextIgnoreCase(benchmark::State& state) {
    const Text& text = haystack(needle_with_sign);
    for (auto _ : state) benchmark::DoNotOptimize(find_text(text, "needle_at_end", 1, true));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindTextIgnoreCase);

// A needle made only of letters: its first byte is sought in both cases.
void BM_StringViewFindLetters(benchmark::State& state) {
    const Text& text = haystack(needle_of_letters);
    TextView view(text);
    for (auto _ : state) benchmark::DoNotOptimize(view.find(needle_of_letters));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_StringViewFindLetters);

void BM_FindTextIgnoreCaseLetters(benchmark::State& state) {
    const Text& text = haystack(needle_of_letters);
    for (auto _ : state) benchmark::DoNotOptimize(find_text(text, "NEEDLEATEND", 1, true));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindTextIgnoreCaseLetters);

// A history page as the fund-data service sends it, with `rows` table rows.
Text history_page(int rows) {
    Text page =
        "var apidata={ content:\"<table class='w782 comm lsjz'><thead><tr><th "
        "class='first'>"_gbk;
    page +=
        "净值日期</th><th>单位净值</th><th>累计净值</th><th>日增长率</th></tr></thead><tbody>"_gbk;
    const char* classes[] = {"tor bold red", "tor bold grn", "tor bold bck"};
    for (int row = 0; row < rows; ++row) {
        char line[256];
        std::snprintf(line, sizeof line,
                      "<tr><td>20%02d-%02d-%02d</td><td class='tor bold'>3.%04d</td><td "
                      "class='tor bold'>3.%04d</td><td class='%s'>-1.16%%</td><td>",
                      row % 30, row % 12 + 1, row % 28 + 1, row % 10000, row % 9999,
                      classes[row % 3]);
        page += line;
        page += "开放申购</td><td>开放赎回</td><td class='red unbold'></td></tr>"_gbk;
    }
    page += "</tbody></table>\",records:143,pages:4,curpage:1};";
    return page;
}

void BM_TextBetweenAllRows(benchmark::State& state) {
    Text page = history_page(static_cast<int>(state.range(0)));
    auto previous = set_event_dispatcher([] {});
    TextArray rows;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            text_between_all(page, "<tr><td>", "</tr>", rows, {.prefix = "日期"_gbk}));
    }
    set_event_dispatcher(previous);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextBetweenAllRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReplaceText(benchmark::State& state) {
    Text text = mixed_text(static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state) benchmark::DoNotOptimize(replace_text(text, "</TD>", "</th>", false));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReplaceText)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_SplitText(benchmark::State& state) {
    Text text = mixed_text(static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state) benchmark::DoNotOptimize(split_text(text, "\n"));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitText)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_TrimSpaces(benchmark::State& state) {
    Text text =
        "   " + "　　"_gbk + mixed_text(static_cast<std::size_t>(state.range(0)) << 20) + "　 "_gbk;
    for (auto _ : state) benchmark::DoNotOptimize(trim_spaces(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TrimSpaces)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovmira

BENCHMARK_MAIN();
