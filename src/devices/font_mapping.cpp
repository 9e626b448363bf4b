#include "font_mapping.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace kavlo {

namespace {

struct FaceSubstitute {
    std::string_view face;
    const char* family;
};

// fontconfig maps the Latin names by itself, but falls back to DejaVu for the Japanese ones.
constexpr std::array kSubstitutes{
    FaceSubstitute{"ＭＳ Ｐ明朝", "IPAPMincho"},
    FaceSubstitute{"ＭＳ 明朝", "IPAMincho"},
    FaceSubstitute{"ＭＳ Ｐゴシック", "IPAPGothic"},
    FaceSubstitute{"ＭＳ ゴシック", "IPAGothic"},
    FaceSubstitute{"Times New Roman", "Liberation Serif"},
    FaceSubstitute{"Arial", "Liberation Sans"},
    FaceSubstitute{"Courier New", "Liberation Mono"},
};

constexpr int kDefaultCellHeight = 16;
// FreeType's ascent overflows at about 16384 pixels. Every page side of our devices at their
// usual resolutions (the SVG page is 16840 twips tall) stays below this size.
constexpr int kLargestDirectSize = 17000;
constexpr int kModeratePixels = 1024;

QFont baseFont(const std::string& face, int pixelSize) {
    QFont font(substituteFace(face));
    font.setPixelSize(std::max(1, pixelSize));
    // The page files ask for weight 500, which means the regular face, not a medium one.
    font.setWeight(QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double cellHeight(const QFont& font, QPaintDevice* device) {
    const QFontMetricsF metrics(font, device);
    return metrics.ascent() + metrics.descent();
}

// Cell heights grow in steps, so try the neighbours of the proportional guess.
int pixelSizeForCell(const std::string& face, int cell, QPaintDevice* device) {
    constexpr int kProbeSize = 100;
    const double ratio = cellHeight(baseFont(face, kProbeSize), device) / kProbeSize;
    const int guess = std::max(1, static_cast<int>(std::lround(cell / ratio)));
    int best = guess;
    double bestError = std::abs(cellHeight(baseFont(face, guess), device) - cell);
    for (const int candidate : {guess - 1, guess + 1}) {
        if (candidate < 1) {
            continue;
        }
        const double error = std::abs(cellHeight(baseFont(face, candidate), device) - cell);
        if (error < bestError) {
            best = candidate;
            bestError = error;
        }
    }
    return best;
}

std::int32_t toDeviceUnits(double length) {
    constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::nearbyint(std::clamp(length, -kLargest, kLargest)));
}

}  // namespace

QString substituteFace(const std::string& face) {
    for (const auto& substitute : kSubstitutes) {
        if (substitute.face == face) {
            return QString::fromLatin1(substitute.family);
        }
    }
    return QString::fromStdString(face);
}

QImage measuringDevice(double dotsPerInch) {
    const int dotsPerMetre = static_cast<int>(dotsPerInch / 0.0254);
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

DeviceFont makeDeviceFont(const FontSpec& spec, QPaintDevice* device) {
    // A negative height asks for the em size instead of the cell, zero for the default.
    const bool emRequested = spec.height < 0;
    const double requested = emRequested        ? -static_cast<double>(spec.height)
                             : spec.height == 0 ? kDefaultCellHeight
                                                : spec.height;
    const bool direct = requested <= kLargestDirectSize;
    int pixelSize = kModeratePixels;
    if (direct) {
        pixelSize = emRequested ? static_cast<int>(requested)
                                : pixelSizeForCell(spec.face, static_cast<int>(requested), device);
    }

    DeviceFont result;
    result.font = baseFont(spec.face, pixelSize);
    // Vector viewers know nothing of our substitutions; name the family actually used.
    result.font.setFamily(QFontInfo(result.font).family());

    const QFontMetricsF metrics(result.font, device);
    if (!direct) {
        // Unhinted outlines and advances grow in proportion to the size.
        result.scale = requested / (emRequested ? pixelSize : metrics.ascent() + metrics.descent());
    }
    result.ascent = metrics.ascent() * result.scale;
    result.descent = metrics.descent() * result.scale;
    const double average = metrics.averageCharWidth() * result.scale;
    if (spec.width != 0 && average > 0.0) {
        result.scaleX = std::abs(static_cast<double>(spec.width)) / average;
    }
    return result;
}

bool drawsAsOutline(const DeviceFont& font, QSizeF pageSize) {
    const double cell = font.ascent + font.descent;
    return font.scale != 1.0 ||
           std::max(cell, cell * font.scaleX) > std::max(pageSize.width(), pageSize.height());
}

const DeviceFont& CurrentFont::get(const FontSpec& spec) {
    if (spec_ != spec) {
        font_ = makeDeviceFont(spec, device_);
        metrics_.emplace(font_.font, device_);
        spec_ = spec;
    }
    return font_;
}

TextExtent CurrentFont::extent(const FontSpec& spec, const QString& text) {
    const DeviceFont& current = get(spec);
    const double width = metrics_->horizontalAdvance(text) * current.scaleX * current.scale;
    return {toDeviceUnits(width), toDeviceUnits(current.ascent + current.descent)};
}

QTextLine layOutOneLine(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

}  // namespace kavlo
