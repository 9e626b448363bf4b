#include <benchmark/benchmark.h>

#include <QBuffer>

#include "bench_files.h"
#include "core/graph_reader.h"
#include "core/page_setup.h"
#include "core/projection.h"
#include "devices/page_output.h"
#include "render/comments_header.h"
#include "render/grid_lines.h"
#include "render/page_composition.h"
#include "render/recording_surface.h"

namespace kavlo {
namespace {

using bench::files;
using bench::graphPage;

PageSetup samplePage() {
    return sampleSetup(KAVLO_SAMPLES_DIR);
}

PageSetup bigGraphPage() {
    return graphPage(200, 1, 3);
}

// Composes the page on `device`; text is measured on the device itself or a screen image.
void compose(DrawSurface& device, const DeviceProfile& profile, const PageSetup& page) {
    ViewSteps steps;
    SilentMessages silent;
    PageSetup setup = page;
    if (profile.kind == DeviceKind::Screen) {
        composePage({device, profile, silent, device}, setup, steps);
    } else {
        ScreenMeasure screen;
        composePage({device, profile, silent, screen.surface()}, setup, steps);
    }
}

void BM_SamplePageRecording(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    for (auto _ : state) {
        RecordingSurface surface;
        compose(surface, profile, samplePage());
        benchmark::DoNotOptimize(surface.ops().size());
    }
}
BENCHMARK(BM_SamplePageRecording)->Unit(benchmark::kMillisecond);

void BM_SamplePageScreen(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    for (auto _ : state) {
        const QImage image =
            renderScreenPage([&](DrawSurface& s) { compose(s, profile, samplePage()); });
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_SamplePageScreen)->Unit(benchmark::kMillisecond);

void BM_StreamLines200Screen(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    for (auto _ : state) {
        const QImage image =
            renderScreenPage([&](DrawSurface& s) { compose(s, profile, bigGraphPage()); });
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_StreamLines200Screen)->Unit(benchmark::kMillisecond);

void BM_StreamLines200Pdf(benchmark::State& state) {
    const DeviceProfile profile = printerProfile(600);
    const std::string out = files().path("out.pdf");
    for (auto _ : state) {
        benchmark::DoNotOptimize(writePdfPages(out, 600, 1, [&](int, DrawSurface& s) {
                                     compose(s, profile, bigGraphPage());
                                 }).ok());
    }
}
BENCHMARK(BM_StreamLines200Pdf)->Unit(benchmark::kMillisecond);

void BM_StreamLines200Svg(benchmark::State& state) {
    const DeviceProfile profile = metafileProfile();
    for (auto _ : state) {
        const QByteArray svg =
            renderSvgPicture([&](DrawSurface& s) { compose(s, profile, bigGraphPage()); });
        benchmark::DoNotOptimize(svg.size());
    }
}
BENCHMARK(BM_StreamLines200Svg)->Unit(benchmark::kMillisecond);

// Meshes and surfaces: arguments are grid size, plot type and IPL.
void BM_GraphScreen(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  static_cast<int>(state.range(2)));
    for (auto _ : state) {
        const QImage image = renderScreenPage([&](DrawSurface& s) { compose(s, profile, page); });
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_GraphScreen)
    ->Args({200, 3, 3})
    ->Args({200, 6, 3})
    ->Args({400, 3, 0})
    ->Args({400, 6, 0})
    ->Unit(benchmark::kMillisecond);

void BM_GraphPdf(benchmark::State& state) {
    const DeviceProfile profile = printerProfile(600);
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  static_cast<int>(state.range(2)));
    const std::string out = files().path("out.pdf");
    for (auto _ : state) {
        benchmark::DoNotOptimize(writePdfPages(out, 600, 1, [&](int, DrawSurface& s) {
                                     compose(s, profile, page);
                                 }).ok());
    }
}
BENCHMARK(BM_GraphPdf)
    ->Args({200, 3, 3})
    ->Args({200, 6, 3})
    ->Args({200, 6, 0})
    ->Args({400, 6, 0})
    ->Unit(benchmark::kMillisecond);

// The same PDF page through QPdfWriter and the painter surface, as it was made before.
void BM_GraphPdfByPainter(benchmark::State& state) {
    const DeviceProfile profile = printerProfile(600);
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  static_cast<int>(state.range(2)));
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        paintPdfPage(buffer, a4Layout(), 600, [&](QPainter& painter) {
            PainterSurface surface(painter, printerPainterOptions(600));
            compose(surface, profile, page);
        });
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(BM_GraphPdfByPainter)
    ->Args({200, 6, 0})
    ->Args({400, 6, 0})
    ->Unit(benchmark::kMillisecond);

void BM_GraphSvg(benchmark::State& state) {
    const DeviceProfile profile = metafileProfile();
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  static_cast<int>(state.range(2)));
    for (auto _ : state) {
        const QByteArray svg = renderSvgPicture([&](DrawSurface& s) { compose(s, profile, page); });
        benchmark::DoNotOptimize(svg.size());
    }
}
BENCHMARK(BM_GraphSvg)
    ->Args({200, 3, 3})
    ->Args({200, 6, 3})
    ->Args({400, 6, 0})
    ->Unit(benchmark::kMillisecond);

// The refinement of every grid line alone, to set against the painting above.
void BM_RefineAllLines(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    PlacedGraph g;
    SilentMessages silent;
    RecordingSurface none;
    const RenderContext ctx{none, profile, silent, none};
    const PageSetup page =
        graphPage(static_cast<int>(state.range(0)), 6, static_cast<int>(state.range(1)));
    readGraph(g, 1, {page.file(FileKind::Format, 1), page.file(FileKind::Numeric, 1)}, 25, 10, 0,
              silent, profile.readRules);
    const float zscl = *settleZScale(g, 0);
    for (auto _ : state) {
        const RefinedLines lines = refineAllLines(ctx, g, zscl);
        benchmark::DoNotOptimize(lines.alongXx(1, 1));
    }
}
BENCHMARK(BM_RefineAllLines)->Args({200, 3})->Args({400, 0})->Unit(benchmark::kMillisecond);

// One comment line of 10,000 characters wrapped under a frame, measured with screen fonts.
void BM_WrapLongComment(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    const std::string path = files().path("long.txt");
    for (auto _ : state) {
        renderScreenPage([&](DrawSurface& s) {
            PlacedGraph g;
            SilentMessages silent;
            g.XWD = 45;
            g.YWD = 36;
            g.FXD = 30;
            g.FYD = 20;
            g.CSZ = 3;
            g.OrgX = 30;
            g.CommentFont = "ＭＳ 明朝";
            drawComment({s, profile, silent, s}, g, 1, path, 0);
        });
    }
}
BENCHMARK(BM_WrapLongComment)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
