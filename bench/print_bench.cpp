// Printing until CUPS holds the job. Needs a default printer: bench/print_bench.sh runs this
// against a private spooler whose queue holds the jobs instead of running the filters.

#include <benchmark/benchmark.h>

#include <QPageLayout>
#include <QPageSize>

#include "bench_files.h"
#include "core/page_setup.h"
#include "devices/output_device.h"
#include "devices/printer_output.h"

namespace kavlo {
namespace {

PageRequest samplePage() {
    return {sampleSetup(KAVLO_SAMPLES_DIR), {}, std::nullopt};
}

// One shaded surface of a 200 x 200 grid of a smooth hill alone on the page.
PageRequest surfacePage() {
    return {bench::graphPage(200, 6, 3), {}, std::nullopt};
}

void printToCups(benchmark::State& state, const PageRequest& request) {
    for (auto _ : state) {
        const PrintResult result = printPage(
            {}, [&](DrawSurface& surface, int dpi) { drawPrinterPage(surface, dpi, request); });
        if (result.status != PrintStatus::Accepted) {
            state.SkipWithError(
                ("not printed, run through bench/print_bench.sh: " + printFailureText(result))
                    .c_str());
            return;
        }
    }
}

void BM_SamplePagePrintedToCups(benchmark::State& state) {
    printToCups(state, samplePage());
}
BENCHMARK(BM_SamplePagePrintedToCups)->Unit(benchmark::kMillisecond);

void BM_Surface200PagePrintedToCups(benchmark::State& state) {
    printToCups(state, surfacePage());
}
BENCHMARK(BM_Surface200PagePrintedToCups)->Unit(benchmark::kMillisecond);

// The part before CUPS: the page as the PDF document the job carries.
void BM_SamplePagePrintDocument(benchmark::State& state) {
    const PageRequest request = samplePage();
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderPdfPage(a4, kPrintDpi, [&](DrawSurface& surface, int dpi) {
            drawPrinterPage(surface, dpi, request);
        }));
    }
}
BENCHMARK(BM_SamplePagePrintDocument)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
