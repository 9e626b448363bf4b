#pragma once

// Drawing on the devices' surfaces as the page routines do, shared by the device tests.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <span>

#include "application_folder.h"
#include "devices/page_output.h"
#include "devices/screen_measure.h"
#include "render/page_pass.h"
#include "test_files.h"

namespace kavlo::test {

inline QImage whiteImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// How far two pictures of one size differ: the mean difference of a channel (0..255), and the
// share of pixels that differ by more than `far` in some channel.
struct Difference {
    double mean = 255;
    double farShare = 1;
};

inline Difference differenceOf(const QImage& a, const QImage& b, int far = 128) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size() || a.isNull()) {
        return {};
    }
    double sum = 0, farCount = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const std::array d{std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))};
            sum += d[0] + d[1] + d[2];
            farCount += std::ranges::max(d) > far ? 1 : 0;
        }
    }
    const double pixels = static_cast<double>(a.width()) * a.height();
    return {sum / (3 * pixels), farCount / pixels};
}

// What another program printed, its output and its errors; it must be there and succeed.
struct ToolRun {
    QString out;
    std::string err;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString() << " is needed";
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << err;
    return {QString::fromUtf8(process.readAllStandardOutput()), err};
}

// Runs `draw` with a font selected, then puts the stock font back.
inline DrawCallback withFont(FontSpec spec, std::function<void(DrawSurface&)> draw) {
    return [=](DrawSurface& s) {
        const ObjectId font = s.createFont(spec.height, spec.width, spec.escapement, spec.face);
        const ObjectId old = s.selectObject(font);
        draw(s);
        s.deleteObject(s.selectObject(old));
    };
}

// `text` at (x, y) in a font selected for it.
inline DrawCallback textIn(FontSpec spec, std::int32_t x, std::int32_t y, std::string text) {
    return withFont(spec, [=](DrawSurface& s) { s.drawText(x, y, text); });
}

// A polygon edged with a pen and filled with a brush made for it, both freed after.
inline void colouredPolygon(DrawSurface& s, Rgb pen, Rgb brush,
                            std::span<const DevicePoint> points) {
    const ObjectId oldPen = s.selectObject(s.createPen(0, 1, pen));
    const ObjectId oldBrush = s.selectObject(s.createSolidBrush(brush));
    s.polygon(points);
    s.deleteObject(s.selectObject(oldPen));
    s.deleteObject(s.selectObject(oldBrush));
}

// The page pass on `surface`, text measured with the screen's fonts, messages dropped.
inline void quietPass(const PageRequest& request, DrawSurface& surface,
                      const DeviceProfile& profile) {
    ScreenMeasure screen;
    SilentMessages silent;
    runPagePass(request, {surface, profile, silent, screen.surface(), {}});
}

// The sample page of a home freshly seeded in its own folder.
struct SamplePage {
    SamplePage() {
        EXPECT_TRUE(seedApplicationFolder(dir.path()));
        request.setup = sampleSetup(dir.path().string());
    }
    TempDir dir;
    PageRequest request;
};

}  // namespace kavlo::test
