#include <gtest/gtest.h>

#include <QBitmap>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <array>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "devices/facet_fill.h"
#include "devices/font_mapping.h"
#include "devices/graph_preview.h"
#include "devices/output_device.h"
#include "devices/round_stroke.h"
#include "devices/svg_surface.h"
#include "drawing_helpers.h"
#include "render_command.h"
#include "text_checks.h"

namespace kavlo {
namespace {

using namespace test;

TEST(PngPages, AnyDpiDrawsTheScreenPageScaled) {
    const TempDir dir;
    const auto rendered = [&](std::vector<std::string> args) {
        const std::string file = (dir.path() / (std::to_string(args.size()) + ".png")).string();
        args.insert(args.end(), {"--home", (dir.path() / "home").string(), "-o", file});
        std::ostringstream err;
        EXPECT_EQ(runRender(args, err), 0) << err.str();
        return QImage(QString::fromStdString(file));
    };
    const QImage page = rendered({}), large = rendered({"--dpi", "300"});
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

// Where an image is not white.
QRect inkOf(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(GraphPreview, ShowsThePixelsOfTheCanvasWithTheGraphAloneOnThePage) {
    SamplePage sample;
    PageSetup& setup = sample.request.setup;
    for (int slot = 2; slot <= kSlotCount; ++slot) {
        setup.file(FileKind::Format, slot).clear();
    }
    setup.file(FileKind::Comment, 1).clear();
    const std::string format = setup.file(FileKind::Format, 1);
    std::string typed = bytesOf(format);
    std::erase(typed, '\r');
    TextExtentCache extents;
    // Slot 1's files, what the canvas draws with, a format file's text in place of the file, the
    // screen's resolution.
    const std::tuple<std::string, bool, std::optional<std::string>, int> cases[] = {
        {setup.file(FileKind::Numeric, 1), true, std::nullopt, 96},
        {"", true, std::nullopt, 96},
        {setup.file(FileKind::Numeric, 1), false, typed, 96},
        {setup.file(FileKind::Numeric, 1), true, std::nullopt, 192},
    };
    for (const auto& [numeric, fromFile, text, dpi] : cases) {
        setup.file(FileKind::Numeric, 1) = numeric;
        const QImage canvas = renderScreenPage(
            [&](DrawSurface& s) { quietPass(sample.request, s, screenProfile()); }, dpi);
        SilentMessages quiet;
        const QImage preview =
            renderGraphPreview(1, {fromFile ? format : "", numeric, text}, quiet, extents, dpi);
        const QRect canvasInk = inkOf(canvas), previewInk = inkOf(preview);
        ASSERT_EQ(previewInk.size(), canvasInk.size()) << "the whole graph, " << dpi;
        EXPECT_EQ(canvas.copy(QRect(canvasInk.topLeft() - previewInk.topLeft(), preview.size())),
                  preview)
            << numeric;
    }
    // Nothing drawn: no picture.
    SilentMessages quiet;
    EXPECT_TRUE(renderGraphPreview(1, {"", "", "30, 30"}, quiet, extents).isNull());
}

TEST(PngEncoder, EveryColourAndTheResolutionComeBack) {
    // From a blank page through packed palettes of every depth to more colours than one holds.
    for (const std::uint32_t colours : {1u, 2u, 3u, 16u, 17u, 256u, 257u, 1u << 24}) {
        QImage image(301, 7, QImage::Format_RGB32);
        std::uint32_t state = 12345;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                state = state * 1103515245u + 12345u;
                // Row 3 is all of one colour, and not the first row.
                image.setPixel(x, y,
                               y == 3 ? image.pixel(5, 2)
                                      : 0xff000000u | ((state >> 8) % colours * 0x010101u * 61u));
            }
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
    int red = 0, blue = 0;
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
    EXPECT_EQ((std::array{image.pixel(0, 5), image.pixel(39, 6), image.pixel(0, 7)}),
              (std::array{qRgb(0, 255, 0), qRgb(0, 255, 0), qRgb(255, 255, 255)}));
    // A comb of many teeth, some corners on pixel centres, filled by the odd-even rule: a centre
    // is inside when an odd number of edges cross its row at or left of it.
    std::vector<QPointF> comb{{2.5, 38.5}, {2.5, 3.5}};
    for (int tooth = 0; tooth < 8; ++tooth) {
        comb.insert(comb.end(), {{4.0 + 4 * tooth, 3.5 + tooth % 3},
                                 {5.5 + 4 * tooth, 30.5},
                                 {6.5 + 4 * tooth, 20.5 - tooth}});
    }
    comb.emplace_back(37.5, 38.5);
    image.fill(Qt::white);
    facets.fill(comb, qRgb(0, 0, 0));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QPointF centre(x + 0.5, y + 0.5);
            int crossed = 0;
            for (std::size_t k = 0; k < comb.size(); ++k) {
                const QPointF a = comb[k], b = comb[(k + 1) % comb.size()];
                if ((a.y() <= centre.y()) != (b.y() <= centre.y()) &&
                    a.x() + (centre.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()) <=
                        centre.x()) {
                    ++crossed;
                }
            }
            EXPECT_EQ(image.pixel(x, y) == qRgb(0, 0, 0), crossed % 2 == 1) << x << "," << y;
        }
    }
}

QRect inkBounds(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
    const QImage ink = image.createMaskFromColor(background, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(ink)).boundingRect();
}

// The image as rows of '#' for ink and '.' for white.
std::vector<std::string> inkRows(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string& row = rows.emplace_back();
        for (int x = 0; x < image.width(); ++x) {
            row += image.pixel(x, y) == qRgb(255, 255, 255) ? '.' : '#';
        }
    }
    return rows;
}

TEST(RoundStroke, InksThePixelsWhoseCentresLieWithinHalfTheWidth) {
    struct Case {
        const char* name;
        std::vector<QPointF> points;
        bool closed;
        double width;
        std::vector<std::string> rows;
    };
    // clang-format off
    const Case cases[] = {
        {"horizontal, round ends", {{2.2, 5}, {8.6, 5}}, false, 2.5,
         {"............", "............", "............", "............",
          ".#########..", ".#########..", "............", "............"}},
        {"vertical", {{5.2, 2}, {5.2, 9}}, false, 1.5,
         {"........", ".....#..", "....##..", "....##..", "....##..", "....##..",
          "....##..", "....##..", "....##..", ".....#..", "........", "........"}},
        {"diagonal", {{1.3, 1.1}, {8.7, 6.2}}, false, 1.8,
         {".#.........", "###........", "..###......", "...###.....", ".....###...",
          "......###..", "........##.", "...........", "..........."}},
        {"one pixel wide between rows: the lower, centres on the ends in at the right",
         {{2.5, 5}, {7.5, 5}}, false, 1,
         {"..........", "..........", "..........", "..........", "..........",
          "...#####..", ".........."}},
        {"closed", {{1.4, 1.6}, {7.6, 1.6}, {7.6, 8.3}}, true, 2.6,
         {".#######...", "#########..", "#########..", ".####.###..", "..#######..",
          "...######..", "....#####..", ".....####..", "......###..", ".......#...",
          "..........."}},
        {"one point is a dot", {{3, 3}}, false, 3.2,
         {".......", "..##...", ".####..", ".####..", "..##...", ".......", "......."}},
        {"cut at the edges, not wrapped", {{-5, 1.2}, {20, 1.2}}, false, 2,
         {"##########", "##########", "..........", "..........", ".........."}},
        {"all outside", {{-4, -6}, {14, -3}, {14, 9}, {-4, 9}, {-4, 2}}, false, 2,
         {"..........", "..........", "..........", "..........", ".........."}},
    };
    // clang-format on
    for (const Case& c : cases) {
        QImage image =
            whiteImage(QSize(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size())));
        RoundStroke(image).stroke(c.points, c.closed, c.width, qRgb(0, 0, 0));
        EXPECT_EQ(inkRows(image), c.rows) << c.name;
    }
}

// The screen page at `dpi` as the PNG device draws it, but on an image of `format`.
QImage screenPageOn(QImage::Format format, int dpi, const DrawCallback& draw) {
    const QImage png = renderScreenPage([](DrawSurface&) {}, dpi);
    QImage image(png.size(), format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / double(kScreenDpi), dpi / double(kScreenDpi));
    QImage screen = screenImage(1, 1);
    PainterSurface surface(painter, PainterOptions{false, 1.0},
                           QSizeF(screenPixels(kPageWidthTwips), screenPixels(kPageHeightTwips)),
                           &screen);
    draw(surface);
    return image;
}

TEST(PngPages, OutlinedPolygonsAtPrintResolutionAreInkedAsThePainterWould) {
    // Cells drawn straight into the image: each filled, then outlined round and scaled; then
    // open lines in the stock black pen. The painter's own outlines of these differ by a pixel
    // or two.
    const std::vector<std::vector<DevicePoint>> cells{{{49, 32}, {49, 30}, {53, 36}, {47, 31}},
                                                      {{44, 43}, {43, 41}, {45, 48}, {41, 47}},
                                                      {{20, 13}, {22, 13}, {20, 15}, {21, 16}}};
    const std::vector<std::vector<DevicePoint>> lines{{{32, 29}, {27, 23}, {26, 28}},
                                                      {{17, 13}, {23, 11}, {17, 6}}};
    const double scale = 150.0 / kScreenDpi;
    const auto mapped = [&](const std::vector<DevicePoint>& points) {
        std::vector<QPointF> image;
        for (const DevicePoint p : points) {
            image.emplace_back(p.x * scale, p.y * scale);
        }
        return image;
    };
    QImage expected = renderScreenPage([](DrawSurface&) {}, 150);
    for (const auto& cell : cells) {
        FacetFill(expected).fill(mapped(cell), qRgb(255, 0, 0));
        RoundStroke(expected).stroke(mapped(cell), true, scale, qRgb(0, 0, 255));
    }
    for (const auto& line : lines) {
        RoundStroke(expected).stroke(mapped(line), false, scale, qRgb(0, 0, 0));
    }
    const QImage cellsDrawn = renderScreenPage(
        [&](DrawSurface& s) {
            for (const auto& cell : cells) {
                colouredPolygon(s, Rgb{0, 0, 255}, Rgb{255, 0, 0}, cell);
            }
            for (const auto& line : lines) {
                s.polyline(line);
            }
        },
        150);
    EXPECT_TRUE(cellsDrawn == expected);
    // Below the screen's resolution a one-unit pen is under a pixel: its lines stay unbroken.
    const QImage small = renderScreenPage(
        [](DrawSurface& s) {
            s.polyline(std::array<DevicePoint, 2>{{{100, 100}, {300, 100}}});
        },
        72);
    EXPECT_EQ(inkBounds(small.copy(0, 70, 300, 10)).width(), 151);
    // A whole mesh differs from the painter's only where the painter rounds the ends of its
    // outlines with flattened curves: a few pixels along the edges of dense cells.
    const TempDir dir;
    const PageRequest request{hiddenMeshPage(dir, 60), {}, {}};
    const DrawCallback drawMesh = [&](DrawSurface& s) { quietPass(request, s, screenProfile()); };
    for (const int dpi : {150, 300}) {
        const QImage ours = renderScreenPage(drawMesh, dpi);
        const QImage painters = screenPageOn(QImage::Format_ARGB32_Premultiplied, dpi, drawMesh);
        int both = 0, either = 0;
        for (int y = 0; y < ours.height(); ++y) {
            for (int x = 0; x < ours.width(); ++x) {
                const bool a = qGray(ours.pixel(x, y)) < 128;
                const bool b = qGray(painters.pixel(x, y)) < 128;
                both += a && b ? 1 : 0;
                either += a || b ? 1 : 0;
            }
        }
        EXPECT_GT(either, 20000) << dpi;
        EXPECT_GT(double(both) / either, 0.995) << dpi;
    }
}

// The metafile's page painted straight onto an image of `size`, as the vector picture means it.
QImage paintedMetafilePage(const PageRequest& request, QSize size) {
    QImage image = whiteImage(size);
    QPainter painter(&image);
    painter.scale(size.width() / static_cast<double>(kPageWidthTwips),
                  size.height() / static_cast<double>(kPageHeightTwips));
    QImage twips = measuringDevice(1440);
    PainterSurface surface(painter, kVectorStrokes, QSizeF(kPageWidthTwips, kPageHeightTwips),
                           &twips);
    quietPass(request, surface, metafileProfile());
    return image;
}

QImage drawnByRsvg(const QByteArray& svg, QSize size, const TempDir& dir) {
    const QString in = QString::fromStdString(dir.write("picture.svg", svg.toStdString()));
    const QString out = QString::fromStdString((dir.path() / "picture.png").string());
    runTool("rsvg-convert", {"-w", QString::number(size.width()), "-h",
                             QString::number(size.height()), "-b", "white", "-o", out, in});
    return QImage(out);
}

TEST(SvgPages, AnotherRendererDrawsTheSamePageAsThePainter) {
    const SamplePage home;
    const QSize size(794, 1123);
    for (const auto& [setup, surface] : {std::pair(home.request.setup, false),
                                         std::pair(shadedSurfacePage(home.dir, 100), true)}) {
        const PageRequest request{setup, {}, std::nullopt};
        PageOutcome outcome;
        const QByteArray svg = renderMetafilePicture(request, outcome);
        ASSERT_TRUE(outcome.allDrawn);
        // SVG 1.1 readers need each paint outright: colours in hex, a class declared before use.
        const QString text = QString::fromUtf8(svg);
        const QRegularExpression paint("^(none|#([0-9a-f]{3}){1,2})$");
        for (auto m = QRegularExpression("(?:fill|stroke)[=:]\"?([^\";}]*)").globalMatch(text);
             m.hasNext();) {
            const QString colour = m.next().captured(1);
            EXPECT_TRUE(paint.match(colour).hasMatch()) << colour.toStdString();
        }
        std::set<QString> classes;
        const QRegularExpression rule(
            "<style>\\.(\\w+)\\{fill:[^;]*;stroke:[^}]*\\}</style>|"
            "class=\"(\\w+)\"");
        for (auto m = rule.globalMatch(text); m.hasNext();) {
            const auto found = m.next();
            const bool declared = found.hasCaptured(1);
            EXPECT_EQ(classes.insert(found.captured(declared ? 1 : 2)).second, declared)
                << found.captured().toStdString();
        }
        int subpaths = 0, elements = 0, mostInOne = 0;
        for (auto m = QRegularExpression("<path[^>]* d=\"([^\"]*)\"").globalMatch(text);
             m.hasNext(); ++elements) {
            const int here = static_cast<int>(m.next().captured(1).count(u'm'));
            subpaths += here;
            mostInOne = std::max(mostInOne, here);
        }
        EXPECT_LE(mostInOne, 256);
        if (surface) {
            EXPECT_GE(subpaths, 99 * 99 * 2) << "every facet";
            EXPECT_LT(elements, subpaths * 19 / 20) << "neighbours of one colour share a path";
        } else {  // the fonts by the names they resolve to, one-unit pens widened for viewers
            EXPECT_TRUE(svg.contains("font-family=\"IPAPMincho\"") &&
                        svg.contains("stroke-width=\"8\"") && !svg.contains("ＭＳ"));
        }
        const QImage drawn = drawnByRsvg(svg, size, home.dir);
        ASSERT_EQ(drawn.size(), size) << "rsvg-convert (librsvg2-bin) draws the picture";
        const Difference difference = differenceOf(drawn, paintedMetafilePage(request, size));
        EXPECT_LT(difference.mean, 1.5);
        EXPECT_LT(difference.farShare, 0.002);
    }
}

// Text comes from the users' files: what XML forbids in it must not cost the whole picture.
TEST(SvgPages, TextXmlForbidsIsReplacedAndThePictureStaysReadable) {
    const QString replaced(QChar::ReplacementCharacter);
    const std::pair<std::string, QString> cases[] = {
        {"a\uFFFEb\uFFFFc", "a" + replaced + "b" + replaced + "c"},
        {"\x01x\x1b[2J\ty\r\n", "x[2J\ty"},
        {"<&>\"'日本語", "<&>\"'日本語"},
        {"lone \xED\xA0\x80 and cut \xE6\x97",
         "lone " + replaced.repeated(3) + " and cut " + replaced.repeated(2)},
    };
    for (const auto& [text, expected] : cases) {
        const QByteArray svg =
            renderSvgPicture(textIn({200, 0, 0, "Arial"}, 100, 100, text), QRect(0, 0, 2000, 2000));
        QXmlStreamReader xml(svg);
        QString shown;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("text")) {
                shown = xml.readElementText();
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << svg.data();
        EXPECT_EQ(shown, expected) << shown.toStdString();
    }
}

// The document is made on a thread of its own, which a surface given up early still ends.
TEST(SvgPages, CallsKeepTheirOrderAndAnAbandonedPictureEndsItsWriting) {
    std::string document;
    const auto drawn = [&](bool finished) {
        SvgSurface surface(QRect(0, 0, 200, 200), {}, [&](std::string_view piece) {
            document += piece;
            return true;
        });
        for (std::int32_t k = 0; k < 10000; ++k) {
            const DevicePoint line[] = {{k, 0}, {k, 1}};
            surface.polyline(line);
            if (k % 2500 == 0) {
                surface.drawText(k, 0, "t" + std::to_string(k));
            }
        }
        return !finished || surface.finish();
    };
    drawn(false);  // what was written is thrown away with the file
    document.clear();
    ASSERT_TRUE(drawn(true));
    std::size_t at = 0;
    for (const std::string text : {"t0", "t2500", "t5000", "t7500", "</svg>"}) {
        at = document.find(text, at);
        EXPECT_NE(at, std::string::npos) << text;
    }
    // Each line's one step, " 0 1", whichever path it joined.
    EXPECT_EQ(QByteArray::fromStdString(document).count(" 0 1"), 10000);
}

TextExtent measure(FontSpec spec, const std::string& text) {
    ScreenMeasure m;
    m.selectObject(m.createFont(spec.height, spec.width, spec.escapement, spec.face));
    return m.textExtent(text);
}

TEST(PainterSurfaceLines, PensAndBrushesDrawCrisplyInDeviceUnits) {
    const std::array<DevicePoint, 3> corner{{{100, 100}, {140, 100}, {140, 130}}};
    const std::array<DevicePoint, 4> box{{{200, 200}, {260, 200}, {260, 240}, {200, 240}}};
    const QImage page = renderScreenPage([&](DrawSurface& s) {
        colouredPolygon(s, Rgb{255, 0, 0}, Rgb{0, 0, 255}, box);
        const ObjectId oldPen = s.selectObject(s.createPen(0, 1, Rgb{255, 0, 0}));
        s.polyline(corner);
        s.deleteObject(s.selectObject(s.createPen(0, 3, kBlack)));
        s.moveTo(300, 300);
        s.lineTo(300, 400);
        s.deleteObject(s.selectObject(oldPen));
    });
    // One-unit lines are exact, with no fringe in a neighbouring shade.
    EXPECT_EQ(inkBounds(page.copy(90, 90, 60, 50)), QRect(10, 10, 41, 31));
    EXPECT_EQ(page.pixel(120, 100), qRgb(255, 0, 0));
    EXPECT_EQ(inkBounds(page.copy(290, 350, 21, 1)).width(), 3) << "pen width in device units";
    EXPECT_EQ(page.pixel(230, 220), qRgb(0, 0, 255)) << "filled with the brush";
    EXPECT_EQ(page.pixel(200, 220), qRgb(255, 0, 0)) << "outlined with the pen";
    EXPECT_EQ(inkBounds(page.copy(180, 180, 100, 80)), QRect(20, 20, 61, 41));
}

TEST(PainterSurfaceText, EachFaceHasItsOwnFamilyAndItsCellTurnedAndInked) {
    // Proportional and fixed-pitch faces differ in every width, so each needs its own match.
    const std::pair<const char*, const char*> faces[] = {
        {"ＭＳ Ｐ明朝", "IPAPMincho"},           {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},       {"ＭＳ ゴシック", "IPAGothic"},
        {"Times New Roman", "Liberation Serif"}, {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},
    };
    QImage device(8, 8, QImage::Format_RGB32);
    for (const auto& [face, family] : faces) {
        const QFontInfo chosen(makeDeviceFont(FontSpec{20, 0, 0, face}, &device).font);
        EXPECT_EQ(chosen.family().toStdString(), family) << face;
        for (const int height : {12, 150}) {
            EXPECT_NEAR(measure({height, 0, 0, face}, "Ag").cy, height, 1) << face << height;
        }
    }
    // A given average width scales the letters; zero keeps the font's own, about 8 in 15.
    EXPECT_NEAR(measure({15, 10, 0, "Courier New"}, "xxxxxxxxxx").cx, 100, 10);
    EXPECT_NEAR(measure({15, 0, 0, "Courier New"}, "xxxxxxxxxx").cx, 80, 10);
    // Full-width characters are two average widths each.
    const TextExtent extent = measure({40, 20, 0, "ＭＳ Ｐ明朝"}, "日本語");
    EXPECT_NEAR(extent.cx, 3 * 2 * 20, 6);
    const QImage page = renderScreenPage([](DrawSurface& s) {
        textIn({30, 20, 900, "Arial"}, 400, 600, "Kavlo plot")(s);
        textIn({40, 20, 0, "ＭＳ Ｐ明朝"}, 50, 50, "日本語")(s);
    });
    // Escapement turns counter-clockwise about the text's point: tall, narrow, above and right.
    const QRect turned = inkBounds(page.copy(300, 300, 300, 400)).translated(300, 300);
    EXPECT_GT(turned.height(), 100);
    EXPECT_TRUE(QRect(399, 300, 33, 302).contains(turned));
    const QRect japanese = inkBounds(page.copy(0, 0, 300, 300));
    EXPECT_GT(japanese.width(), extent.cx * 3 / 4);
    EXPECT_TRUE(QRect(50, 50, extent.cx + 1, extent.cy + 1).contains(japanese));
}

TEST(PageFiles, FacetsOutlinedInTheirOwnColourCoverTheirSeams) {
    // Two facets edged in their fill colour, as shaded surfaces are, whose blue #rgb cannot say.
    const auto facets = [](DrawSurface& s) {
        const std::array<DevicePoint, 3> left{{{1000, 1000}, {2000, 1000}, {1000, 2000}}};
        const std::array<DevicePoint, 3> right{{{2000, 1000}, {2000, 2000}, {1000, 2000}}};
        colouredPolygon(s, Rgb{255, 255, 192}, Rgb{255, 255, 192}, left);
        colouredPolygon(s, Rgb{255, 255, 192}, Rgb{255, 255, 192}, right);
    };
    // Rendered back smoothly, no pixel along the shared diagonal lets the white through.
    QImage image = whiteImage({100, 100});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer(renderSvgPicture(facets, QRect(0, 0, 3000, 3000))).render(&painter);
    EXPECT_EQ(image.pixel(40, 40), qRgb(255, 255, 192));
    for (int k = 35; k < 65; ++k) {
        EXPECT_LT(qBlue(image.pixel(99 - k, k)), 200) << k;
    }
}

// A label size typed a thousand times too large asks for fonts beyond what the engine measures.
TEST(PainterSurfaceHugeText, MeasuresInProportionAndDrawsWhereItShould) {
    for (const char* face : {"ＭＳ Ｐ明朝", "Arial"}) {
        const TextExtent small = measure({1000, 0, 0, face}, "Ag 0.5");
        const TextExtent huge = measure({1000000, 0, 0, face}, "Ag 0.5");
        EXPECT_NEAR(huge.cy, 1000000, 1) << face;
        EXPECT_NEAR(huge.cx, small.cx * 1000.0, small.cx * 1000.0 * 0.005) << face;
    }
    EXPECT_NEAR(measure({1000000, 500000, 0, "Courier New"}, "xxxxxxxxxx").cx, 5000000, 500000);
    // Em sizes and the extremes of the request stay finite and in proportion.
    EXPECT_NEAR(measure({-1000000, 0, 0, "Arial"}, "Ag").cy,
                measure({-1000, 0, 0, "Arial"}, "Ag").cy * 1000.0, 2000);
    EXPECT_GT(measure({std::numeric_limits<int>::min(), 0, 0, "Arial"}, "Ag").cy, 0);
    EXPECT_EQ(measure({std::numeric_limits<int>::max(), 0, 0, "Arial"}, "Ag Ag").cx,
              std::numeric_limits<std::int32_t>::max());
    // Giant glyphs cover the page; off the page they leave it white.
    const QSize page = renderScreenPage([](DrawSurface&) {}).size();
    const QPointF centre(page.width() / 2.0, page.height() / 2.0);  // where a black square goes
    // The screen font of 32767 mm labels, turned as x labels are, and a million-unit cell.
    const FontSpec screenLabel{98301, 65534, 200, "ＭＳ ゴシック"};
    const FontSpec million{1000000, 0, 0, "ＭＳ ゴシック"};
    for (const FontSpec& spec : {screenLabel, million}) {
        const TextExtent cell = measure(spec, "■");
        const QPointF middle =
            QTransform().rotate(-spec.escapement / 10.0).map(QPointF(cell.cx / 2.0, cell.cy / 2.0));
        const QPoint at = (centre - middle).toPoint();
        const QImage covered = renderScreenPage(textIn(spec, at.x(), at.y(), "■"));
        EXPECT_EQ(inkBounds(covered, qRgb(0, 0, 0)), QRect()) << spec.height;

        const QImage outside = renderScreenPage(withFont(spec, [&](DrawSurface& s) {
            s.drawText(-3 * cell.cx, -3 * cell.cy, "■ 0.0 x 方向 (m)");
            s.drawText(page.width() + 1, 0, "■ 0.0");
            s.drawText(0, page.height() + 1, "■ 0.0");
        }));
        EXPECT_EQ(inkBounds(outside), QRect()) << spec.height;
    }
}

}  // namespace
}  // namespace kavlo
