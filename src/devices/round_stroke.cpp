#include "round_stroke.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kavlo {
namespace {

// The largest whole number not above `v`, for `v` well inside the range of int; without the
// library call a plain build makes of std::floor, which counted in the millions per page.
int floorToInt(double v) {
    const int i = static_cast<int>(v);
    return i - (v < i ? 1 : 0);
}

// The first pixel whose centre lies beyond `x`: a centre on the boundary of a row's extent is
// in at its right end and out at its left, as the painter's strokes have it.
int firstCentreAfter(double x, int width) {
    return floorToInt(std::clamp(x, -1.0, width + 1.0) - 0.5) + 1;
}

// The painter holds the outlines it fills to 1/64 pixel; its straight edges are matched exactly
// by holding the band's corners the same way.
double toOutlineGrid(double v) {
    const double steps = v * 64 + 0.5;
    return (std::abs(steps) < 1e9 ? floorToInt(steps) : std::floor(steps)) / 64;
}

QPointF toOutlineGrid(QPointF p) {
    return QPointF(toOutlineGrid(p.x()), toOutlineGrid(p.y()));
}

// An extent in x along one row, empty until something is added.
struct Span {
    double from = std::numeric_limits<double>::infinity();
    double to = -std::numeric_limits<double>::infinity();

    void add(double low, double high) {
        from = std::min(from, low);
        to = std::max(to, high);
    }
};

// A row that only touches the disc adds nothing.
void addDisc(Span& span, QPointF centre, double radius, double y) {
    const double dy = y - centre.y();
    const double h = radius * radius - dy * dy;
    if (h > 0) {
        const double half = std::sqrt(h);
        span.add(centre.x() - half, centre.x() + half);
    }
}

// One side of the band, where rows cross it: a row through its top corner misses it and one
// through its bottom corner meets it, as the painter samples its strokes.
struct BandEdge {
    double top = 0, bottom = 0, x = 0, slope = 0;

    BandEdge() = default;
    BandEdge(QPointF p, QPointF q)
        : top(std::min(p.y(), q.y())),
          bottom(std::max(p.y(), q.y())),
          slope(p.y() == q.y() ? 0 : (q.x() - p.x()) / (q.y() - p.y())) {
        x = p.x() - p.y() * slope;
    }

    void addCrossing(Span& span, double y) const {
        if (top < y && y <= bottom) {
            const double at = x + y * slope;
            span.add(at, at);
        }
    }
};

// The points within `radius` of segment a-b: the two end discs and the band between them.
// Convex, so a row meets it in one extent, which the three pieces' extents together make.
class Capsule {
  public:
    Capsule(QPointF a, QPointF b, double radius) : a_(a), b_(b), radius_(radius) {
        const QPointF d = b - a;
        const double length = std::sqrt(d.x() * d.x() + d.y() * d.y());
        if (length > 0) {
            const QPointF across(-d.y() * radius / length, d.x() * radius / length);
            const std::array corners{toOutlineGrid(a + across), toOutlineGrid(b + across),
                                     toOutlineGrid(b - across), toOutlineGrid(a - across)};
            for (std::size_t k = 0; k < corners.size(); ++k) {
                band_[k] = BandEdge(corners[k], corners[(k + 1) % corners.size()]);
            }
        }
    }

    Span at(double y) const {
        Span span;
        addDisc(span, a_, radius_, y);
        addDisc(span, b_, radius_, y);
        for (const BandEdge& edge : band_) {
            edge.addCrossing(span, y);
        }
        return span;
    }

  private:
    QPointF a_, b_;
    double radius_;
    std::array<BandEdge, 4> band_;
};

}  // namespace

void RoundStroke::stroke(std::span<const QPointF> points, bool closed, double width, QRgb colour) {
    if (points.empty()) {
        return;
    }
    // Asked once a stroke: the image checks whether to detach every time.
    Rows rows{image_.bits(), image_.bytesPerLine(), image_.width(), image_.height(), colour};
    const double radius = width / 2;
    if (points.size() == 1) {
        segment(rows, points[0], points[0], radius);
        return;
    }
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        segment(rows, points[k], points[k + 1], radius);
    }
    // An outline that ends where it began is closed already.
    if (closed && points.back() != points.front()) {
        segment(rows, points.back(), points.front(), radius);
    }
}

void RoundStroke::segment(const Rows& rows, QPointF a, QPointF b, double radius) {
    // The band's corners held to the grid may stand out of the discs by half a step.
    const double reach = radius + 1.0 / 128;
    const auto [top, bottom] = std::minmax({a.y(), b.y()});
    const int height = rows.height, width = rows.width;
    // Rows whose centres lie in [top - reach, bottom + reach].
    const int firstRow = std::max(0, firstCentreAfter(top - reach, height) - 1);
    const int endRow = std::min(height, firstCentreAfter(bottom + reach, height));
    const Capsule capsule(a, b, radius);
    for (int row = firstRow; row < endRow; ++row) {
        const Span span = capsule.at(row + 0.5);
        const int from = std::max(0, firstCentreAfter(span.from, width));
        const int to = std::min(width, firstCentreAfter(span.to, width));
        if (from < to) {
            auto* line = reinterpret_cast<QRgb*>(rows.bits + row * rows.stride);
            std::fill(line + from, line + to, rows.colour);
        }
    }
}

}  // namespace kavlo
