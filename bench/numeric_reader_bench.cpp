#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/numeric_reader.h"

namespace kavlo {
namespace {

std::string writeGrid(int n) {
    const auto path =
        std::filesystem::temp_directory_path() / ("kavlo-bench-grid-" + std::to_string(n) + ".dat");
    std::ofstream out(path, std::ios::binary);
    out << n << ", " << n << "\r\n";
    char buffer[32];
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            std::snprintf(buffer, sizeof buffer, "%.4f", std::sin(0.05 * i) * std::cos(0.07 * j));
            out << buffer << (i + 1 < n ? ", " : "\r\n");
        }
    }
    return path.string();
}

// Reading a measured grid: tokenising, checking and storing every value.
void BM_ReadNumericFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = writeGrid(n);
    FormatSettings format;
    format.ZND = 2;
    format.IPL = 3;
    format.LDR = 6;
    SilentMessages silent;
    for (auto _ : state) {
        if (readNumericFile(1, path, format, silent, {}).outcome != NumericReadOutcome::Read) {
            state.SkipWithError("grid not read");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * n * n);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadNumericFile)->Arg(30)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
