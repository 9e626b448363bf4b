#include "canvas_export.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "canvas_window.h"
#include "devices/clipboard_export.h"
#include "devices/output_device.h"
#include "session.h"

namespace kavlo {
namespace {

QString filterOf(const OutputDevice& device) {
    return QString::fromUtf8(device.fileFilter.data(),
                             static_cast<qsizetype>(device.fileFilter.size()));
}

// PNG、PDF、SVG、EMF: the kinds of file a page is saved as.
std::string pageFileKinds() {
    std::string kinds;
    for (const OutputDevice& device : outputDevices()) {
        kinds += kinds.empty() ? "" : "、";
        kinds += QString::fromUtf8(device.extension.substr(1).data(),
                                   static_cast<qsizetype>(device.extension.size() - 1))
                     .toUpper()
                     .toStdString();
    }
    return kinds;
}

}  // namespace

PageRequest canvasPageRequest(const Session& session, const CanvasSelection& s) {
    if (s.SelX2 == 0 && s.SelY2 == 0) {
        return session.pageRequest();
    }
    return session.pageRequest(PageSelection{s.SelX1, s.SelY1, s.SelX2, s.SelY2});
}

PageOutcome copyPictureToClipboard(const PageRequest& request) {
    PageOutcome outcome;
    QGuiApplication::clipboard()->setMimeData(pagePictureMimeData(request, outcome).release());
    return outcome;
}

void copyPageImageToClipboard(const QImage& page) {
    QGuiApplication::clipboard()->setImage(page);
}

QString pageFileFilters() {
    QStringList filters;
    for (const OutputDevice& device : outputDevices()) {
        filters << filterOf(device);
    }
    return filters.join(";;");
}

std::filesystem::path pageFilePath(const QString& chosen, const QString& filter) {
    std::filesystem::path path = chosen.toStdString();
    if (outputDeviceForFile(path) != nullptr) {
        return path;
    }
    for (const OutputDevice& device : outputDevices()) {
        if (filter == filterOf(device)) {
            path += device.extension;
            return path;
        }
    }
    path += outputDevices().front().extension;
    return path;
}

WriteResult savePageFile(const PageRequest& request, const std::filesystem::path& path,
                         PageOutcome& outcome, int screenDpi) {
    const OutputDevice* device = outputDeviceForFile(path);
    if (device == nullptr) {
        return {"ファイル " + path.string() + " は " + pageFileKinds() + " のどれでもありません。"};
    }
    // The user has seen the reading's messages when the page was drawn. Each device writes at
    // its own resolution, as `kavlo render` does, the screen page at the canvas's.
    SilentMessages silent;
    const int dpi = device->kind == OutputKind::Screen ? screenDpi : device->defaultDpi;
    return writePageFile({*device, dpi, request, silent}, path, outcome);
}

}  // namespace kavlo
