#include "facet_fill.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavlo {

void FacetFill::fill(std::span<const QPointF> points, QRgb colour, const QRect& within) {
    if (points.size() < 3) {
        return;
    }
    // The area a stream line hides is one polygon of hundreds of points over hundreds of rows:
    // each row looks only at the edges that span it.
    edges_.clear();
    double bottom = -std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < points.size(); ++k) {
        const QPointF a = points[k];
        const QPointF b = points[(k + 1) % points.size()];
        if (a.y() != b.y()) {
            const auto [top, low] = std::minmax({a.y(), b.y()});
            edges_.push_back({top, low, a, b});
            bottom = std::max(bottom, low);
        }
    }
    if (edges_.empty()) {
        return;
    }
    std::sort(edges_.begin(), edges_.end(),
              [](const Edge& e, const Edge& f) { return e.top < f.top; });
    const QRect bounds = within.isNull() ? image_.rect() : within & image_.rect();
    // Rows whose centres lie in [top, bottom).
    const double firstRow = std::max<double>(bounds.top(), std::ceil(edges_.front().top - 0.5));
    const double endRow = std::min<double>(bounds.bottom() + 1, std::ceil(bottom - 0.5));
    const double left = bounds.left();
    const double width = bounds.right() + 1;
    active_.clear();
    std::size_t next = 0;
    for (double row = firstRow; row < endRow; ++row) {
        const double y = row + 0.5;
        // Half-open in y, so a vertex between two edges is crossed once.
        for (; next < edges_.size() && edges_[next].top <= y; ++next) {
            active_.push_back(&edges_[next]);
        }
        std::erase_if(active_, [y](const Edge* e) { return e->bottom <= y; });
        crossings_.clear();
        for (const Edge* e : active_) {
            const QPointF a = e->a, b = e->b;
            crossings_.push_back(a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
        }
        std::sort(crossings_.begin(), crossings_.end());
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(row)));
        for (std::size_t k = 0; k + 1 < crossings_.size(); k += 2) {
            const double from = std::max(left, std::ceil(crossings_[k] - 0.5));
            const double to = std::min(width, std::ceil(crossings_[k + 1] - 0.5));
            if (from < to) {
                std::fill(line + static_cast<int>(from), line + static_cast<int>(to), colour);
            }
        }
    }
}

}  // namespace kavlo
