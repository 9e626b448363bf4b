#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <string>

#include "font_surface.h"
#include "pdf_content.h"
#include "pdf_document.h"
#include "stroke_style.h"

class QGlyphRun;

namespace kavlo {

// Writes the page operations straight into a page of a PDF document, in device dots at the given
// resolution with the origin at the layout's margins. The content stream says only what
// changes from one shape to the next and is compressed as it is drawn, so a page of millions
// of facets is never held whole. Text is real text in embedded subsets of the fonts the
// painter would use, turned and stretched as the painter draws it.
class PdfSurface final : public FontSurface {
  public:
    PdfSurface(PdfDocument& document, const QPageLayout& layout, int dpi, StrokeOptions options);

    void polygon(std::span<const DevicePoint> points) override;
    void polyline(std::span<const DevicePoint> points) override;
    void setRasterOperation(int mode) override;
    void drawText(std::int32_t x, std::int32_t y, const std::string& text) override;

    // Ends the page; the surface takes no more drawing after it.
    void finishPage();

  private:
    void usePen(bool seam);
    void useFill(Rgb color);
    void setColour(Rgb colour, std::optional<PdfPalettes::Entry>& current, const char* space,
                   const char* set);
    void path(std::span<const DevicePoint> points);
    std::span<const DevicePoint> alignedWithPrevious(std::span<const DevicePoint> points);
    void fillPath(const QPainterPath& path);
    void showRun(const QGlyphRun& run, const QString& text, const QTransform& placement);
    void endOperation();

    PdfDocument& document_;
    PdfContent content_;
    StrokeOptions options_;
    QRectF mediaBox_;
    // The device's page in its units: text larger than it is drawn as outlines clipped to it.
    QRectF page_;
    PdfFonts& fonts_;
    PdfPalettes& palettes_;
    std::optional<PdfPalettes::Entry> stroke_;
    std::optional<PdfPalettes::Entry> fill_;
    std::optional<double> width_;
    std::string out_;
    // The last polygon as written: the next one is turned so that the corners they share come
    // in the same order at the same end, which compresses far better; a closed outline looks
    // the same from any corner in either direction.
    std::vector<DevicePoint> polygon_;
    std::vector<DevicePoint> previous_;
};

}  // namespace kavlo
