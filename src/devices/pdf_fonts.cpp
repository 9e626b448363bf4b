#include "pdf_fonts.h"

#include <cmath>
#include <cstdio>

namespace kavlo {
namespace {

QString keyOf(const QRawFont& font) {
    return font.familyName() + '/' + font.styleName() + '/' + QString::number(font.weight()) + '/' +
           QString::number(font.style());
}

// A name without the spaces and punctuation PDF names would have to escape.
std::string postScriptName(const QRawFont& font) {
    std::string name;
    for (const QString& part : {font.familyName(), QString('-'), font.styleName()}) {
        for (const QChar c : part) {
            if (c.unicode() < 0x80 && (c.isLetterOrNumber() || c == '-')) {
                name += static_cast<char>(c.unicode());
            }
        }
    }
    return name;
}

std::string hex4(std::uint32_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", value & 0xffff);
    return buffer;
}

std::string scaled(int units, const TrueTypeMetrics& metrics) {
    return std::to_string(std::lround(units * 1000.0 / metrics.unitsPerEm));
}

std::string toUnicodeMap(const std::map<std::uint32_t, QString>& glyphs) {
    std::string map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    // A block holds at most a hundred entries.
    constexpr std::size_t kBlock = 100;
    std::vector<std::pair<std::uint32_t, QString>> entries;
    for (const auto& entry : glyphs) {
        if (!entry.second.isEmpty()) {
            entries.push_back(entry);
        }
    }
    for (std::size_t start = 0; start < entries.size(); start += kBlock) {
        const std::size_t end = std::min(entries.size(), start + kBlock);
        map += std::to_string(end - start) + " beginbfchar\n";
        for (std::size_t k = start; k < end; ++k) {
            map += '<' + hex4(entries[k].first) + "> <";
            for (const QChar c : entries[k].second) {
                map += hex4(c.unicode());
            }
            map += ">\n";
        }
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

}  // namespace

std::string subsetTag(const std::string& name, const std::map<std::uint32_t, QString>& glyphs) {
    // FNV-1a over the face and its glyph ids: the same subset gets the same tag every time.
    std::uint64_t hash = 1469598103934665603ull;
    const auto mix = [&](std::uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
    for (const char c : name) {
        mix(static_cast<unsigned char>(c));
    }
    for (const auto& entry : glyphs) {
        mix(entry.first);
    }
    std::string tag;
    for (int k = 0; k < 6; ++k) {
        tag += static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return tag;
}

std::optional<int> PdfFonts::find(const QRawFont& font) {
    // Characters no installed font covers come in a stand-in face of empty boxes, which has no
    // tables to embed and not even a family name to ask for.
    if (font.fontTable("head").isEmpty()) {
        return std::nullopt;
    }
    const QString key = keyOf(font);
    for (std::size_t k = 0; k < faces_.size(); ++k) {
        if (faces_[k].key == key) {
            return static_cast<int>(k);
        }
    }
    std::optional<TrueTypeMetrics> metrics = readTrueTypeMetrics(fontTablesOf(font));
    if (!metrics) {
        return std::nullopt;
    }
    faces_.push_back({font, key, std::move(*metrics), {}});
    return static_cast<int>(faces_.size() - 1);
}

void PdfFonts::use(int font, std::uint32_t glyph, const QString& text) {
    QString& known = faces_[static_cast<std::size_t>(font)].glyphs[glyph];
    if (known.isEmpty()) {
        known = text;
    }
}

int PdfFonts::width(int font, std::uint32_t glyph) const {
    const TrueTypeMetrics& metrics = faces_[static_cast<std::size_t>(font)].metrics;
    return static_cast<int>(std::lround(metrics.advance(glyph) * 1000.0 / metrics.unitsPerEm));
}

std::string PdfFonts::write(PdfFile& file) const {
    std::string resources;
    for (std::size_t k = 0; k < faces_.size(); ++k) {
        const Face& face = faces_[k];
        if (face.glyphs.empty()) {
            continue;
        }
        const TrueTypeMetrics& m = face.metrics;
        std::set<std::uint32_t> glyphs;
        for (const auto& entry : face.glyphs) {
            glyphs.insert(entry.first);
        }
        const std::string name = postScriptName(face.raw);
        const std::string baseFont = '/' + subsetTag(name, face.glyphs) + '+' + name;

        const int type0 = file.reserve();
        const int cidFont = file.reserve();
        const int descriptor = file.reserve();
        const int program = file.reserve();
        const int toUnicode = file.reserve();
        const int glyphMap = file.reserve();
        resources += "/F" + std::to_string(k) + ' ' + pdfReference(type0) + ' ';

        file.beginObject(type0);
        file.write("<< /Type /Font /Subtype /Type0 /BaseFont " + baseFont +
                   " /Encoding /Identity-H /DescendantFonts [" + pdfReference(cidFont) +
                   "] /ToUnicode " + pdfReference(toUnicode) + " >>");
        file.endObject();

        std::string widths;
        for (const std::uint32_t glyph : glyphs) {
            widths += std::to_string(glyph) + " [" +
                      std::to_string(width(static_cast<int>(k), glyph)) + "] ";
        }
        file.beginObject(cidFont);
        file.write("<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + baseFont +
                   " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                   " /FontDescriptor " +
                   pdfReference(descriptor) + " /CIDToGIDMap " + pdfReference(glyphMap) + " /W [" +
                   widths + "] >>");
        file.endObject();

        file.beginObject(descriptor);
        file.write("<< /Type /FontDescriptor /FontName " + baseFont + " /Flags 4 /FontBBox [" +
                   scaled(m.xMin, m) + ' ' + scaled(m.yMin, m) + ' ' + scaled(m.xMax, m) + ' ' +
                   scaled(m.yMax, m) + "] /ItalicAngle 0 /Ascent " + scaled(m.ascent, m) +
                   " /Descent " + scaled(m.descent, m) + " /CapHeight " + scaled(m.ascent, m) +
                   " /StemV 80 /FontFile2 " + pdfReference(program) + " >>");
        file.endObject();

        const TrueTypeSubset subset = trueTypeSubset(fontTablesOf(face.raw), glyphs);
        file.writeStream(program, "/Length1 " + std::to_string(subset.font.size()),
                         deflated(subset.font));
        // The content shows glyphs by their ids in the whole face.
        std::string map(2 * (*glyphs.rbegin() + 1), '\0');
        for (const auto& [id, newId] : subset.glyphIds) {
            if (id <= *glyphs.rbegin()) {
                map[2 * id] = static_cast<char>(newId >> 8);
                map[2 * id + 1] = static_cast<char>(newId & 0xff);
            }
        }
        file.writeStream(glyphMap, "", deflated(map));
        file.writeStream(toUnicode, "", deflated(toUnicodeMap(face.glyphs)));
    }
    return resources;
}

FontTables fontTablesOf(const QRawFont& font) {
    return [font](std::string_view tag) {
        const QByteArray table = font.fontTable(std::string(tag).c_str());
        return std::string(table.constData(), static_cast<std::size_t>(table.size()));
    };
}

}  // namespace kavlo
