#include "emf_surface.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kavlo {
namespace {

std::u16string_view utf16Of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

EmfSurface::EmfSurface(QRect window, ByteSink sink)
    : FontSurface(measuringDevice(1440)),
      records_({window.left(), window.top(), window.width(), window.height()}, std::move(sink)) {}

void EmfSurface::usePen(bool seam) {
    if (stockPenSelected()) {
        objects_.select(EmfObject{EmfStock::BlackPen}, records_);
        return;
    }
    PenSpec drawn = pen();
    drawn.width = static_cast<int>(std::lround(strokeWidth(drawn, kVectorStrokes, seam)));
    objects_.select(EmfObject{drawn}, records_);
}

void EmfSurface::useBrush() {
    objects_.select(stockBrushSelected() ? EmfObject{EmfStock::WhiteBrush} : EmfObject{brush()},
                    records_);
}

void EmfSurface::polygon(std::span<const DevicePoint> points) {
    usePen(!stockPenSelected() && !stockBrushSelected() && pen().color == brush().color);
    useBrush();
    records_.polygon(points);
}

void EmfSurface::polyline(std::span<const DevicePoint> points) {
    usePen();
    records_.polyline(points);
}

void EmfSurface::moveTo(std::int32_t x, std::int32_t y) {
    // The pen goes before the move: Inkscape ends the figure at a selection, losing the move.
    usePen();
    records_.moveTo({x, y});
}

void EmfSurface::lineTo(std::int32_t x, std::int32_t y) {
    usePen();
    records_.lineTo({x, y});
}

void EmfSurface::setRasterOperation(int mode) {
    records_.setRop2(mode);
}

void EmfSurface::drawText(std::int32_t x, std::int32_t y, const std::string& text) {
    const QString unicode = QString::fromUtf8(text);
    // The turned cell of the whole text, for the record's bounds.
    const TextExtent extent = textExtent(text);
    const double width = extent.cx;
    const double height = extent.cy;
    const double angle = font().escapement / 10.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    DevicePoint min{x, y}, max{x, y};
    for (const auto& [u, v] :
         std::array<std::pair<double, double>, 3>{{{width, 0.0}, {0.0, height}, {width, height}}}) {
        const auto px = static_cast<std::int32_t>(std::lround(x + u * c + v * s));
        const auto py = static_cast<std::int32_t>(std::lround(y - u * s + v * c));
        min = {std::min(min.x, px), std::min(min.y, py)};
        max = {std::max(max.x, px), std::max(max.y, py)};
    }
    objects_.select(
        stockFontSelected() ? EmfObject{EmfStock::DeviceDefaultFont} : EmfObject{font()}, records_);
    records_.textOut({x, y}, utf16Of(unicode), min, max);
}

std::string EmfSurface::finish() {
    objects_.release(records_);
    return records_.finish();
}

std::string renderEmfPicture(const DrawCallback& draw, QRect windowTwips) {
    std::string bytes;
    EmfSurface surface(windowTwips, [&](std::string_view piece) {
        bytes += piece;
        return true;
    });
    draw(surface);
    const std::string header = surface.finish();
    return bytes.replace(0, header.size(), header);
}

WriteResult writeEmfPicture(const std::filesystem::path& path, const DrawCallback& draw,
                            QRect windowTwips) {
    AtomicFile file(path);
    if (WriteResult opened = file.open(); !opened.ok()) {
        return opened;
    }
    EmfSurface surface(windowTwips, [&](std::string_view piece) { return file.write(piece); });
    draw(surface);
    // A failed write is remembered by the file and reported by commit.
    file.writeAt(surface.finish(), 0);
    return file.commit();
}

}  // namespace kavlo
