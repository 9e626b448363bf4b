#include <benchmark/benchmark.h>

#include <cmath>

#include "core/numeric_reader.h"
#include "core/spline.h"

namespace kavlo {
namespace {

// One grid line of n points refined with IPL inserted points, as every plot line is.
void BM_SplineLine(benchmark::State& state) {
    GraphState g;
    g.NX = static_cast<std::int16_t>(state.range(0));
    g.NY = 2;
    g.IPL = static_cast<std::int16_t>(state.range(1));
    g.LDR = 1;
    sizeWorkArrays(g);
    for (auto _ : state) {
        for (int i = 1; i <= g.NX; ++i) {
            g.SplIn(i, 0) = std::sin(0.1f * static_cast<float>(i));
        }
        refineGridLine(g, 1);
        benchmark::DoNotOptimize(g.SplOut(1));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplineLine)->Args({30, 3})->Args({200, 3})->Args({400, 0})->Args({400, 3});

}  // namespace
}  // namespace kavlo
