#include "output_device.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <functional>
#include <stdexcept>

#include "emf_surface.h"
#include "painter_surface.h"
#include "printer_output.h"
#include "screen_measure.h"
#include "screen_redraw.h"

namespace kavlo {
namespace {

QRect rectOf(const TwipsWindow& w) {
    return {w.left, w.top, w.width, w.height};
}

WriteResult writeScreenFile(const std::filesystem::path& path, int dpi, QRect /*window*/,
                            const DrawCallback& pass) {
    return writePngImage(path, renderScreenPage(pass, dpi));
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
     writeScreenFile, nullptr, true, kScreenDpi, kLargestImageDpi},
    {OutputKind::Printer, "printer", ".pdf", "PDF (印刷のページ) (*.pdf)", printerAt, false,
     nullptr, writePdfPages, false, kPrintDpi},
    {OutputKind::Svg, "metafile", ".svg", "SVG (選択範囲の図) (*.svg)", metafileAt, true,
     writeSvgFile, nullptr, false},
    {OutputKind::Emf, "emf", ".emf", "EMF (選択範囲の図) (*.emf)", metafileAt, true, writeEmfFile,
     nullptr, false},
}};

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

// The screen measures its own text, the other devices measure with the screen's fonts.
PageOutcome drawPagePass(const PagePassOn& pass, DrawSurface& surface) {
    SilentMessages silent;
    MessageSink& messages = pass.device.readingShowsMessages ? pass.messages : silent;
    const DeviceProfile profile = pass.device.profile(pass.dpi);
    std::optional<ScreenMeasure> screen;
    if (profile.kind != DeviceKind::Screen) {
        screen.emplace();
    }
    return runPagePass(
        pass.request, {surface, profile, messages, screen ? screen->surface() : surface, pass.ops});
}

WriteResult writePageFile(const PagePassOn& pass, const std::filesystem::path& path,
                          PageOutcome& outcome) {
    return writeDocumentFile(
        pass.device, pass.dpi, pass.request.selection, path, 1,
        [&](int, DrawSurface& surface) { outcome = drawPagePass(pass, surface); });
}

WriteResult writeDocumentFile(const OutputDevice& device, int dpi,
                              const std::optional<PageSelection>& selection,
                              const std::filesystem::path& path, int pageCount,
                              const PageDrawCallback& draw) {
    if (device.writePages) {
        return device.writePages(path, dpi, pageCount, draw);
    }
    if (pageCount != 1) {
        throw std::invalid_argument("one picture to a file");
    }
    return device.writeFile(path, dpi, rectOf(shownWindow(device, selection)),
                            [&](DrawSurface& surface) { draw(0, surface); });
}

QImage renderScreenImage(const PageRequest& request, MessageSink& messages, PageOutcome& outcome,
                         int dpi) {
    const PagePassOn pass{outputDevice(OutputKind::Screen), 0, request, messages};
    return renderScreenPage([&](DrawSurface& surface) { outcome = drawPagePass(pass, surface); },
                            dpi);
}

QImage renderScreenImage(ViewSteps& steps, PageSetup& setup, MessageSink& messages,
                         PageOutcome& outcome) {
    return ScreenRedraw().draw(steps, setup, messages, outcome);
}

QByteArray renderMetafilePicture(const PageRequest& request, PageOutcome& outcome) {
    SilentMessages silent;
    const OutputDevice& svg = outputDevice(OutputKind::Svg);
    const PagePassOn pass{svg, 0, request, silent};
    return renderSvgPicture([&](DrawSurface& surface) { outcome = drawPagePass(pass, surface); },
                            rectOf(shownWindow(svg, request.selection)));
}

PageOutcome drawPrinterPage(QPainter& painter, int dpi, const PageRequest& request) {
    PainterSurface surface(painter, printerPainterOptions(dpi));
    return drawPrinterPage(surface, dpi, request);
}

PageOutcome drawPrinterPage(DrawSurface& surface, int dpi, const PageRequest& request) {
    SilentMessages silent;
    return drawPagePass({outputDevice(OutputKind::Printer), dpi, request, silent}, surface);
}

}  // namespace kavlo
