#pragma once

#include <QImage>
#include <QPointF>
#include <span>

namespace kavlo {

// Strokes lines in one opaque colour straight into an RGB32 image with round caps and joins:
// a pixel is inked when its centre lies within half the width of one of the segments. The
// painter's general stroker costs far more than the fill of the small polygons it outlines.
class RoundStroke {
  public:
    explicit RoundStroke(QImage& image) : image_(image) {}

    // `points` and `width` in image pixels; `closed` joins the last point back to the first.
    void stroke(std::span<const QPointF> points, bool closed, double width, QRgb colour);

  private:
    void segment(QPointF a, QPointF b, double radius, QRgb colour);

    QImage& image_;
};

}  // namespace kavlo
