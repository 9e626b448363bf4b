#include "output_device.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <functional>

#include "emf_surface.h"
#include "painter_surface.h"
#include "printer_output.h"
#include "screen_measure.h"

namespace kavlo {
namespace {

QRect rectOf(const TwipsWindow& w) {
    return {w.left, w.top, w.width, w.height};
}

WriteResult writeScreenFile(const std::filesystem::path& path, int dpi, QRect /*window*/,
                            const DrawCallback& pass) {
    return writePngImage(path, renderScreenPage(pass, dpi));
}

WriteResult writePrinterFile(const std::filesystem::path& path, int dpi, QRect /*window*/,
                             const DrawCallback& pass) {
    return writePdfPage(path, dpi, pass);
}

WriteResult writeSvgFile(const std::filesystem::path& path, int /*dpi*/, QRect window,
                         const DrawCallback& pass) {
    return writeSvgPicture(path, pass, window);
}

WriteResult writeEmfFile(const std::filesystem::path& path, int /*dpi*/, QRect window,
                         const DrawCallback& pass) {
    return writeEmfPicture(path, pass, window);
}

// The page image takes its share of the memory from the refined lines.
DeviceProfile screenAt(int dpi) {
    DeviceProfile profile = screenProfile();
    const double dotsPerTwip = dpi / 1440.0;
    const double imageBytes =
        4 * (kPageWidthTwips * dotsPerTwip) * (kPageHeightTwips * dotsPerTwip);
    profile.plotLimits.refinedBytes =
        std::max(profile.plotLimits.refinedBytes / 8, profile.plotLimits.refinedBytes - imageBytes);
    return profile;
}

DeviceProfile printerAt(int dpi) {
    return printerProfile(dpi);
}

DeviceProfile metafileAt(int /*dpi*/) {
    return metafileProfile();
}

// In the order of OutputKind, which is the order the save dialog and the messages list them in.
constexpr std::array<OutputDevice, 4> kDevices{{
    {OutputKind::Screen, "screen", ".png", "PNG 画像 (画面のページ) (*.png)", screenAt, false,
     writeScreenFile, true, kScreenDpi, kLargestImageDpi},
    {OutputKind::Printer, "printer", ".pdf", "PDF (印刷のページ) (*.pdf)", printerAt, false,
     writePrinterFile, false, kPrintDpi},
    {OutputKind::Svg, "metafile", ".svg", "SVG (選択範囲の図) (*.svg)", metafileAt, true,
     writeSvgFile, false},
    {OutputKind::Emf, "emf", ".emf", "EMF (選択範囲の図) (*.emf)", metafileAt, true, writeEmfFile,
     false},
}};

// The pass of one device as a drawing callback: the screen measures its own text, the other
// devices measure with the screen's fonts.
class DevicePass {
  public:
    DevicePass(const PagePassOn& on, PageOutcome& outcome)
        : on_(on), profile_(on.device.profile(on.dpi)), outcome_(outcome) {}

    void operator()(DrawSurface& surface) {
        SilentMessages silent;
        MessageSink& messages = on_.device.readingShowsMessages ? on_.messages : silent;
        std::optional<ScreenMeasure> screen;
        if (profile_.kind != DeviceKind::Screen) {
            screen.emplace();
        }
        outcome_ = runPagePass(on_.request, {surface, profile_, messages,
                                             screen ? screen->surface() : surface, on_.ops});
    }

  private:
    // A copy: callers hand in a temporary.
    const PagePassOn on_;
    DeviceProfile profile_;
    PageOutcome& outcome_;
};

}  // namespace

TwipsWindow shownWindow(const OutputDevice& device, const std::optional<PageSelection>& selection) {
    return metafileWindow(device.drawsSelection ? selection : std::nullopt);
}

std::span<const OutputDevice> outputDevices() {
    return kDevices;
}

const OutputDevice& outputDevice(OutputKind kind) {
    static_assert(std::ranges::all_of(kDevices, [](const OutputDevice& device) {
        return &device == &kDevices[static_cast<std::size_t>(device.kind)];
    }));
    return kDevices[static_cast<std::size_t>(kind)];
}

const OutputDevice* outputDeviceNamed(std::string_view name) {
    for (const OutputDevice& device : kDevices) {
        if (device.name == name) {
            return &device;
        }
    }
    return nullptr;
}

const OutputDevice* outputDeviceForFile(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    for (const OutputDevice& device : kDevices) {
        if (device.extension == extension) {
            return &device;
        }
    }
    return nullptr;
}

WriteResult writePageFile(const PagePassOn& pass, const std::filesystem::path& path,
                          PageOutcome& outcome) {
    DevicePass draw(pass, outcome);
    return pass.device.writeFile(
        path, pass.dpi, rectOf(shownWindow(pass.device, pass.request.selection)), std::ref(draw));
}

QImage renderScreenImage(const PageRequest& request, MessageSink& messages, PageOutcome& outcome) {
    DevicePass draw({outputDevice(OutputKind::Screen), 0, request, messages}, outcome);
    return renderScreenPage(std::ref(draw));
}

QImage renderScreenImage(ViewSteps& steps, PageSetup& setup, MessageSink& messages,
                         PageOutcome& outcome) {
    const DeviceProfile profile = screenProfile();
    return renderScreenPage([&](DrawSurface& surface) {
        outcome = runPagePass(steps, setup, {surface, profile, messages, surface, {}});
    });
}

QByteArray renderMetafilePicture(const PageRequest& request, PageOutcome& outcome) {
    SilentMessages silent;
    const OutputDevice& svg = outputDevice(OutputKind::Svg);
    DevicePass draw({svg, 0, request, silent}, outcome);
    return renderSvgPicture(std::ref(draw), rectOf(shownWindow(svg, request.selection)));
}

PageOutcome drawPrinterPage(QPainter& painter, int dpi, const PageRequest& request) {
    PainterSurface surface(painter, printerPainterOptions(dpi));
    return drawPrinterPage(surface, dpi, request);
}

PageOutcome drawPrinterPage(DrawSurface& surface, int dpi, const PageRequest& request) {
    SilentMessages silent;
    PageOutcome outcome;
    DevicePass draw({outputDevice(OutputKind::Printer), dpi, request, silent}, outcome);
    draw(surface);
    return outcome;
}

}  // namespace kavlo
