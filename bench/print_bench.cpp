// Printing until CUPS holds the job. Needs a default printer: bench/print_bench.sh runs this
// against a private spooler whose queue holds the jobs instead of running the filters.

#include <benchmark/benchmark.h>

#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "core/page_setup.h"
#include "devices/output_device.h"
#include "devices/printer_output.h"

namespace kavlo {
namespace {

PageRequest samplePage() {
    return {sampleSetup(KAVLO_SAMPLES_DIR), {}, std::nullopt};
}

// One shaded surface of a 200 x 200 grid of a smooth hill alone on the page.
class SurfacePage {
  public:
    SurfacePage() {
        std::ofstream grid(path("grid.dat"));
        grid << kSize << ", " << kSize << "\n";
        for (int j = 0; j < kSize; ++j) {
            for (int i = 0; i < kSize; ++i) {
                const double x = 4.0 * i / kSize - 2;
                const double y = 4.0 * j / kSize - 2;
                grid << std::exp(-x * x - y * y) << (i + 1 < kSize ? ", " : "\n");
            }
        }
        std::ofstream(path("surface.fmt"))
            << "Kavlo bench\n\n\n80, 60, 50, 5, 8, 0, 7\n\n30, 20, 1, 3, 6\n\n\n4, 1, 0, 3\n\n4, "
               "1, 0, 3\n\n4, 1, 0, 0\n\n\n5, x\n\n5, y\n\n5, z\n";
        request.setup.file(FileKind::Format, 1) = path("surface.fmt");
        request.setup.file(FileKind::Numeric, 1) = path("grid.dat");
    }
    PageRequest request;

  private:
    static constexpr int kSize = 200;
    std::string path(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }
    QTemporaryDir dir_;
};

void printToCups(benchmark::State& state, const PageRequest& request) {
    for (auto _ : state) {
        const PrintResult result = printPage(
            {}, [&](QPainter& painter, int dpi) { drawPrinterPage(painter, dpi, request); });
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
    const SurfacePage page;
    printToCups(state, page.request);
}
BENCHMARK(BM_Surface200PagePrintedToCups)->Unit(benchmark::kMillisecond);

// The part before CUPS: the page as the PDF document the job carries.
void BM_SamplePagePrintDocument(benchmark::State& state) {
    const PageRequest request = samplePage();
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderPdfPage(a4, kPrintDpi, [&](QPainter& painter, int dpi) {
            drawPrinterPage(painter, dpi, request);
        }));
    }
}
BENCHMARK(BM_SamplePagePrintDocument)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
