#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "core/page_setup.h"
#include "devices/page_output.h"
#include "render/comments_header.h"
#include "render/page_composition.h"
#include "render/recording_surface.h"

namespace kavlo {
namespace {

// A folder with one 200 x 200 stream-line graph (IPL 3) and a 10,000-character comment.
class BenchFiles {
  public:
    BenchFiles() {
        write("big.dat",
              "Kavlo bench\n\n\n45, 36, 30, 4, 8, 2, 0\n\n30, 20, 1, 3, 1\n\n\n4, 1, 0, 3\n\n"
              "4, 1, 0, 3\n\n4, 1, 0, 0\n\n\n5, x\n\n5, y\n\n5, z\n");
        std::ofstream grid(path("g200.dat"));
        grid << "200, 200\n";
        for (int j = 0; j < 200; ++j) {
            for (int i = 0; i < 200; ++i) {
                grid << std::sin(0.05 * i) * std::cos(0.07 * j) << (i < 199 ? ", " : "\n");
            }
        }
        std::string comment;
        for (int k = 0; k < 1000; ++k) {
            comment += k % 2 ? "abcdefghi " : "日本語の文章です。";
        }
        write("long.txt", comment.substr(0, 10000));
    }
    std::string path(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

  private:
    void write(const char* name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    QTemporaryDir dir_;
};

const BenchFiles& files() {
    static const BenchFiles instance;
    return instance;
}

PageSetup samplePage() {
    return sampleSetup(KAVLO_SAMPLES_DIR);
}

PageSetup bigGraphPage() {
    PageSetup setup;
    setup.file(FileKind::Format, 1) = files().path("big.dat");
    setup.file(FileKind::Numeric, 1) = files().path("g200.dat");
    return setup;
}

// Composes the page on `device`; text is measured on the device itself or a screen image.
void compose(DrawSurface& device, const DeviceProfile& profile, const PageSetup& page) {
    GraphState g;
    SilentMessages silent;
    PageSetup setup = page;
    if (profile.kind == DeviceKind::Screen) {
        composePage({g, device, profile, silent, device}, setup);
    } else {
        ScreenMeasure screen;
        composePage({g, device, profile, silent, screen.surface()}, setup);
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
        writePdfPage(QString::fromStdString(out), 600,
                     [&](DrawSurface& s) { compose(s, profile, bigGraphPage()); });
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

// One comment line of 10,000 characters wrapped under a frame, measured with screen fonts.
void BM_WrapLongComment(benchmark::State& state) {
    const DeviceProfile profile = screenProfile();
    const std::string path = files().path("long.txt");
    for (auto _ : state) {
        renderScreenPage([&](DrawSurface& s) {
            GraphState g;
            SilentMessages silent;
            g.XWD = 45;
            g.YWD = 36;
            g.FXD = 30;
            g.FYD = 20;
            g.CSZ = 3;
            g.OrgX = 30;
            g.CommentFont = "ＭＳ 明朝";
            Cmt({g, s, profile, silent, s}, 1, path);
        });
    }
}
BENCHMARK(BM_WrapLongComment)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
