#include <benchmark/benchmark.h>

#include <string>

#include "render/comment_wrap.h"

namespace kavlo {
namespace {

// One paragraph without a line break, `state.range(0)` bytes of mixed Latin and Japanese,
// wrapped at 140 units with a measure that costs one step a byte, so the wrapping itself is
// what is timed.
void BM_WrapOneLongParagraph(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    std::string paragraph;
    paragraph.reserve(bytes + 16);
    while (paragraph.size() < bytes) {
        paragraph += "Kavlo draws 3-D grids. 格子を描きます。";
    }
    const MeasureText measure = [](const std::string& s) {
        float width = 0;
        for (const char c : s) {
            const auto byte = static_cast<unsigned char>(c);
            width += byte < 0x80 ? 1.0f : (byte >= 0xC0 ? 2.0f : 0.0f);
        }
        return width;
    };
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = wrapCommentLine(paragraph, 140, measure).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WrapOneLongParagraph)
    ->Arg(500'000)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
