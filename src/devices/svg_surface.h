#pragma once

#include <QImage>
#include <QRect>
#include <memory>
#include <string>

#include "byte_sink.h"
#include "font_surface.h"
#include "stroke_style.h"
#include "svg_document.h"

namespace kavlo {

// Draws the page operations as an SVG picture in device units (twips), the picture's viewBox
// the window on the page. Text is measured with the installed fonts at 1440 dots per inch and
// written with the family actually used. The document's text is made on a thread of its own
// while the page is still being drawn, and goes to the sink in pieces as it grows.
class SvgSurface final : public FontSurface {
  public:
    SvgSurface(QRect window, StrokeOptions options, ByteSink sink);
    ~SvgSurface() override;

    void polygon(std::span<const DevicePoint> points) override;
    void polyline(std::span<const DevicePoint> points) override;
    void setRasterOperation(int mode) override;
    void drawText(std::int32_t x, std::int32_t y, const std::string& text) override;

    // Ends the document; the surface takes no more drawing after it. False when the sink
    // refused any piece.
    bool finish();

  private:
    class Writer;
    struct Batch;

    void add(SvgStyle style, std::span<const DevicePoint> points, bool closed);
    void handOver();
    void handOverWhenFull();

    StrokeOptions options_;
    std::unique_ptr<Batch> batch_;
    std::unique_ptr<Writer> writer_;
};

}  // namespace kavlo
