#pragma once

#include <QRect>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "byte_sink.h"
#include "render/draw_surface.h"

namespace kavlo {

// What a group of consecutive elements shares.
struct SvgStyle {
    // Seamed: a facet edged in its own fill colour.
    enum class Kind { Seamed, Filled, Line };
    Kind kind = Kind::Line;
    Rgb fill;
    Rgb stroke;
    double width = 0;
    friend bool operator==(const SvgStyle&, const SvgStyle&) = default;
};

// The text of an SVG picture in device units (twips), element by element in drawing order:
// runs of one style grouped, consecutive facets of one colour (and lines of one pen) sharing a
// path, facet colours named by short classes, the viewBox the window on the page. The text goes
// to the sink in pieces as it grows, so a page of millions of facets is never held whole.
class SvgDocument {
  public:
    SvgDocument(QRect window, ByteSink sink);

    void polygon(const SvgStyle& style, std::span<const DevicePoint> points);
    void polyline(const SvgStyle& style, std::span<const DevicePoint> points);
    // A whole element of its own (text), outside any run.
    void element(std::string_view text);
    // Ends the document; false when the sink refused any piece.
    bool finish();

  private:
    // The path element still open for more subpaths of its look.
    struct OpenPath {
        std::optional<Rgb> colour;
        DevicePoint current;  // where the next subpath's relative move starts
        int subpaths = 1;
    };

    void useStyle(const SvgStyle& style);
    void closeRun();
    void closePath();
    void path(std::span<const DevicePoint> points, bool closed, std::optional<Rgb> colour);
    // The class that gives `colour`, declared before its first use; nothing once there are
    // so many colours that naming them would cost more than it saves.
    const std::string* colourClass(Rgb colour);
    void flush();
    void endElement();

    ByteSink sink_;
    bool sinkFailed_ = false;
    std::string out_;
    std::optional<SvgStyle> run_;
    std::optional<OpenPath> open_;
    std::unordered_map<std::uint32_t, std::string> classes_;
};

// Numbers as the picture writes them: whole, or six significant digits the shortest way.
void appendSvgNumber(std::string& out, std::int64_t value);
void appendSvgNumber(std::string& out, double value);
// UTF-8 text escaped for XML: control characters dropped, whatever else XML forbids (U+FFFE,
// U+FFFF, bytes that are not UTF-8) replaced by U+FFFD.
void appendSvgText(std::string& out, const std::string& text);
// A stroke width to a tenth of a unit: finer differences no viewer shows.
double svgStrokeWidth(double width);

}  // namespace kavlo
