#include "facet_fill.h"

#include <algorithm>
#include <cmath>

namespace kavlo {

void FacetFill::fill(std::span<const QPointF> points, QRgb colour) {
    if (points.size() < 3) {
        return;
    }
    const auto [low, high] = std::minmax_element(
        points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    // Rows whose centres lie in [low, high).
    const double firstRow = std::max(0.0, std::ceil(low->y() - 0.5));
    const double endRow =
        std::min(static_cast<double>(image_.height()), std::ceil(high->y() - 0.5));
    const double width = image_.width();
    for (double row = firstRow; row < endRow; ++row) {
        const double y = row + 0.5;
        crossings_.clear();
        for (std::size_t k = 0; k < points.size(); ++k) {
            const QPointF a = points[k];
            const QPointF b = points[(k + 1) % points.size()];
            // Half-open in y, so a vertex between two edges is crossed once.
            if ((a.y() <= y) != (b.y() <= y)) {
                crossings_.push_back(a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
            }
        }
        std::sort(crossings_.begin(), crossings_.end());
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(row)));
        for (std::size_t k = 0; k + 1 < crossings_.size(); k += 2) {
            const double from = std::max(0.0, std::ceil(crossings_[k] - 0.5));
            const double to = std::min(width, std::ceil(crossings_[k + 1] - 0.5));
            if (from < to) {
                std::fill(line + static_cast<int>(from), line + static_cast<int>(to), colour);
            }
        }
    }
}

}  // namespace kavlo
