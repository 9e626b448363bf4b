#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <span>
#include <vector>

namespace kavlo {

// Fills polygons in one opaque colour straight into an RGB32 image: a pixel is filled when its
// centre lies inside by the odd-even rule, so polygons that share an edge tile without a gap or
// an overlap. Far cheaper than a painter for the many small facets of a surface.
class FacetFill {
  public:
    explicit FacetFill(QImage& image) : image_(image) {}

    // `points` in image pixels; pixels outside `within`, if it is given, stay as they are.
    void fill(std::span<const QPointF> points, QRgb colour, const QRect& within = QRect());

  private:
    struct Edge {
        double top, bottom;
        QPointF a, b;
    };

    QImage& image_;
    std::vector<Edge> edges_;
    std::vector<const Edge*> active_;
    std::vector<double> crossings_;
};

}  // namespace kavlo
