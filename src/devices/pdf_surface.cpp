#include "pdf_surface.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "text_outline.h"

namespace kavlo {
namespace {

// Big enough that each piece compresses as well as the whole, small enough that the last one,
// compressed after the drawing, takes little time.
constexpr std::size_t kContentPiece = 1 << 19;
// Polygons with more corners are written as they come: the facets that repeat corners have few.
constexpr std::size_t kLargestAligned = 16;

void append(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// Three decimals are a thousandth of a dot or of a glyph, far below what shows.
void append(std::string& out, double value) {
    const double rounded = std::round(value * 1000.0) / 1000.0;
    if (rounded == std::round(rounded)) {
        append(out, static_cast<std::int64_t>(rounded));
        return;
    }
    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 3).ptr;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    while (text.back() == '0') {
        text.remove_suffix(1);
    }
    out += text;
}

void appendPoint(std::string& out, QPointF p, const char* op) {
    append(out, p.x());
    out += ' ';
    append(out, p.y());
    out += op;
}

void appendGlyph(std::string& out, std::uint32_t glyph) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", glyph & 0xffff);
    out += buffer;
}

// The code points of the text, each as text of its own.
std::vector<QString> codePoints(const QString& text) {
    std::vector<QString> points;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const qsizetype length = text[k].isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
        points.push_back(text.mid(k, length));
        k += length - 1;
    }
    return points;
}

}  // namespace

PdfSurface::PdfSurface(PdfDocument& document, const QPageLayout& layout, int dpi,
                       StrokeOptions options)
    : FontSurface(measuringDevice(dpi)),
      document_(document),
      content_(document.file()),
      options_(options),
      mediaBox_(layout.fullRect(QPageLayout::Point)),
      page_(QPointF(0.0, 0.0), QSizeF(layout.paintRectPixels(dpi).size())),
      fonts_(document.fonts()),
      palettes_(document.palettes()) {
    shareExtents(document.extents());
    // Dots to points, y downwards from the top-left of the printable area.
    const QRectF paper = layout.paintRect(QPageLayout::Point);
    const double pointsPerDot = 72.0 / dpi;
    out_.reserve(kContentPiece * 2);
    out_ = "q ";
    // In full: the scale multiplies every coordinate of the page.
    for (const double value :
         {pointsPerDot, 0.0, 0.0, -pointsPerDot, paper.left(), mediaBox_.height() - paper.top()}) {
        char buffer[32];
        out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
        out_ += ' ';
    }
    // Round caps and joins, as the painter's pens have.
    out_ += "cm 1 J 1 j\n";
}

void PdfSurface::endOperation() {
    if (out_.size() >= kContentPiece) {
        content_.add(std::move(out_));
        out_.clear();
        // Room for the piece and the operation that ends it: the text never moves as it grows.
        out_.reserve(kContentPiece * 2);
    }
}

void PdfSurface::setColour(Rgb colour, std::optional<PdfPalettes::Entry>& current,
                           const char* space, const char* set) {
    if (current && current->colour == colour) {
        return;
    }
    const PdfPalettes::Entry entry = palettes_.find(colour);
    if (!current || current->palette != entry.palette) {
        out_ += "/P";
        append(out_, std::int64_t{entry.palette});
        out_ += space;
    }
    append(out_, std::int64_t{entry.index});
    out_ += set;
    current = entry;
}

void PdfSurface::usePen(bool seam) {
    const double width = strokeWidth(pen(), options_, seam);
    if (width_ != width) {
        append(out_, width);
        out_ += " w ";
        width_ = width;
    }
    setColour(pen().color, stroke_, " CS ", " SC ");
}

void PdfSurface::useFill(Rgb color) {
    setColour(color, fill_, " cs ", " sc ");
}

void PdfSurface::path(std::span<const DevicePoint> points) {
    const char* op = " m ";
    for (const DevicePoint& p : points) {
        append(out_, std::int64_t{p.x});
        out_ += ' ';
        append(out_, std::int64_t{p.y});
        out_ += op;
        op = " l ";
    }
}

std::span<const DevicePoint> PdfSurface::alignedWithPrevious(std::span<const DevicePoint> points) {
    const std::size_t n = points.size();
    // Corner k of the polygon read from `start` in direction `step`.
    const auto at = [&](std::size_t start, int step, std::size_t k) -> const DevicePoint& {
        const std::size_t i = step > 0 ? (start + k < n ? start + k : start + k - n)
                                       : (start >= k ? start - k : start + n - k);
        return points[i];
    };
    // The corners both polygons share, in the same order, at the start and at the end of both.
    std::size_t best = 0;
    std::size_t bestStart = 0;
    int bestStep = 1;
    const std::size_t common = std::min(n, previous_.size());
    for (const int step : {1, -1}) {
        for (std::size_t start = 0; start < n && n <= kLargestAligned && common > 0; ++start) {
            if (at(start, step, 0) != previous_.front() &&
                at(start, step, n - 1) != previous_.back()) {
                continue;
            }
            std::size_t leading = 0;
            while (leading < common && at(start, step, leading) == previous_[leading]) {
                ++leading;
            }
            std::size_t trailing = 0;
            while (trailing < common && at(start, step, n - 1 - trailing) ==
                                            previous_[previous_.size() - 1 - trailing]) {
                ++trailing;
            }
            if (leading + trailing > best) {
                best = leading + trailing;
                bestStart = start;
                bestStep = step;
            }
        }
    }
    polygon_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        polygon_[k] = at(bestStart, bestStep, k);
    }
    previous_.swap(polygon_);
    return previous_;
}

void PdfSurface::polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    usePen(pen().color == brush().color);
    useFill(brush().color);
    // Closing the path draws the last edge; a last point that repeats the first adds nothing.
    if (points.size() > 2 && points.back() == points.front()) {
        points = points.first(points.size() - 1);
    }
    path(alignedWithPrevious(points));
    // The painter fills polygons by the odd-even rule.
    out_ += "b*\n";
    endOperation();
}

void PdfSurface::polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    usePen(false);
    path(points);
    out_ += "S\n";
    endOperation();
}

// Copy-pen is the only raster mode the pages use: plain painting over what lies below.
void PdfSurface::setRasterOperation(int /*mode*/) {}

void PdfSurface::fillPath(const QPainterPath& path) {
    if (path.isEmpty()) {
        return;
    }
    useFill(kBlack);
    for (int k = 0; k < path.elementCount(); ++k) {
        const QPainterPath::Element& e = path.elementAt(k);
        if (e.isMoveTo()) {
            appendPoint(out_, e, " m ");
        } else if (e.isLineTo()) {
            appendPoint(out_, e, " l ");
        } else if (e.isCurveTo() && k + 2 < path.elementCount()) {
            appendPoint(out_, e, " ");
            appendPoint(out_, path.elementAt(k + 1), " ");
            appendPoint(out_, path.elementAt(k + 2), " c ");
            k += 2;
        }
    }
    out_ += path.fillRule() == Qt::WindingFill ? "f\n" : "f*\n";
    endOperation();
}

void PdfSurface::showRun(const QGlyphRun& run, const QString& text, const QTransform& placement) {
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (glyphs.isEmpty()) {
        return;
    }
    const QRawFont raw = run.rawFont();
    const std::optional<int> font = fonts_.find(raw);
    if (!font) {
        // A face that cannot be embedded still shows, as outlines.
        QPainterPath outlines;
        for (qsizetype k = 0; k < glyphs.size(); ++k) {
            outlines.addPath(raw.pathForGlyph(glyphs[k]).translated(positions[k]));
        }
        outlines.setFillRule(Qt::WindingFill);
        fillPath(placement.map(outlines));
        return;
    }
    // Each glyph stands for the character the face gives it; the rest select as nothing.
    for (const QString& point : codePoints(text)) {
        const QList<quint32> ids = raw.glyphIndexesForString(point);
        if (ids.size() == 1 && glyphs.contains(ids.front())) {
            fonts_.use(*font, ids.front(), point);
        }
    }
    for (const quint32 glyph : glyphs) {
        fonts_.use(*font, glyph, QString());
    }

    useFill(kBlack);
    const double size = raw.pixelSize();
    out_ += "BT /F";
    append(out_, std::int64_t{*font});
    out_ += ' ';
    append(out_, size);
    out_ += " Tf ";
    // Glyph space is y-up, the page's dots y-down.
    const QPointF across(placement.m11(), placement.m12());
    const QPointF up(-placement.m21(), -placement.m22());
    qsizetype k = 0;
    while (k < glyphs.size()) {
        const QPointF origin = positions[k];
        for (const QPointF p : {across, up, placement.map(origin)}) {
            appendPoint(out_, p, " ");
        }
        out_ += "Tm [<";
        // Where the glyphs' widths leave the pen, thousandths of the size from the origin;
        // the painter's positions are kept by moving it where they differ.
        double pen = 0.0;
        for (; k < glyphs.size() && std::abs(positions[k].y() - origin.y()) < 1e-3; ++k) {
            const double target = (positions[k].x() - origin.x()) * 1000.0 / size;
            const double shift = std::round(pen - target);
            if (shift != 0.0) {
                out_ += "> ";
                append(out_, shift);
                out_ += " <";
                pen -= shift;
            }
            appendGlyph(out_, glyphs[k]);
            pen += fonts_.width(*font, glyphs[k]);
        }
        out_ += ">] TJ ";
    }
    out_ += "ET\n";
    endOperation();
}

void PdfSurface::drawText(std::int32_t x, std::int32_t y, const std::string& text) {
    const DeviceFont& current = deviceFont();
    const QString string = QString::fromUtf8(text);
    QTransform placement;
    placement.translate(x, y);
    placement.rotate(-font().escapement / 10.0);
    if (drawsAsOutline(current, page_.size())) {
        fillPath(clippedTextOutline(placement, current, string, page_));
        return;
    }
    QTextLayout layout(string, current.font, fontDevice());
    const QTextLine line = layOutOneLine(layout);
    if (!line.isValid()) {
        return;
    }
    // The baseline lies the font's ascent below the top of the cell, as the painter puts it.
    const QTransform glyphPlacement =
        QTransform::fromTranslate(0.0, current.ascent - line.ascent()) *
        QTransform::fromScale(current.scaleX, 1.0) * placement;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        showRun(run, string, glyphPlacement);
    }
}

void PdfSurface::finishPage() {
    out_ += "Q\n";
    content_.add(std::move(out_));
    out_.clear();
    const std::string contents = content_.finish();
    char mediaBox[64];
    std::snprintf(mediaBox, sizeof mediaBox, "/MediaBox [0 0 %f %f]", mediaBox_.width(),
                  mediaBox_.height());
    document_.addPage(std::string(mediaBox) + " /Contents " + contents);
}

}  // namespace kavlo
