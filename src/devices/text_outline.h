#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>

#include "font_mapping.h"

class QPainter;

namespace kavlo {

// The outline of text too large to draw as glyphs, clipped to `page` (empty when the text lies
// wholly outside it), so that the work and memory stay those of the page whatever the size.
// `placement` takes the top-left of the first cell to device units.
QPainterPath clippedTextOutline(const QTransform& placement, const DeviceFont& font,
                                const QString& text, const QRectF& page);

// Fills the outline of text too large to draw as glyphs, clipped to `page`, so that the work
// and memory stay those of the page whatever the size. `placement` takes the top-left of the
// first cell to device units; text lying wholly outside the page draws nothing.
void fillTextOutline(QPainter& painter, const QTransform& placement, const DeviceFont& font,
                     const QString& text, const QRectF& page);

}  // namespace kavlo
