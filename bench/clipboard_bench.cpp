#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "core/page_setup.h"
#include "devices/clipboard_export.h"
#include "devices/output_device.h"
#include "devices/page_output.h"
#include "ui/canvas_export.h"

namespace kavlo {
namespace {

PageRequest samplePage() {
    return {sampleSetup(KAVLO_SAMPLES_DIR), {}, std::nullopt};
}

// What the MetaFile button costs: the vector picture of the whole sample page and its 300-DPI
// image on the clipboard.
void BM_SamplePageToClipboard(benchmark::State& state) {
    const PageRequest request = samplePage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(copyPictureToClipboard(request));
    }
}
BENCHMARK(BM_SamplePageToClipboard)->Unit(benchmark::kMillisecond);

// The same, and then a program that pastes only images takes the PNG.
void BM_SamplePageToClipboardImagePasted(benchmark::State& state) {
    const PageRequest request = samplePage();
    for (auto _ : state) {
        copyPictureToClipboard(request);
        benchmark::DoNotOptimize(QGuiApplication::clipboard()->mimeData()->data("image/png"));
    }
}
BENCHMARK(BM_SamplePageToClipboardImagePasted)->Unit(benchmark::kMillisecond);

// Its parts: the picture, the rasterising, the PNG encoding.
void BM_SamplePageVectorPicture(benchmark::State& state) {
    const PageRequest request = samplePage();
    for (auto _ : state) {
        PageOutcome outcome;
        benchmark::DoNotOptimize(renderMetafilePicture(request, outcome));
    }
}
BENCHMARK(BM_SamplePageVectorPicture)->Unit(benchmark::kMillisecond);

void BM_SamplePageRasterisedAt300Dpi(benchmark::State& state) {
    PageOutcome outcome;
    const QByteArray svg = renderMetafilePicture(samplePage(), outcome);
    const TwipsWindow page = metafileWindow(std::nullopt);
    for (auto _ : state) {
        benchmark::DoNotOptimize(rasterisePicture(svg, page, kClipboardImageDpi));
    }
}
BENCHMARK(BM_SamplePageRasterisedAt300Dpi)->Unit(benchmark::kMillisecond);

void BM_SamplePageImageEncoded(benchmark::State& state) {
    PageOutcome outcome;
    const QByteArray svg = renderMetafilePicture(samplePage(), outcome);
    const QImage image = rasterisePicture(svg, metafileWindow(std::nullopt), kClipboardImageDpi);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodePng(image));
    }
}
BENCHMARK(BM_SamplePageImageEncoded)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
