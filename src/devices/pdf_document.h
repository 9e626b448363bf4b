#pragma once

#include <string>

#include "byte_sink.h"
#include "pdf_file.h"
#include "pdf_fonts.h"
#include "pdf_palettes.h"
#include "text_extent_cache.h"

namespace kavlo {

// A PDF of any number of pages written front to back into a sink. Each page is written when it
// ends; the fonts and colours the pages share are written once after the last, so a document's
// memory does not grow with its pages.
class PdfDocument {
  public:
    explicit PdfDocument(ByteSink sink);

    PdfFile& file() { return file_; }
    PdfFonts& fonts() { return fonts_; }
    PdfPalettes& palettes() { return palettes_; }
    // What the pages' text measured: the pages share one resolution.
    TextExtentCache& extents() { return extents_; }

    // Writes a page whose dictionary holds `entries` (media box, contents) besides its parent and
    // the shared resources.
    void addPage(const std::string& entries);
    // The trailer; false when the sink refused any piece.
    bool finish();

  private:
    PdfFile file_;
    PdfFonts fonts_;
    PdfPalettes palettes_;
    TextExtentCache extents_;
    int pages_;
    int resources_;
    std::string kids_;
    int count_ = 0;
};

}  // namespace kavlo
