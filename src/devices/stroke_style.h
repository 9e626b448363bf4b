#pragma once

#include "render/object_surface.h"

namespace kavlo {

struct StrokeOptions {
    bool antialias = false;
    // Thinnest stroke drawn, device units; vector viewers barely show very thin strokes.
    double minimumStrokeWidth = 1.0;
    // Thinnest edge of a polygon outlined in its own fill colour. Viewers smooth the edges of
    // adjacent polygons one by one, which lets the background shine through as hairline seams
    // unless the shared edges are covered generously.
    double minimumSeamWidth = 1.0;
};

// The width a pen strokes with, device units; widths 0 and 1 both mean the thinnest line.
inline double strokeWidth(const PenSpec& pen, const StrokeOptions& options, bool seam) {
    double width = pen.width > 1 ? pen.width : 1.0;
    width = width > options.minimumStrokeWidth ? width : options.minimumStrokeWidth;
    return seam && options.minimumSeamWidth > width ? options.minimumSeamWidth : width;
}

}  // namespace kavlo
