#include "devices/pdf_font_subset.h"
#include "devices/pdf_fonts.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QPainterPath>
#include <QRawFont>

namespace kavlo {
namespace {

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

    const TrueTypeSubset subset = trueTypeSubset(fontTablesOf(face), {shown.begin(), shown.end()});
    ASSERT_EQ(subset.glyphIds.size(), 5u) << "the missing-glyph box, A, é and the two parts of é";
    EXPECT_EQ(subset.glyphIds.count(unused), 0u);
    EXPECT_EQ(wordSum(subset.font), 0xB1B0AFBAu) << "the font's checksum adjustment";
    EXPECT_LT(subset.font.size(), 6000u) << "the hinting programs and five glyphs";

    const QRawFont loaded(
        QByteArray(subset.font.data(), static_cast<qsizetype>(subset.font.size())), 100,
        QFont::PreferNoHinting);
    ASSERT_TRUE(loaded.isValid());
    for (const auto& [id, newId] : subset.glyphIds) {
        EXPECT_EQ(loaded.pathForGlyph(newId), face.pathForGlyph(id)) << id;
        EXPECT_FALSE(loaded.pathForGlyph(newId).isEmpty()) << id;
        EXPECT_EQ(loaded.advancesForGlyphIndexes({newId}), face.advancesForGlyphIndexes({id}))
            << id;
    }

    const std::optional<TrueTypeMetrics> metrics = readTrueTypeMetrics(fontTablesOf(face));
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->unitsPerEm, 2048);
    EXPECT_NEAR(metrics->advance(shown[0]) * 100.0 / metrics->unitsPerEm,
                face.advancesForGlyphIndexes(shown)[0].x(), 1.0 / 64);
    EXPECT_FALSE(readTrueTypeMetrics([](std::string_view) { return std::string(); }));
    EXPECT_TRUE(trueTypeSubset([](std::string_view) { return std::string(); }, {1}).font.empty());
}

}  // namespace
}  // namespace kavlo
