#include "text_outline.h"

#include <QPainter>
#include <QPainterPath>

namespace kavlo {

void fillTextOutline(QPainter& painter, const QTransform& placement, const DeviceFont& font,
                     const QString& text, const QRectF& page) {
    QPainterPath glyphs;
    // Overlapping contours of one glyph are all ink, as when the glyph is rasterised.
    glyphs.setFillRule(Qt::WindingFill);
    glyphs.addText(QPointF(0.0, font.ascent / font.scale), font.font, text);
    const QPainterPath placed =
        (QTransform::fromScale(font.scaleX * font.scale, font.scale) * placement).map(glyphs);

    // A margin keeps the smoothed edge along the page's border as the glyph would leave it.
    const QRectF visible = page.adjusted(-2.0, -2.0, 2.0, 2.0);
    if (!placed.controlPointRect().intersects(visible)) {
        return;
    }
    QPainterPath window;
    window.addRect(visible);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(placed.intersected(window), Qt::black);
    painter.restore();
}

}  // namespace kavlo
