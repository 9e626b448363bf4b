#include "canvas_export.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <array>

#include "canvas_window.h"
#include "devices/clipboard_export.h"
#include "devices/output_device.h"
#include "session.h"

namespace kavlo {
namespace {

struct PageFileType {
    const char* filter;
    const char* extension;
};

constexpr std::array<PageFileType, 4> kPageFileTypes{{
    {"PNG 画像 (画面のページ) (*.png)", ".png"},
    {"PDF (印刷のページ) (*.pdf)", ".pdf"},
    {"SVG (選択範囲の図) (*.svg)", ".svg"},
    {"EMF (選択範囲の図) (*.emf)", ".emf"},
}};

}  // namespace

PageRequest canvasPageRequest(const Session& session, const CanvasSelection& s) {
    if (s.SelX2 == 0 && s.SelY2 == 0) {
        return session.pageRequest();
    }
    return session.pageRequest(PageSelection{s.SelX1, s.SelY1, s.SelX2, s.SelY2});
}

PageOutcome copyPictureToClipboard(const PageRequest& request) {
    PageOutcome outcome;
    const QByteArray svg = renderMetafilePicture(request, outcome);
    QGuiApplication::clipboard()->setMimeData(
        pictureMimeData(svg, metafileWindow(request.selection)).release());
    return outcome;
}

void copyPageImageToClipboard(const QImage& page) {
    QGuiApplication::clipboard()->setImage(page);
}

QString pageFileFilters() {
    QStringList filters;
    for (const PageFileType& type : kPageFileTypes) {
        filters << QString::fromUtf8(type.filter);
    }
    return filters.join(";;");
}

std::filesystem::path pageFilePath(const QString& chosen, const QString& filter) {
    std::filesystem::path path = chosen.toStdString();
    if (outputDeviceForFile(path) != nullptr) {
        return path;
    }
    for (const PageFileType& type : kPageFileTypes) {
        if (filter == QString::fromUtf8(type.filter)) {
            path += type.extension;
            return path;
        }
    }
    path += kPageFileTypes.front().extension;
    return path;
}

WriteResult savePageFile(const PageRequest& request, const std::filesystem::path& path,
                         PageOutcome& outcome) {
    const OutputDevice* device = outputDeviceForFile(path);
    if (device == nullptr) {
        return {"ファイル " + path.string() + " は PNG、PDF、SVG、EMF のどれでもありません。"};
    }
    // The user has seen the reading's messages when the page was drawn. Each device writes at
    // its own resolution, as `kavlo render` does.
    SilentMessages silent;
    return writePageFile({*device, device->defaultDpi, request, silent}, path, outcome);
}

}  // namespace kavlo
