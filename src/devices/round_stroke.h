#pragma once

#include <QImage>
#include <QPointF>
#include <span>

namespace kavlo {

// Strokes lines in one opaque colour straight into an RGB32 image with round caps and joins:
// a pixel is inked when its centre lies within half the width of one of the segments, the
// straight sides held to 1/64 pixel as the painter holds them. The painter's general stroker
// costs far more than the fill of the small polygons it outlines.
class RoundStroke {
  public:
    explicit RoundStroke(QImage& image) : image_(image) {}

    // `points` and `width` in image pixels; `closed` joins the last point back to the first.
    void stroke(std::span<const QPointF> points, bool closed, double width, QRgb colour);

  private:
    struct Rows {
        uchar* bits;
        qsizetype stride;
        int width, height;
        QRgb colour;
    };
    static void segment(const Rows& rows, QPointF a, QPointF b, double radius);

    QImage& image_;
};

}  // namespace kavlo
