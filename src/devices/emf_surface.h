#pragma once

#include <QImage>
#include <QRect>
#include <string>

#include "emf_object_table.h"
#include "emf_records.h"
#include "font_surface.h"
#include "page_output.h"

namespace kavlo {

// Records the page operations as an Enhanced Metafile for office programs, in twips, the
// picture the window on the page at its real size. The page's pens, brushes and fonts come and
// go facet by facet; the metafile keeps one object per description (see EmfObjectTable). Fonts
// keep the face names the page asks for, so the receiving machine uses its own; text stays text
// (UTF-16), laid out by the reader, and is measured at 1440 dots per inch. Pens are never
// thinner than the SVG's strokes: readers draw a width of a few twips as the hairline it is.
class EmfSurface final : public FontSurface {
  public:
    // The records go to `sink` as they are made (see EmfRecords).
    EmfSurface(QRect window, ByteSink sink);

    void polygon(std::span<const DevicePoint> points) override;
    void polyline(std::span<const DevicePoint> points) override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void setRasterOperation(int mode) override;
    void drawText(std::int32_t x, std::int32_t y, const std::string& text) override;

    // Ends the metafile and returns its header, for the first kEmfHeaderSize bytes the sink
    // took; empty when the sink refused any piece. The surface takes no more drawing after it.
    std::string finish();

  private:
    // `seam`: the edge of a facet in its own colour, drawn wide enough to close the seams.
    void usePen(bool seam = false);
    void useBrush();

    EmfRecords records_;
    EmfObjectTable objects_;
};

// The metafile of what `draw` draws, showing the window (twips) of the page.
std::string renderEmfPicture(const DrawCallback& draw, QRect windowTwips);
// The same written to `path` through the atomic writer as it is drawn, the header put in place
// at the end.
WriteResult writeEmfPicture(const std::filesystem::path& path, const DrawCallback& draw,
                            QRect windowTwips);

}  // namespace kavlo
