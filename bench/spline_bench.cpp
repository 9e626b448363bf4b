#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/spline.h"

namespace kavlo {
namespace {

// One grid line of n points refined with IPL inserted points, as every plot line is.
void BM_SplineLine(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    SplineRefiner spline(n, static_cast<int>(state.range(1)));
    std::vector<float> line(static_cast<std::size_t>(n));
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            line[static_cast<std::size_t>(i)] = std::sin(0.1f * static_cast<float>(i + 1));
        }
        benchmark::DoNotOptimize(spline.refine(line).front());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplineLine)->Args({30, 3})->Args({200, 3})->Args({400, 0})->Args({400, 3});

}  // namespace
}  // namespace kavlo
