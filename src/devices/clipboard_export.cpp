#include "clipboard_export.h"

#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include "output_device.h"
#include "page_output.h"

namespace kavlo {
namespace {

// Makes the image only when a program asks for it: a paste that takes the vector picture, and
// the press that fills the clipboard, never wait for rasterising and encoding.
class PictureMimeData final : public QMimeData {
  public:
    PictureMimeData(const QByteArray& svg, const TwipsWindow& window)
        : svg_(svg), window_(window) {}

    QStringList formats() const override { return {kSvgType, kPngType}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

  protected:
    QVariant retrieveData(const QString& type, QMetaType /*preferred*/) const override {
        if (type == kSvgType) {
            return svg_;
        }
        if (type == kPngType) {
            if (png_.isEmpty()) {
                png_ = encodePng(rasterisePicture(svg_, window_, kClipboardImageDpi));
            }
            return png_;
        }
        return {};
    }

  private:
    static constexpr const char* kSvgType = "image/svg+xml";
    static constexpr const char* kPngType = "image/png";
    QByteArray svg_;
    TwipsWindow window_;
    mutable QByteArray png_;
};

}  // namespace

QImage rasterisePicture(const QByteArray& svg, const TwipsWindow& window, int dpi) {
    QSvgRenderer renderer(svg);
    return pageImage(window, dpi, [&](QPainter& painter) { renderer.render(&painter); });
}

std::unique_ptr<QMimeData> pagePictureMimeData(const PageRequest& request, PageOutcome& outcome) {
    const QByteArray svg = renderMetafilePicture(request, outcome);
    return std::make_unique<PictureMimeData>(
        svg, shownWindow(outputDevice(OutputKind::Svg), request.selection));
}

}  // namespace kavlo
