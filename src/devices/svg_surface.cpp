#include "svg_surface.h"

#include <QFontInfo>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "render/device_profile.h"

namespace kavlo {
namespace {

// Big enough that writing costs little per element, small enough to be no burden.
constexpr std::size_t kSinkChunk = 1 << 16;

void append(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void append(std::string& out, double value) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.6g", value);
    out.append(buffer, static_cast<std::size_t>(n));
}

void appendColour(std::string& out, Rgb c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    out += buffer;
}

void appendEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters have no place in XML text.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
                    out += c;
                }
        }
    }
}

}  // namespace

SvgSurface::SvgSurface(QRect window, StrokeOptions options, SvgSink sink)
    : options_(options),
      sink_(std::move(sink)),
      metricsDevice_(measuringDevice(1440)),
      currentFont_(&metricsDevice_) {
    out_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg "
        "xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    append(out_, window.width() / static_cast<double>(kTwipsPerMm));
    out_ += "mm\" height=\"";
    append(out_, window.height() / static_cast<double>(kTwipsPerMm));
    out_ += "mm\" viewBox=\"";
    append(out_, std::int64_t{window.left()});
    out_ += ' ';
    append(out_, std::int64_t{window.top()});
    out_ += ' ';
    append(out_, std::int64_t{window.width()});
    out_ += ' ';
    append(out_, std::int64_t{window.height()});
    // The empty translation keeps whole-page pictures as they always were.
    out_ +=
        "\">\n<g transform=\"translate(0 0)\" stroke-linecap=\"round\" "
        "stroke-linejoin=\"round\">\n";
}

void SvgSurface::flush() {
    // After a failure the rest is dropped; the file is lost anyway.
    sinkFailed_ = sinkFailed_ || !sink_(out_);
    out_.clear();
}

void SvgSurface::endElement() {
    if (out_.size() >= kSinkChunk) {
        flush();
    }
}

void SvgSurface::points(std::span<const DevicePoint> points) {
    out_ += " points=\"";
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (k > 0) {
            out_ += ' ';
        }
        append(out_, std::int64_t{points[k].x});
        out_ += ',';
        append(out_, std::int64_t{points[k].y});
    }
    out_ += '"';
}

void SvgSurface::stroke(bool seam) {
    out_ += " stroke=\"";
    appendColour(out_, pen().color);
    out_ += "\" stroke-width=\"";
    append(out_, strokeWidth(pen(), options_, seam));
    out_ += '"';
}

void SvgSurface::Polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    out_ += "<polygon";
    this->points(points);
    out_ += " fill=\"";
    appendColour(out_, brush().color);
    out_ += '"';
    stroke(pen().color == brush().color);
    out_ += "/>\n";
    endElement();
}

void SvgSurface::Polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    out_ += "<polyline";
    this->points(points);
    out_ += " fill=\"none\"";
    stroke(false);
    out_ += "/>\n";
    endElement();
}

void SvgSurface::MoveToEx(std::int32_t x, std::int32_t y) {
    current_ = {x, y};
}

void SvgSurface::LineTo(std::int32_t x, std::int32_t y) {
    const std::array<DevicePoint, 2> line{current_, DevicePoint{x, y}};
    Polyline(line);
    current_ = {x, y};
}

// Copy-pen is the only raster mode the pages use: plain painting over what lies below.
void SvgSurface::SetROP2(int /*mode*/) {}

void SvgSurface::TextOutA(std::int32_t x, std::int32_t y, const std::string& text) {
    const DeviceFont& current = currentFont_.get(font());
    out_ += "<text transform=\"translate(";
    append(out_, std::int64_t{x});
    out_ += ' ';
    append(out_, std::int64_t{y});
    out_ += ") rotate(";
    append(out_, -font().escapement / 10.0);
    out_ += ") scale(";
    append(out_, current.scaleX);
    out_ += " 1)\" y=\"";
    append(out_, current.ascent);
    out_ += "\" font-family=\"";
    appendEscaped(out_, current.font.family().toStdString());
    out_ += "\" font-size=\"";
    append(out_, static_cast<std::int64_t>(std::llround(current.font.pixelSize() * current.scale)));
    out_ += "\" fill=\"#000000\" xml:space=\"preserve\">";
    appendEscaped(out_, text);
    out_ += "</text>\n";
    endElement();
}

TextExtent SvgSurface::GetTextExtentPoint32A(const std::string& text) {
    return currentFont_.extent(font(), QString::fromUtf8(text));
}

bool SvgSurface::finish() {
    out_ += "</g>\n</svg>\n";
    flush();
    return !sinkFailed_;
}

}  // namespace kavlo
