#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <array>
#include <set>
#include <utility>

#include "devices/font_mapping.h"
#include "devices/page_output.h"

namespace kavlo {
namespace {

using Pixel = std::pair<int, int>;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

bool isWhite(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == 0xFFFFFFu;
}

std::set<Pixel> pixelsOf(const QImage& image, QRgb colour) {
    std::set<Pixel> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                found.emplace(x, y);
            }
        }
    }
    return found;
}

QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isWhite(image.pixel(x, y))) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// Runs the callback with a pen selected, then puts the stock pen back, as the page routines do.
DrawCallback withPen(int width, Rgb colour, std::function<void(DrawSurface&)> draw) {
    return [=](DrawSurface& surface) {
        const ObjectId pen = surface.CreatePen(0, width, colour);
        const ObjectId old = surface.SelectObject(pen);
        draw(surface);
        surface.SelectObject(old);
        surface.DeleteObject(pen);
    };
}

DrawCallback withFont(FontSpec spec, std::function<void(DrawSurface&)> draw) {
    return [=](DrawSurface& surface) {
        const ObjectId font =
            surface.CreateFontA(spec.height, spec.width, spec.escapement, spec.face);
        const ObjectId old = surface.SelectObject(font);
        draw(surface);
        surface.SelectObject(old);
        surface.DeleteObject(font);
    };
}

TextExtent measure(const FontSpec& spec, const std::string& text) {
    ScreenMeasure screen;
    TextExtent extent;
    withFont(spec,
             [&](DrawSurface& s) { extent = s.GetTextExtentPoint32A(text); })(screen.surface());
    return extent;
}

TEST(ScreenPage, IsTheA4PageAtFifteenTwipsPerPixel) {
    const QImage page = renderScreenPage([](DrawSurface&) {});
    EXPECT_EQ(page.size(), QSize(794, 1123));
    EXPECT_TRUE(inkBounds(page).isNull());
}

TEST(PainterSurfaceLines, ThinPolylineIsCrispAndExact) {
    const std::array<DevicePoint, 3> points{{{100, 100}, {140, 100}, {140, 130}}};
    const QImage page =
        renderScreenPage(withPen(1, kBlack, [&](DrawSurface& s) { s.Polyline(points); }));

    std::set<Pixel> expected;
    for (int x = 100; x <= 140; ++x) {
        expected.emplace(x, 100);
    }
    for (int y = 100; y <= 130; ++y) {
        expected.emplace(140, y);
    }
    EXPECT_EQ(pixelsOf(page, qRgb(0, 0, 0)), expected);
    EXPECT_EQ(inkBounds(page), QRect(100, 100, 41, 31)) << "no grey fringe around the line";
}

TEST(PainterSurfaceLines, LineToContinuesFromTheCurrentPoint) {
    const std::array<DevicePoint, 4> points{{{20, 30}, {80, 30}, {80, 90}, {40, 120}}};
    const QImage polyline =
        renderScreenPage(withPen(2, kBlack, [&](DrawSurface& s) { s.Polyline(points); }));
    const QImage lines = renderScreenPage(withPen(2, kBlack, [&](DrawSurface& s) {
        s.MoveToEx(points[0].x, points[0].y);
        for (std::size_t i = 1; i < points.size(); ++i) {
            s.LineTo(points[i].x, points[i].y);
        }
    }));
    EXPECT_FALSE(inkBounds(lines).isNull());
    EXPECT_EQ(pixelsOf(lines, qRgb(0, 0, 0)), pixelsOf(polyline, qRgb(0, 0, 0)));
}

TEST(PainterSurfaceLines, PenWidthIsDeviceUnits) {
    const QImage page = renderScreenPage(withPen(3, kBlack, [](DrawSurface& s) {
        s.MoveToEx(300, 300);
        s.LineTo(300, 400);
    }));
    int black = 0;
    for (int x = 290; x <= 310; ++x) {
        black += page.pixel(x, 350) == qRgb(0, 0, 0) ? 1 : 0;
    }
    EXPECT_EQ(black, 3);
}

TEST(PainterSurfaceLines, PolygonFillsWithBrushAndOutlinesWithPen) {
    const std::array<DevicePoint, 4> box{{{200, 200}, {260, 200}, {260, 240}, {200, 240}}};
    const QImage page = renderScreenPage(withPen(1, kRed, [&](DrawSurface& s) {
        const ObjectId brush = s.CreateSolidBrush(kBlue);
        const ObjectId old = s.SelectObject(brush);
        s.Polygon(box);
        s.SelectObject(old);
        s.DeleteObject(brush);
    }));
    EXPECT_EQ(page.pixel(230, 220), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(200, 220), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(230, 240), qRgb(255, 0, 0));
    EXPECT_EQ(inkBounds(page), QRect(200, 200, 61, 41));
}

TEST(FontMapping, JapaneseFacesResolveToIpaFonts) {
    const std::array<std::pair<const char*, const char*>, 4> faces{{
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},
    }};
    QImage device(8, 8, QImage::Format_RGB32);
    for (const auto& [face, family] : faces) {
        const DeviceFont font = makeDeviceFont(FontSpec{20, 0, 0, face}, &device);
        EXPECT_EQ(QFontInfo(font.font).family(), QString::fromLatin1(family)) << face;
    }
}

TEST(PainterSurfaceText, ExtentHeightIsTheRequestedCell) {
    for (const char* face : {"ＭＳ Ｐ明朝", "ＭＳ ゴシック", "Arial", "Times New Roman"}) {
        for (const int height : {12, 23, 45, 150}) {
            const TextExtent extent = measure(FontSpec{height, 0, 0, face}, "Ag");
            EXPECT_NEAR(extent.cy, height, 1) << face << " " << height;
        }
    }
}

TEST(PainterSurfaceText, ExtentWidthFollowsTheRequestedAverageWidth) {
    const std::string text = "xxxxxxxxxx";
    const TextExtent narrow = measure(FontSpec{15, 10, 0, "Courier New"}, text);
    const TextExtent wide = measure(FontSpec{15, 20, 0, "Courier New"}, text);
    EXPECT_NEAR(narrow.cx, 100, 10);
    EXPECT_NEAR(wide.cx, 2 * narrow.cx, 2);
    EXPECT_EQ(wide.cy, narrow.cy) << "width does not change the cell height";

    // Zero keeps the font's own proportions: a 15-unit Courier cell is about 8 units per letter.
    const TextExtent natural = measure(FontSpec{15, 0, 0, "Courier New"}, text);
    EXPECT_NEAR(natural.cx, 80, 10);
}

TEST(PainterSurfaceText, EscapementTurnsTextCounterClockwiseAboutItsPoint) {
    const FontSpec spec{30, 20, 900, "Arial"};
    const QImage page = renderScreenPage(
        withFont(spec, [](DrawSurface& s) { s.TextOutA(400, 600, "Kavlo plot"); }));
    const QRect ink = inkBounds(page);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), 3 * ink.width()) << "tall and narrow";
    EXPECT_GE(ink.left(), 399);
    EXPECT_LE(ink.right(), 400 + 31);
    EXPECT_LE(ink.bottom(), 601);
    EXPECT_LT(ink.top(), 600 - 100);
}

TEST(PainterSurfaceText, JapaneseTextInksWithinItsCell) {
    const FontSpec spec{40, 20, 0, "ＭＳ Ｐ明朝"};
    TextExtent extent;
    const QImage page = renderScreenPage(withFont(spec, [&](DrawSurface& s) {
        s.TextOutA(50, 50, "日本語");
        extent = s.GetTextExtentPoint32A("日本語");
    }));
    const QRect ink = inkBounds(page);
    ASSERT_FALSE(ink.isNull());
    // Full-width characters are two average widths each.
    EXPECT_NEAR(extent.cx, 3 * 2 * 20, 6);
    EXPECT_GT(ink.width(), extent.cx * 3 / 4);
    EXPECT_TRUE(QRect(50, 50, extent.cx + 1, extent.cy + 1).contains(ink));
}

class PageFiles : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void drawJapaneseLine(DrawSurface& surface) {
        withFont(FontSpec{300, 200, 0, "ＭＳ Ｐ明朝"}, [](DrawSurface& s) {
            s.TextOutA(1500, 1500, "日本語 text");
            s.MoveToEx(1500, 2000);
            s.LineTo(9000, 2000);
        })(surface);
    }

    QTemporaryDir dir_;
};

TEST_F(PageFiles, PdfIsOneA4Page) {
    ASSERT_TRUE(writePdfPage(path("page.pdf"), 600, drawJapaneseLine));
    const QByteArray pdf = contents(path("page.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // Qt snaps A4 to whole points.
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595.000000 842.000000]"));
    EXPECT_TRUE(pdf.contains("IPAPMincho"));
}

TEST_F(PageFiles, UnwritablePathsFailQuietly) {
    const QString missing = path("no such folder/page");
    EXPECT_FALSE(writePdfPage(missing + ".pdf", 600, drawJapaneseLine));
    EXPECT_FALSE(writeSvgPicture(missing + ".svg", drawJapaneseLine));
    EXPECT_FALSE(QFile::exists(missing + ".pdf"));
}

TEST_F(PageFiles, SvgIsTheWholePageInTwipsWithResolvedFontNames) {
    ASSERT_TRUE(writeSvgPicture(path("page.svg"), drawJapaneseLine));
    const QByteArray svg = contents(path("page.svg"));
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 11907 16840\""));
    EXPECT_TRUE(svg.contains("IPAPMincho"));
    EXPECT_FALSE(svg.contains("ＭＳ"));
    EXPECT_TRUE(svg.contains("stroke-width=\"8\"")) << "one-unit pens are widened for viewers";
    EXPECT_EQ(svg, renderSvgPicture(drawJapaneseLine));
}

TEST_F(PageFiles, SvgWindowShowsThatPartOfThePage) {
    const QRect window(1000, 2000, 3000, 4000);
    const std::array<DevicePoint, 4> square{
        {{1500, 2500}, {1800, 2500}, {1800, 2800}, {1500, 2800}}};
    const QByteArray svg = renderSvgPicture(
        [&](DrawSurface& s) {
            const ObjectId brush = s.CreateSolidBrush(kBlack);
            const ObjectId old = s.SelectObject(brush);
            s.Polygon(square);
            s.SelectObject(old);
            s.DeleteObject(brush);
        },
        window);
    ASSERT_TRUE(svg.contains("viewBox=\"0 0 3000 4000\""));

    // At a tenth of a twip per pixel the square lies 50 to 80 pixels from the corner.
    QSvgRenderer renderer(svg);
    QImage image(300, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    const QRect ink = inkBounds(image);
    EXPECT_NEAR(ink.left(), 50, 2);
    EXPECT_NEAR(ink.top(), 50, 2);
    EXPECT_NEAR(ink.right(), 80, 2);
    EXPECT_NEAR(ink.bottom(), 80, 2);
}

TEST_F(PageFiles, FacetsOutlinedInTheirOwnColourCoverTheirSeams) {
    // Two facets side by side, each edged in its fill colour, as shaded surfaces are drawn.
    const auto facets = [](DrawSurface& s) {
        const std::array<DevicePoint, 3> left{{{1000, 1000}, {2000, 1000}, {1000, 2000}}};
        const std::array<DevicePoint, 3> right{{{2000, 1000}, {2000, 2000}, {1000, 2000}}};
        for (const std::span<const DevicePoint> facet :
             {std::span<const DevicePoint>(left), std::span<const DevicePoint>(right)}) {
            const ObjectId pen = s.CreatePen(0, 1, Rgb{192, 255, 255});
            const ObjectId brush = s.CreateSolidBrush(Rgb{192, 255, 255});
            const ObjectId oldPen = s.SelectObject(pen);
            const ObjectId oldBrush = s.SelectObject(brush);
            s.Polygon(facet);
            s.SelectObject(oldPen);
            s.SelectObject(oldBrush);
            s.DeleteObject(pen);
            s.DeleteObject(brush);
        }
    };
    // Rendered back smoothly, no pixel along the shared diagonal lets the white through.
    QSvgRenderer renderer(renderSvgPicture(facets, QRect(0, 0, 3000, 3000)));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    for (int k = 35; k < 65; ++k) {
        EXPECT_LT(qRed(image.pixel(99 - k, k)), 200) << k;
    }
}

}  // namespace
}  // namespace kavlo
