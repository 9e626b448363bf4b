#include <gtest/gtest.h>

#include <QBitmap>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <array>
#include <limits>

#include "devices/font_mapping.h"
#include "devices/page_output.h"
#include "devices/screen_measure.h"

namespace kavlo {
namespace {

QRect inkBounds(const QImage& image) {
    const QImage ink = image.createMaskFromColor(qRgb(255, 255, 255), Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(ink)).boundingRect();
}

// Runs `draw` with a font selected, then puts the stock font back, as the page routines do.
DrawCallback withFont(FontSpec spec, std::function<void(DrawSurface&)> draw) {
    return [=](DrawSurface& s) {
        const ObjectId font = s.CreateFontA(spec.height, spec.width, spec.escapement, spec.face);
        const ObjectId old = s.SelectObject(font);
        draw(s);
        s.DeleteObject(s.SelectObject(old));
    };
}

TextExtent measure(FontSpec spec, const std::string& text) {
    ScreenMeasure m;
    TextExtent e;
    withFont(spec, [&](DrawSurface& s) { e = s.GetTextExtentPoint32A(text); })(m.surface());
    return e;
}

// An SVG picture rendered onto a white image.
QImage rasterised(const QByteArray& svg, QSize size, bool smooth) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    QSvgRenderer(svg).render(&painter);
    return image;
}

TEST(PainterSurfaceLines, PensAndBrushesDrawCrisplyInDeviceUnits) {
    const std::array<DevicePoint, 3> corner{{{100, 100}, {140, 100}, {140, 130}}};
    const std::array<DevicePoint, 4> box{{{200, 200}, {260, 200}, {260, 240}, {200, 240}}};
    const QImage page = renderScreenPage([&](DrawSurface& s) {
        const ObjectId oldPen = s.SelectObject(s.CreatePen(0, 1, Rgb{255, 0, 0}));
        const ObjectId oldBrush = s.SelectObject(s.CreateSolidBrush(Rgb{0, 0, 255}));
        s.Polyline(corner);
        s.Polygon(box);
        s.DeleteObject(s.SelectObject(s.CreatePen(0, 3, kBlack)));
        s.MoveToEx(300, 300);
        s.LineTo(300, 400);
        s.DeleteObject(s.SelectObject(oldPen));
        s.DeleteObject(s.SelectObject(oldBrush));
    });
    // One-unit lines are exact, with no fringe in a neighbouring shade.
    EXPECT_EQ(inkBounds(page.copy(90, 90, 60, 50)), QRect(10, 10, 41, 31));
    EXPECT_EQ(inkBounds(page.copy(101, 101, 39, 30)), QRect());
    EXPECT_EQ(page.pixel(120, 100), qRgb(255, 0, 0));
    EXPECT_EQ(inkBounds(page.copy(290, 350, 21, 1)).width(), 3) << "pen width in device units";
    EXPECT_EQ(page.pixel(230, 220), qRgb(0, 0, 255)) << "filled with the brush";
    EXPECT_EQ(page.pixel(200, 220), qRgb(255, 0, 0)) << "outlined with the pen";
    EXPECT_EQ(inkBounds(page.copy(180, 180, 100, 80)), QRect(20, 20, 61, 41));
}

TEST(PainterSurfaceText, FontCellsAreHonouredTurnedAndInkedInIpaFonts) {
    for (const char* face : {"ＭＳ Ｐ明朝", "ＭＳ ゴシック", "Arial", "Times New Roman"}) {
        for (const int height : {12, 23, 45, 150}) {
            EXPECT_NEAR(measure({height, 0, 0, face}, "Ag").cy, height, 1) << face << height;
        }
    }
    // A given average width scales the letters; zero keeps the font's own, about 8 in 15.
    EXPECT_NEAR(measure({15, 10, 0, "Courier New"}, "xxxxxxxxxx").cx, 100, 10);
    EXPECT_NEAR(measure({15, 20, 0, "Courier New"}, "xxxxxxxxxx").cx, 200, 10);
    EXPECT_NEAR(measure({15, 0, 0, "Courier New"}, "xxxxxxxxxx").cx, 80, 10);
    // Full-width characters are two average widths each.
    const TextExtent extent = measure({40, 20, 0, "ＭＳ Ｐ明朝"}, "日本語");
    EXPECT_NEAR(extent.cx, 3 * 2 * 20, 6);

    const QImage page = renderScreenPage([&](DrawSurface& s) {
        withFont({30, 20, 900, "Arial"},
                 [](DrawSurface& t) { t.TextOutA(400, 600, "Kavlo plot"); })(s);
        withFont({40, 20, 0, "ＭＳ Ｐ明朝"},
                 [](DrawSurface& t) { t.TextOutA(50, 50, "日本語"); })(s);
    });
    // Escapement turns counter-clockwise about the text's point: tall, narrow, above and right.
    const QRect turned = inkBounds(page.copy(300, 300, 300, 400)).translated(300, 300);
    EXPECT_GT(turned.height(), 100);
    EXPECT_TRUE(QRect(399, 300, 33, 302).contains(turned));
    const QRect japanese = inkBounds(page.copy(0, 0, 300, 300));
    EXPECT_GT(japanese.width(), extent.cx * 3 / 4);
    EXPECT_TRUE(QRect(50, 50, extent.cx + 1, extent.cy + 1).contains(japanese));
}

TEST(PainterSurfaceText, EveryFaceOfThePageFilesHasItsOwnFamily) {
    // Proportional and fixed-pitch faces differ in every width, so each needs its own match.
    const std::pair<const char*, const char*> faces[] = {
        {"ＭＳ Ｐ明朝", "IPAPMincho"},           {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},       {"ＭＳ ゴシック", "IPAGothic"},
        {"Times New Roman", "Liberation Serif"}, {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},
    };
    QImage device(8, 8, QImage::Format_RGB32);
    for (const auto& [face, family] : faces) {
        EXPECT_EQ(QFontInfo(makeDeviceFont(FontSpec{20, 0, 0, face}, &device).font)
                      .family()
                      .toStdString(),
                  family)
            << face;
    }
}

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void drawJapaneseLine(DrawSurface& surface) {
    withFont(FontSpec{300, 200, 0, "ＭＳ Ｐ明朝"}, [](DrawSurface& s) {
        s.TextOutA(1500, 1500, "日本語 text");
        s.MoveToEx(1500, 2000);
        s.LineTo(9000, 2000);
    })(surface);
}

TEST(PageFiles, PdfIsOneA4PageAndSvgThePageOrAWindowInTwips) {
    const QTemporaryDir dir;
    const auto file = [&](const char* name) { return dir.filePath(name).toStdString(); };
    ASSERT_TRUE(writePdfPage(file("page.pdf"), 600, drawJapaneseLine).ok());
    const QByteArray pdf = contents(dir.filePath("page.pdf"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595.000000 842.000000]")) << "A4 in whole points";
    EXPECT_TRUE(pdf.contains("IPAPMincho"));
    ASSERT_TRUE(writeSvgPicture(file("page.svg"), drawJapaneseLine).ok());
    const QByteArray svg = contents(dir.filePath("page.svg"));
    EXPECT_TRUE(
        svg.contains("width=\"210.026mm\" height=\"297.039mm\" viewBox=\"0 0 11907 16840\""))
        << "A4 in twips";
    EXPECT_TRUE(svg.contains("IPAPMincho") && !svg.contains("ＭＳ")) << "resolved font names";
    EXPECT_TRUE(svg.contains("stroke-width=\"8\"")) << "one-unit pens are widened for viewers";

    const QByteArray window = renderSvgPicture(drawJapaneseLine, QRect(1000, 1900, 3000, 4000));
    ASSERT_TRUE(window.contains(
        "width=\"52.9167mm\" height=\"70.5556mm\" viewBox=\"1000 1900 3000 4000\""));
    // At a tenth of a twip per pixel the line starts 50 pixels right and 10 down.
    EXPECT_TRUE(QRect(48, 8, 253, 5).contains(inkBounds(rasterised(window, {300, 400}, false))));
}

TEST(PageFiles, FacetsOutlinedInTheirOwnColourCoverTheirSeams) {
    // Two facets side by side, each edged in its fill colour, as shaded surfaces are drawn.
    const auto facets = [](DrawSurface& s) {
        const std::array<DevicePoint, 3> left{{{1000, 1000}, {2000, 1000}, {1000, 2000}}};
        const std::array<DevicePoint, 3> right{{{2000, 1000}, {2000, 2000}, {1000, 2000}}};
        for (const std::span<const DevicePoint> facet :
             {std::span<const DevicePoint>(left), std::span<const DevicePoint>(right)}) {
            const ObjectId oldPen = s.SelectObject(s.CreatePen(0, 1, Rgb{192, 255, 255}));
            const ObjectId oldBrush = s.SelectObject(s.CreateSolidBrush(Rgb{192, 255, 255}));
            s.Polygon(facet);
            s.DeleteObject(s.SelectObject(oldPen));
            s.DeleteObject(s.SelectObject(oldBrush));
        }
    };
    // Rendered back smoothly, no pixel along the shared diagonal lets the white through.
    const QImage image =
        rasterised(renderSvgPicture(facets, QRect(0, 0, 3000, 3000)), {100, 100}, true);
    for (int k = 35; k < 65; ++k) {
        EXPECT_LT(qRed(image.pixel(99 - k, k)), 200) << k;
    }
}

int pixelsNotOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != colour ? 1 : 0;
        }
    }
    return count;
}

// A label size typed a thousand times too large asks for fonts far beyond the page and beyond
// what the font engine measures.
TEST(PainterSurfaceHugeText, MeasuresInProportionToOrdinarySizes) {
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
}

TEST(PainterSurfaceHugeText, GiantGlyphsCoverThePageAndOffPageTextLeavesItWhite) {
    const QSize page = renderScreenPage([](DrawSurface&) {}).size();
    const QPointF centre(page.width() / 2.0, page.height() / 2.0);
    // The screen's font for 32767 mm numeric labels, turned as the x labels are, and a cell
    // of a million units: the centre of a black square put on the page's centre.
    const FontSpec screenLabel{98301, 65534, 200, "ＭＳ ゴシック"};
    const FontSpec million{1000000, 0, 0, "ＭＳ ゴシック"};
    for (const FontSpec& spec : {screenLabel, million}) {
        const TextExtent cell = measure(spec, "■");
        const QPointF middle =
            QTransform().rotate(-spec.escapement / 10.0).map(QPointF(cell.cx / 2.0, cell.cy / 2.0));
        const QPoint at = (centre - middle).toPoint();
        const QImage covered = renderScreenPage(
            withFont(spec, [&](DrawSurface& s) { s.TextOutA(at.x(), at.y(), "■"); }));
        EXPECT_EQ(pixelsNotOf(covered, qRgb(0, 0, 0)), 0) << spec.height;

        const QImage outside = renderScreenPage(withFont(spec, [&](DrawSurface& s) {
            s.TextOutA(-3 * cell.cx, -3 * cell.cy, "■ 0.0 x 方向 (m)");
            s.TextOutA(page.width() + 1, 0, "■ 0.0");
            s.TextOutA(0, page.height() + 1, "■ 0.0");
        }));
        EXPECT_EQ(pixelsNotOf(outside, qRgb(255, 255, 255)), 0) << spec.height;
    }

    // The printed page takes the same text and stays a page of outlines.
    const QTemporaryDir dir;
    const QString pdf = dir.filePath("huge.pdf");
    ASSERT_TRUE(writePdfPage(pdf.toStdString(), 600,
                             withFont(million,
                                      [](DrawSurface& s) {
                                          s.TextOutA(-300000, -300000, "■");
                                          s.TextOutA(-3000000, 0, "0.0");
                                      }))
                    .ok());
    EXPECT_LT(QFileInfo(pdf).size(), 100000);
}

}  // namespace
}  // namespace kavlo
