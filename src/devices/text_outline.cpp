#include "text_outline.h"

#include <QPainter>

namespace kavlo {

QPainterPath clippedTextOutline(const QTransform& placement, const DeviceFont& font,
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
        return {};
    }
    QPainterPath window;
    window.addRect(visible);
    return placed.intersected(window);
}

void fillTextOutline(QPainter& painter, const QTransform& placement, const DeviceFont& font,
                     const QString& text, const QRectF& page) {
    const QPainterPath outline = clippedTextOutline(placement, font, text, page);
    if (outline.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(outline, Qt::black);
    painter.restore();
}

}  // namespace kavlo
