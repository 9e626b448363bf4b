#pragma once

#include <QImage>
#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "byte_sink.h"
#include "font_mapping.h"
#include "render/object_surface.h"
#include "stroke_style.h"

namespace kavlo {

// Writes the page operations straight into an SVG picture in device units (twips), in the
// calls' order: runs of one style grouped, consecutive facets of one colour (and lines of one
// pen) sharing a path, facet colours named by short classes, the picture's viewBox the window
// on the page. Text is measured with the installed
// fonts at 1440 dots per inch and written with the family actually used. The document goes to
// the sink in pieces as it is drawn, so a page of millions of facets is never held whole.
class SvgSurface final : public ObjectSurface {
  public:
    SvgSurface(QRect window, StrokeOptions options, ByteSink sink);

    void Polygon(std::span<const DevicePoint> points) override;
    void Polyline(std::span<const DevicePoint> points) override;
    void SetROP2(int mode) override;
    void TextOutA(std::int32_t x, std::int32_t y, const std::string& text) override;
    TextExtent GetTextExtentPoint32A(const std::string& text) override;

    // Ends the document; the surface takes no more drawing after it. False when the sink
    // refused any piece.
    bool finish();

  private:
    // What a group of consecutive elements shares.
    struct RunStyle {
        // Seamed: a facet edged in its own fill colour.
        enum class Kind { Seamed, Filled, Line };
        Kind kind = Kind::Line;
        Rgb fill;
        Rgb stroke;
        double width = 0;
        friend bool operator==(const RunStyle&, const RunStyle&) = default;
    };

    // The path element still open for more subpaths of its look.
    struct OpenPath {
        std::optional<Rgb> colour;
        DevicePoint current;  // where the next subpath's relative move starts
        int subpaths = 1;
    };

    void useStyle(const RunStyle& style);
    void closeRun();
    void closePath();
    void path(std::span<const DevicePoint> points, bool closed, std::optional<Rgb> colour);
    // The class that gives `colour`, declared before its first use; nothing once there are
    // so many colours that naming them would cost more than it saves.
    const std::string* colourClass(Rgb colour);
    void flush();
    void endElement();

    StrokeOptions options_;
    ByteSink sink_;
    bool sinkFailed_ = false;
    QImage metricsDevice_;
    CurrentFont currentFont_;
    std::string out_;
    std::optional<RunStyle> run_;
    std::optional<OpenPath> open_;
    std::unordered_map<std::uint32_t, std::string> classes_;
};

}  // namespace kavlo
