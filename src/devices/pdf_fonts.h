#pragma once

#include <QRawFont>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pdf_file.h"
#include "pdf_font_subset.h"

namespace kavlo {

// The fonts of a PDF page: each distinct face one composite font whose codes are the face's
// glyph ids, embedded as a subset of the glyphs shown, with the text of each glyph so that viewers
// can select and search it.
class PdfFonts {
  public:
    // The font's number among the page's fonts (its resource is /F<number>); nothing when the
    // face cannot be embedded.
    std::optional<int> find(const QRawFont& font);
    // Notes that the glyph is shown and stands for `text`.
    void use(int font, std::uint32_t glyph, const QString& text);
    // The font's width of the glyph, thousandths of the font size.
    int width(int font, std::uint32_t glyph) const;

    // Writes the fonts' objects and returns the entries of the page's font dictionary.
    std::string write(PdfFile& file) const;

  private:
    struct Face {
        QRawFont raw;
        QString key;
        TrueTypeMetrics metrics;
        std::map<std::uint32_t, QString> glyphs;
    };
    std::vector<Face> faces_;
};

// Six capitals that set apart subsets of one face with different glyphs.
// The tables of an installed font, as the subsetter reads them.
FontTables fontTablesOf(const QRawFont& font);

std::string subsetTag(const std::string& name, const std::map<std::uint32_t, QString>& glyphs);

}  // namespace kavlo
