#include "devices/pdf_font_subset.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QPainterPath>
#include <QRawFont>

namespace kavlo {
namespace {

FontTables tablesOf(const QRawFont& font) {
    return [font](std::string_view tag) {
        const QByteArray table = font.fontTable(std::string(tag).c_str());
        return std::string(table.constData(), static_cast<std::size_t>(table.size()));
    };
}

std::uint32_t wordSum(const std::string& font) {
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k + 4 <= font.size(); k += 4) {
        sum += static_cast<std::uint32_t>(static_cast<unsigned char>(font[k]) << 24 |
                                          static_cast<unsigned char>(font[k + 1]) << 16 |
                                          static_cast<unsigned char>(font[k + 2]) << 8 |
                                          static_cast<unsigned char>(font[k + 3]));
    }
    return sum;
}

TEST(PdfFontSubset, KeepsTheShownGlyphsWithTheirPartsUnderTheirOwnIds) {
    QFont request("Liberation Sans");
    request.setPixelSize(100);
    request.setHintingPreference(QFont::PreferNoHinting);
    const QRawFont face = QRawFont::fromFont(request);
    ASSERT_TRUE(face.isValid());
    // The accented letter is built of two other glyphs.
    const QList<quint32> shown = face.glyphIndexesForString(QString::fromUtf8("Aé"));
    const quint32 unused = face.glyphIndexesForString("B").front();

    const std::string subset = trueTypeSubset(tablesOf(face), {shown.begin(), shown.end()});
    ASSERT_FALSE(subset.empty());
    EXPECT_EQ(wordSum(subset), 0xB1B0AFBAu) << "the font's checksum adjustment";
    EXPECT_LT(subset.size(), static_cast<std::size_t>(face.fontTable("glyf").size()) / 10);

    const QRawFont loaded(QByteArray(subset.data(), static_cast<qsizetype>(subset.size())), 100,
                          QFont::PreferNoHinting);
    ASSERT_TRUE(loaded.isValid());
    int outlined = 0;
    for (quint32 glyph = 0; glyph < std::max(shown[0], shown[1]) + 1; ++glyph) {
        outlined += loaded.pathForGlyph(glyph).isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(outlined, 5) << "the missing-glyph box, A, é and the two parts of é";
    for (const quint32 glyph : shown) {
        EXPECT_EQ(loaded.pathForGlyph(glyph), face.pathForGlyph(glyph)) << glyph;
    }
    EXPECT_EQ(loaded.advancesForGlyphIndexes(shown), face.advancesForGlyphIndexes(shown));
    EXPECT_TRUE(loaded.pathForGlyph(unused).isEmpty());

    const std::optional<TrueTypeMetrics> metrics = readTrueTypeMetrics(tablesOf(face));
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->unitsPerEm, 2048);
    EXPECT_NEAR(metrics->advance(shown[0]) * 100.0 / metrics->unitsPerEm,
                face.advancesForGlyphIndexes(shown)[0].x(), 1.0 / 64);
    EXPECT_FALSE(readTrueTypeMetrics([](std::string_view) { return std::string(); }));
    EXPECT_TRUE(trueTypeSubset([](std::string_view) { return std::string(); }, {1}).empty());
}

}  // namespace
}  // namespace kavlo
