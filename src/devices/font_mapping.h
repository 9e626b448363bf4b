#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextLayout>
#include <optional>
#include <string>

#include "render/object_surface.h"

class QPaintDevice;

namespace kavlo {

// The installed family that stands in for a face name the page files ask for; other names pass
// through unchanged for fontconfig to resolve.
QString substituteFace(const std::string& face);

// A blank image that says it has `dotsPerInch`: fonts are sized in pixels, so any device
// measures them, and this one stands in for devices that are not painted on.
QImage measuringDevice(double dotsPerInch);

// A font request made concrete for one paint device, in that device's units.
struct DeviceFont {
    QFont font;
    // Horizontal painter scale that stretches the font to the requested average width.
    double scaleX = 1.0;
    // Device units per pixel of `font`: above one for fonts too large for the font engine,
    // which are measured and outlined at a moderate size and scaled up.
    double scale = 1.0;
    double ascent = 0.0;
    double descent = 0.0;
};

DeviceFont makeDeviceFont(const FontSpec& spec, QPaintDevice* device);

// Whether the font is too large to draw as glyphs on a page of `pageSize` device units: the
// painter would rasterise page-sized glyphs into its caches.
bool drawsAsOutline(const DeviceFont& font, QSizeF pageSize);

// The device font of the latest font request on one device, with its metrics; made again only
// when the request changes, since text is measured far more often than fonts change.
class CurrentFont {
  public:
    explicit CurrentFont(QPaintDevice* device) : device_(device) {}

    const DeviceFont& get(const FontSpec& spec);
    // Unrotated width and cell height of the text, device units.
    TextExtent extent(const FontSpec& spec, const QString& text);

  private:
    QPaintDevice* device_;
    std::optional<FontSpec> spec_;
    DeviceFont font_;
    std::optional<QFontMetricsF> metrics_;
};

// Lays out all of `layout`'s text as one unwrapped line; the line is invalid when it holds none.
QTextLine layOutOneLine(QTextLayout& layout);

}  // namespace kavlo
