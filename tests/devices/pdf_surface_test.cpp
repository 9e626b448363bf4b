#include <gtest/gtest.h>

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QtEndian>
#include <array>
#include <tuple>

#include "devices/output_device.h"
#include "devices/pdf_font_subset.h"
#include "devices/pdf_fonts.h"
#include "devices/pdf_surface.h"
#include "devices/printer_output.h"
#include "drawing_helpers.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using namespace test;

constexpr int kDpi = 300;

// What a poppler tool prints for the file.
QString toolOutput(const QString& program, QStringList arguments) {
    const ToolRun run = runTool(program, arguments);
    // Poppler complains here of any flaw it had to mend.
    EXPECT_EQ(run.err, "") << program.toStdString();
    return run.out;
}

QImage rasterised(const fs::path& pdf, int page = 1) {
    const fs::path image = pdf.parent_path() / (pdf.stem().string() + "-gray");
    const QString number = QString::number(page);
    toolOutput("pdftoppm",
               {"-r", "50", "-gray", "-png", "-f", number, "-l", number, "-singlefile",
                QString::fromStdString(pdf.string()), QString::fromStdString(image.string())});
    return QImage(QString::fromStdString(image.string() + ".png"));
}

// The page as QPdfWriter and the painter surface make it.
fs::path painterPdf(const TempDir& dir, const std::string& name, const DrawCallback& draw,
                    const QPageLayout& layout = a4Layout()) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(paintPdfPage(buffer, layout, kDpi, [&](QPainter& painter) {
        PainterSurface surface(painter, printerPainterOptions(kDpi));
        draw(surface);
    }));
    return dir.write(name, pdf.toStdString());
}

// The share of a page that is not blank.
double inkedShare(const QImage& image) {
    return differenceOf(image, whiteImage(image.size()), 40).farShare;
}

DrawCallback printerPass(const PageRequest& request) {
    return [request](DrawSurface& surface) { quietPass(request, surface, printerProfile(kDpi)); };
}

// Text huge, turned and stretched, facets with shared edges, lines, all interleaved.
void drawMixed(DrawSurface& s) {
    const ObjectId oldPen = s.selectObject(s.createPen(0, 5, Rgb{200, 30, 30}));
    const ObjectId oldBrush = s.selectObject(s.createSolidBrush(Rgb{40, 90, 200}));
    const std::array<DevicePoint, 3> facet{{{300, 300}, {1500, 300}, {300, 1500}}};
    s.polygon(facet);
    const ObjectId oldFont = s.selectObject(s.createFont(120, 40, 0, "ＭＳ Ｐ明朝"));
    s.drawText(400, 1800, "日本語 text 0.5");
    s.deleteObject(s.selectObject(s.createFont(200, 0, 300, "Times New Roman")));
    s.drawText(1600, 900, "Turned");
    // A face without TrueType outlines is drawn as outlines.
    s.deleteObject(s.selectObject(s.createFont(150, 0, 0, "URW Gothic")));
    s.drawText(1200, 2900, "Outlined 123");
    s.deleteObject(s.selectObject(s.createFont(9000, 0, 0, "Arial")));
    s.drawText(-500, 1500, "W");
    s.moveTo(100, 3000);
    s.lineTo(2400, 3200);
    s.deleteObject(s.selectObject(oldFont));
    s.deleteObject(s.selectObject(oldPen));
    s.deleteObject(s.selectObject(oldBrush));
    // More colours than one indexed colour space holds, hues and shades mixed.
    for (int k = 0; k < 800; ++k) {
        const Rgb colour{static_cast<std::uint8_t>(k * 37), static_cast<std::uint8_t>(k * 11),
                         static_cast<std::uint8_t>(k / 4)};
        const DevicePoint at{300 + 60 * (k % 32), 3500 + 60 * (k / 32)};
        const std::array<DevicePoint, 4> square{
            {at, {at.x + 60, at.y}, {at.x + 60, at.y + 60}, {at.x, at.y + 60}}};
        colouredPolygon(s, colour, colour, square);
    }
}

TEST(PdfSurface, PagesLookAsThePainterDrawsThem) {
    const SamplePage sample;
    const TempDir& dir = sample.dir;
    // Differing pixels allowed (turned and outlined glyphs shift now and then), size to theirs.
    const std::tuple<const char*, DrawCallback, double, double> pages[] = {
        {"sample", printerPass(sample.request), 0.0005, 1.0},
        {"surface", printerPass({test::shadedSurfacePage(dir, 100), {}, {}}), 0.0005, 0.7},
        {"mixed", drawMixed, 0.003, 1.5}};
    std::vector<QImage> singles;
    for (const auto& [name, draw, tolerance, sizeShare] : pages) {
        const fs::path ours = dir.path() / (std::string(name) + ".pdf");
        ASSERT_TRUE(writePdfPages(ours, kDpi, 1, [&pageDraw = draw](int, DrawSurface& s) {
                        pageDraw(s);
                    }).ok());
        const fs::path painters = painterPdf(dir, std::string(name) + "-qt.pdf", draw);
        const QImage expected = rasterised(painters), actual = rasterised(ours);
        EXPECT_LT(fs::file_size(ours), fs::file_size(painters) * sizeShare) << name;
        // Shares of pixels that differ by more than a shade the eye would notice.
        EXPECT_LT(differenceOf(expected, actual, 40).farShare, tolerance) << name;
        // A comparison of two blank pages would prove nothing.
        EXPECT_GT(inkedShare(actual), 0.003) << name;
        singles.push_back(actual);
    }
    // One document of the three: each page as it is alone, on the fonts and colours they share.
    const fs::path all = dir.path() / "all.pdf";
    ASSERT_TRUE(
        writePdfPages(all, kDpi, 3, [&](int k, DrawSurface& s) { std::get<1>(pages[k])(s); }).ok());
    EXPECT_TRUE(toolOutput("pdfinfo", {QString::fromStdString(all.string())})
                    .contains(QRegularExpression("\\nPages: +3\\n")));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(rasterised(all, k + 1), singles[static_cast<std::size_t>(k)]) << k;
    }
    // Text stays text, in subsets of the faces the page asks for.
    const QString pdf = QString::fromStdString((dir.path() / "sample.pdf").string());
    const QString text = toolOutput("pdftotext", {pdf, "-"}) +
                         toolOutput("pdftotext", {pdf.chopped(10) + "mixed.pdf", "-"});
    for (const char* label : {"流線", "30 × 30", "x 方向", "日本語 text 0.5"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(label))) << label << text.toStdString();
    }
    const QString listed = toolOutput("pdffonts", {pdf});
    const QStringList fonts = listed.split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 3) << "two heading lines and the fonts";
    const QRegularExpression subset("^[A-Z]{6}\\+\\S+ +CID TrueType +Identity-H +yes +yes +yes");
    for (const QString& font : fonts.mid(2)) {
        EXPECT_TRUE(subset.match(font).hasMatch()) << font.toStdString();
    }
    EXPECT_TRUE(listed.contains("IPAPMincho"));
}

TEST(PdfSurface, MeasuresTextAsThePainterOnAPdfPage) {
    const std::array<FontSpec, 4> specs{{{120, 40, 0, "ＭＳ Ｐ明朝"},
                                         {200, 0, 300, "Times New Roman"},
                                         {-90, 0, 0, "Arial"},
                                         {600000, 0, 0, "ＭＳ ゴシック"}}};
    const auto extents = [&](DrawSurface& s) {
        std::vector<std::pair<int, int>> measured;
        for (const FontSpec& spec : specs) {
            withFont(spec, [&](DrawSurface& t) {
                const TextExtent e = t.textExtent("日本語 Ag 0.5");
                measured.emplace_back(e.cx, e.cy);
            })(s);
        }
        return measured;
    };
    const TempDir dir;
    std::vector<std::pair<int, int>> painters;
    painterPdf(dir, "measured.pdf", [&](DrawSurface& s) { painters = extents(s); });
    PdfDocument document([](std::string_view) { return true; });
    PdfSurface ours(document, a4Layout(), kDpi, printerPainterOptions(kDpi));
    EXPECT_EQ(extents(ours), painters);
}

TEST(PdfSurface, PrintJobsKeepThePrintersPaperAndMargins) {
    const TempDir dir;
    const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                             QMarginsF(18, 30, 12, 9), QPageLayout::Point);
    const QByteArray job = renderPdfPage(letter, kDpi, [](DrawSurface& s, int dpi) {
        EXPECT_EQ(dpi, kDpi);
        drawMixed(s);
    });
    const QImage expected = rasterised(painterPdf(dir, "painter.pdf", drawMixed, letter));
    const QImage actual = rasterised(dir.write("job.pdf", job.toStdString()));
    EXPECT_EQ(actual.size(), QSize(425, 550)) << "Letter at 50 dots per inch";
    EXPECT_LT(differenceOf(expected, actual, 40).farShare, 0.003);
    // Scripts no installed font covers print as the boxes of the face that stands in for them.
    const QByteArray boxes = renderPdfPage(letter, kDpi, [](DrawSurface& s, int) {
        textIn({300, 0, 0, "ＭＳ Ｐ明朝"}, 0, 0, "क ܐ ހ ക ក")(s);
    });
    EXPECT_GT(inkedShare(rasterised(dir.write("boxes.pdf", boxes.toStdString()))), 0.001);
}

std::uint32_t wordSum(const std::string& font) {
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k + 4 <= font.size(); k += 4) {
        sum += qFromBigEndian<quint32>(font.data() + k);
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
