#include <benchmark/benchmark.h>

#include "bench_files.h"
#include "devices/emf_surface.h"
#include "devices/output_device.h"

namespace kavlo {
namespace {

using bench::files;
using bench::graphPage;

const QRect kWholePage(0, 0, kPageWidthTwips, kPageHeightTwips);

// The metafile pass of the page into an EMF in memory, text measured with the screen's fonts.
std::string emfOf(const PageSetup& page) {
    const PageRequest request{page, {}, {}};
    SilentMessages silent;
    ScreenMeasure screen;
    const DeviceProfile profile = metafileProfile();
    return renderEmfPicture(
        [&](DrawSurface& s) {
            runPagePass(request, {s, profile, silent, screen.surface(), {}});
        },
        kWholePage);
}

void BM_SamplePageEmf(benchmark::State& state) {
    const PageSetup page = sampleSetup(KAVLO_SAMPLES_DIR);
    for (auto _ : state) {
        benchmark::DoNotOptimize(emfOf(page).size());
    }
}
BENCHMARK(BM_SamplePageEmf)->Unit(benchmark::kMillisecond);

// The same through the device table, written to disk by the atomic writer.
void BM_SamplePageEmfFile(benchmark::State& state) {
    const PageRequest request{sampleSetup(KAVLO_SAMPLES_DIR), {}, {}};
    const std::string out = files().path("out.emf");
    for (auto _ : state) {
        SilentMessages silent;
        PageOutcome outcome;
        benchmark::DoNotOptimize(
            writePageFile({*outputDeviceNamed("emf"), 600, request, silent}, out, outcome).ok());
    }
}
BENCHMARK(BM_SamplePageEmfFile)->Unit(benchmark::kMillisecond);

// Meshes and surfaces: arguments are grid size, plot type and IPL.
void BM_GraphEmf(benchmark::State& state) {
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  static_cast<int>(state.range(2)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = emfOf(page).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_GraphEmf)
    ->Args({200, 3, 3})
    ->Args({200, 6, 3})
    ->Args({400, 6, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
