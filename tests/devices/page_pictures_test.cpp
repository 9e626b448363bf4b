#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "application_folder.h"
#include "core/page_setup.h"
#include "devices/facet_fill.h"
#include "devices/output_device.h"
#include "devices/page_output.h"
#include "devices/screen_measure.h"
#include "devices/svg_surface.h"
#include "render_command.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::shadedSurfacePage;
using test::TempDir;

// How far two pictures of one size differ: the mean difference of a channel (0..255), and the
// share of pixels that differ by more than half the range in some channel.
struct Difference {
    double mean = 0;
    double farShare = 0;
};

Difference differenceOf(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    long far = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int dr = std::abs(qRed(p[col]) - qRed(q[col]));
            const int dg = std::abs(qGreen(p[col]) - qGreen(q[col]));
            const int db = std::abs(qBlue(p[col]) - qBlue(q[col]));
            sum += dr + dg + db;
            far += std::max({dr, dg, db}) > 128 ? 1 : 0;
        }
    }
    const double pixels = static_cast<double>(x.width()) * x.height();
    return {sum / (3 * pixels), far / pixels};
}

std::string render(std::vector<std::string> args) {
    std::ostringstream err;
    return err.str() + "exit " + std::to_string(runRender(args, err));
}

TEST(PngPages, AnyDpiDrawsTheScreenPageScaled) {
    const TempDir dir;
    const std::string home = (dir.path() / "home").string();
    const QString screen = QString::fromStdString((dir.path() / "96.png").string());
    const QString fine = QString::fromStdString((dir.path() / "300.png").string());
    ASSERT_EQ(render({"--home", home, "-o", screen.toStdString()}), "exit 0");
    ASSERT_EQ(render({"--home", home, "--dpi", "300", "-o", fine.toStdString()}), "exit 0");
    const QImage page(screen);
    const QImage large(fine);
    EXPECT_EQ(page.size(), QSize(794, 1123)) << "96 DPI unless asked";
    EXPECT_EQ(large.size(), QSize(2481, 3508)) << "A4 at 300 DPI";
    EXPECT_EQ(large.dotsPerMeterX(), 11811);

    const Difference scaledDown = differenceOf(
        large.scaled(page.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), page);
    // Thin lines come back smoothed, and glyphs are hinted for their size.
    EXPECT_LT(scaledDown.mean, 7.0);
    EXPECT_LT(scaledDown.farShare, 0.02);
    // A page drawn unscaled in the corner, or two pixels off, is far from it.
    const Difference shifted = differenceOf(page.copy(2, 0, page.width(), page.height()), page);
    EXPECT_GT(shifted.mean, 2 * scaledDown.mean);
}

TEST(PngEncoder, EveryColourAndTheResolutionComeBack) {
    // From a blank page through packed palettes of every depth to more colours than one holds.
    for (const std::uint32_t colours : {1u, 2u, 3u, 16u, 17u, 256u, 257u, 1u << 24}) {
        QImage image(301, 7, QImage::Format_RGB32);
        std::uint32_t state = 12345;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                state = state * 1103515245u + 12345u;
                image.setPixel(x, y, 0xff000000u | ((state >> 8) % colours * 0x010101u * 61u));
            }
        }
        // A row all of one colour that is not the first.
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, 3, image.pixel(5, 2));
        }
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(3780);
        const QImage back = QImage::fromData(encodePng(image), "PNG");
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image) << colours;
        EXPECT_EQ(std::pair(back.dotsPerMeterX(), back.dotsPerMeterY()), std::pair(11811, 3780));
    }
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
}

TEST(FacetFill, FacetsSharingAnEdgeTileWithoutGapOrOverlap) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    FacetFill facets(image);
    // A square of 10.3 .. 30.3 cut along its diagonal: the pixels of centres inside it.
    const std::array<QPointF, 3> upper{{{10.3, 10.3}, {30.3, 10.3}, {30.3, 30.3}}};
    const std::array<QPointF, 3> lower{{{10.3, 10.3}, {30.3, 30.3}, {10.3, 30.3}}};
    facets.fill(upper, qRgb(255, 0, 0));
    facets.fill(lower, qRgb(0, 0, 255));
    int red = 0;
    int blue = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 10 && y < 30;  // centres in the square
            const QRgb pixel = image.pixel(x, y);
            red += pixel == qRgb(255, 0, 0) ? 1 : 0;
            blue += pixel == qRgb(0, 0, 255) ? 1 : 0;
            EXPECT_EQ(pixel != qRgb(255, 255, 255), inside) << x << "," << y;
        }
    }
    EXPECT_EQ(red + blue, 400);
    EXPECT_NEAR(red, blue, 20);
    // Outside the image nothing is written, and nothing wraps round.
    const std::array<QPointF, 4> across{{{-50, 5}, {90, 5}, {90, 7}, {-50, 7}}};
    facets.fill(across, qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, 5), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(39, 6), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, 7), qRgb(255, 255, 255));
}

// The metafile's page painted straight onto an image of `size`, as the vector picture means it.
QImage paintedMetafilePage(const PageRequest& request, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(size.width() / static_cast<double>(kPageWidthTwips),
                  size.height() / static_cast<double>(kPageHeightTwips));
    QImage twips = measuringDevice(1440);
    PainterSurface surface(painter, kVectorStrokes, QSizeF(kPageWidthTwips, kPageHeightTwips),
                           &twips);
    const DeviceProfile profile = metafileProfile();
    ScreenMeasure screen;
    SilentMessages silent;
    runPagePass(request, {surface, profile, silent, screen.surface(), {}});
    return image;
}

// The picture as another program draws it.
QImage drawnByRsvg(const QByteArray& svg, QSize size, const TempDir& dir) {
    const QString in = QString::fromStdString(dir.write("picture.svg", svg.toStdString()));
    const QString out = QString::fromStdString((dir.path() / "picture.png").string());
    QProcess rsvg;
    rsvg.start("rsvg-convert", {"-w", QString::number(size.width()), "-h",
                                QString::number(size.height()), "-b", "white", "-o", out, in});
    if (!rsvg.waitForFinished(60000) || rsvg.exitCode() != 0) {
        return {};
    }
    return QImage(out);
}

TEST(SvgPages, AnotherRendererDrawsTheSamePageAsThePainter) {
    const TempDir dir;
    ASSERT_TRUE(seedApplicationFolder(dir.path() / "home"));
    const QSize size(794, 1123);
    // The header comes from the user's path file: what XML escapes must reach the picture (and
    // the clipboard, which carries the same document) as text.
    PageSetup sample = sampleSetup((dir.path() / "home").string());
    sample.header.text = "R&D <page> \"1\"";
    for (const auto& [setup, surface] :
         {std::pair(sample, false), std::pair(shadedSurfacePage(dir, 100), true)}) {
        const PageRequest request{setup, {}, std::nullopt};
        PageOutcome outcome;
        const QByteArray svg = renderMetafilePicture(request, outcome);
        ASSERT_TRUE(outcome.allDrawn);

        // Readers that know only SVG 1.1 (office suites, Inkscape) must find every path's fill
        // and stroke given outright: by the path's class, declared once before its first use,
        // or by the attributes of the path and the groups around it. A path element holds a
        // bounded number of facets.
        QXmlStreamReader xml(svg);
        ASSERT_TRUE(xml.readNextStartElement());
        EXPECT_EQ(xml.attributes().value("viewBox").toString(), "0 0 11907 16840");
        const QRegularExpression rule("^\\.([a-z0-9]+)\\{fill:([^;]*);stroke:([^}]*)\\}$");
        std::map<QString, std::pair<QString, QString>> classes;
        std::vector<std::pair<QString, QString>> paint{{"#000", "none"}};
        int subpaths = 0, elements = 0, mostInOne = 0;
        std::set<QString> texts;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                paint.pop_back();
                continue;
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml.name() == QLatin1String("style")) {
                const QString text = xml.readElementText();
                const auto match = rule.match(text);
                ASSERT_TRUE(match.hasMatch()) << text.toStdString();
                EXPECT_TRUE(
                    classes
                        .emplace(match.captured(1), std::pair(match.captured(2), match.captured(3)))
                        .second)
                    << text.toStdString();
                continue;
            }
            const auto attributes = xml.attributes();
            auto [fill, stroke] = paint.back();
            if (attributes.hasAttribute("fill")) {
                fill = attributes.value("fill").toString();
            }
            if (attributes.hasAttribute("stroke")) {
                stroke = attributes.value("stroke").toString();
            }
            if (attributes.hasAttribute("class")) {
                const auto named = classes.find(attributes.value("class").toString());
                ASSERT_NE(named, classes.end()) << "declared before use";
                std::tie(fill, stroke) = named->second;
            }
            paint.emplace_back(fill, stroke);
            if (xml.name() == QLatin1String("text") && !surface) {
                texts.insert(xml.readElementText());
                paint.pop_back();
                continue;
            }
            if (xml.name() == QLatin1String("path")) {
                for (const QString& colour : {fill, stroke}) {
                    EXPECT_TRUE(
                        colour == "none" ||
                        QRegularExpression("^#([0-9a-f]{3}){1,2}$").match(colour).hasMatch())
                        << colour.toStdString();
                }
                const int here = static_cast<int>(attributes.value("d").count(u'm'));
                subpaths += here;
                mostInOne = std::max(mostInOne, here);
                ++elements;
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_LE(mostInOne, 256);
        EXPECT_EQ(texts.count("R&D <page> \"1\""), surface ? 0U : 1U);
        if (surface) {
            EXPECT_GE(subpaths, 99 * 99 * 2) << "every facet";
            EXPECT_LT(elements, subpaths * 19 / 20) << "neighbours of one colour share a path";
        }

        const QImage drawn = drawnByRsvg(svg, size, dir);
        ASSERT_EQ(drawn.size(), size) << "rsvg-convert (librsvg2-bin) draws the picture";
        const Difference difference = differenceOf(drawn, paintedMetafilePage(request, size));
        EXPECT_LT(difference.mean, 1.5);
        EXPECT_LT(difference.farShare, 0.002);
    }
}

// Text comes from the users' files: whatever XML forbids in it must not cost the whole picture,
// in the file or on the clipboard.
TEST(SvgPages, TextXmlForbidsIsReplacedAndThePictureStaysReadable) {
    const QString replaced(QChar::ReplacementCharacter);
    const struct {
        std::string text;
        QString shown;
    } cases[] = {
        {"a\uFFFEb\uFFFFc", "a" + replaced + "b" + replaced + "c"},
        {"\x01x\x1b[2J\ty\r\n", "x[2J\ty"},
        {"<&>\"'", "<&>\"'"},
        {"日本語", "日本語"},
        {"lone \xED\xA0\x80 and cut \xE6\x97",
         "lone " + replaced.repeated(3) + " and cut " + replaced.repeated(2)},
    };
    for (const auto& c : cases) {
        std::string document;
        SvgSurface surface(QRect(0, 0, 2000, 2000), {}, [&](std::string_view piece) {
            document += piece;
            return true;
        });
        surface.SelectObject(surface.CreateFontA(200, 0, 0, "Arial"));
        surface.TextOutA(100, 100, c.text);
        ASSERT_TRUE(surface.finish());

        QXmlStreamReader xml(QByteArray::fromStdString(document));
        while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::StartElement &&
                                 xml.name() == QLatin1String("text"))) {
        }
        const QString shown = xml.readElementText();
        while (!xml.atEnd()) {
            xml.readNext();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << document;
        EXPECT_EQ(shown, c.shown) << shown.toStdString();
    }
}

// The document is made on a thread of its own: it keeps the calls' order across hand-overs, and
// a surface given up before its end (a failed page) still ends that thread before it is gone.
TEST(SvgPages, CallsKeepTheirOrderAndAnAbandonedPictureEndsItsWriting) {
    for (const bool finished : {true, false}) {
        std::string document;
        {
            SvgSurface surface(QRect(0, 0, 200, 200), {}, [&](std::string_view piece) {
                document += piece;
                return true;
            });
            for (std::int32_t k = 0; k < 10000; ++k) {
                const DevicePoint line[] = {{k, 0}, {k, 1}};
                surface.Polyline(line);
                if (k % 2500 == 0) {
                    surface.TextOutA(k, 0, "t" + std::to_string(k));
                }
            }
            if (finished) {
                EXPECT_TRUE(surface.finish());
            }
        }
        if (!finished) {
            continue;  // what was written is thrown away with the file
        }
        std::size_t at = 0;
        for (const std::string text : {"t0", "t2500", "t5000", "t7500", "</svg>"}) {
            at = document.find(text, at);
            EXPECT_NE(at, std::string::npos) << text;
        }
        // Each line's one step, " 0 1", whichever path it joined.
        std::size_t steps = 0;
        for (std::size_t k = document.find(" 0 1"); k != std::string::npos;
             k = document.find(" 0 1", k + 1)) {
            ++steps;
        }
        EXPECT_EQ(steps, 10000u);
    }
}

}  // namespace
}  // namespace kavlo
