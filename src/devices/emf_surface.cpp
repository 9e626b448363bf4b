#include "emf_surface.h"

#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace kavlo {
namespace {

std::u16string_view utf16Of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A layout finds each position by walking from its start, so long texts are laid out in pieces
// of at most this many units; a piece ends after a space where it can, where shaping seldom
// joins neighbours. Shorter texts are one layout.
constexpr qsizetype kPieceUnits = 256;

qsizetype pieceLength(const QString& text, qsizetype from) {
    const qsizetype length = std::min(kPieceUnits, text.size() - from);
    if (from + length == text.size()) {
        return length;
    }
    const qsizetype space = text.lastIndexOf(u' ', from + length - 1);
    if (space > from) {
        return space + 1 - from;
    }
    return text[from + length - 1].isHighSurrogate() ? length - 1 : length;
}

// Each UTF-16 unit's advance to the next, rounded so that the advances add up to the rounded
// width of every prefix; the first half of a surrogate pair advances nothing.
std::vector<std::int32_t> advancesOf(const QString& text, const DeviceFont& font,
                                     QPaintDevice* device) {
    std::vector<std::int32_t> advances(static_cast<std::size_t>(text.size()), 0);
    const double scale = font.scaleX * font.scale;
    double pieceStart = 0;
    std::int64_t reached = 0;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype length = pieceLength(text, from);
        QTextLayout layout(text.mid(from, length), font.font, device);
        const QTextLine line = layOutOneLine(layout);
        if (!line.isValid()) {
            break;
        }
        for (qsizetype k = 0; k < length; ++k) {
            if (text[from + k].isHighSurrogate() && from + k + 1 < text.size()) {
                continue;
            }
            const auto end =
                std::llround((pieceStart + line.cursorToX(static_cast<int>(k + 1))) * scale);
            advances[static_cast<std::size_t>(from + k)] = static_cast<std::int32_t>(end - reached);
            reached = end;
        }
        pieceStart += line.cursorToX(static_cast<int>(length));
        from += length;
    }
    return advances;
}

}  // namespace

EmfSurface::EmfSurface(QRect window, ByteSink sink)
    : FontSurface(measuringDevice(1440)),
      records_({window.left(), window.top(), window.width(), window.height()}, std::move(sink)) {}

ObjectId EmfSurface::CreatePen(int style, int width, Rgb color) {
    const ObjectId id = ObjectSurface::CreatePen(style, width, color);
    records_.createPen(static_cast<std::uint32_t>(id), style, width, color);
    return id;
}

ObjectId EmfSurface::CreateSolidBrush(Rgb color) {
    const ObjectId id = ObjectSurface::CreateSolidBrush(color);
    records_.createSolidBrush(static_cast<std::uint32_t>(id), color);
    return id;
}

ObjectId EmfSurface::CreateFontA(int height, int width, int escapement, const std::string& face) {
    const ObjectId id = ObjectSurface::CreateFontA(height, width, escapement, face);
    const QString name = QString::fromStdString(face);
    records_.createFont(static_cast<std::uint32_t>(id), height, width, escapement, utf16Of(name));
    return id;
}

ObjectId EmfSurface::SelectObject(ObjectId object) {
    const ObjectId previous = ObjectSurface::SelectObject(object);
    if (previous == 0) {
        return previous;  // no such object
    }
    switch (object) {
        case kStockPen:
            records_.selectStock(EmfStock::BlackPen);
            break;
        case kStockBrush:
            records_.selectStock(EmfStock::WhiteBrush);
            break;
        case kStockFont:
            records_.selectStock(EmfStock::DeviceDefaultFont);
            break;
        default:
            records_.selectObject(static_cast<std::uint32_t>(object));
    }
    return previous;
}

void EmfSurface::DeleteObject(ObjectId object) {
    // Only what the bookkeeping really frees: a selected or stock object stays, as in GDI.
    const int alive = liveObjects();
    ObjectSurface::DeleteObject(object);
    if (liveObjects() < alive) {
        records_.deleteObject(static_cast<std::uint32_t>(object));
    }
}

void EmfSurface::Polygon(std::span<const DevicePoint> points) {
    records_.polygon(points);
}

void EmfSurface::Polyline(std::span<const DevicePoint> points) {
    records_.polyline(points);
}

void EmfSurface::MoveToEx(std::int32_t x, std::int32_t y) {
    records_.moveTo({x, y});
}

void EmfSurface::LineTo(std::int32_t x, std::int32_t y) {
    records_.lineTo({x, y});
}

void EmfSurface::SetROP2(int mode) {
    records_.setRop2(mode);
}

void EmfSurface::TextOutA(std::int32_t x, std::int32_t y, const std::string& text) {
    const QString unicode = QString::fromUtf8(text);
    const DeviceFont& current = deviceFont();
    const std::vector<std::int32_t> advances = advancesOf(unicode, current, fontDevice());
    // The turned cell of the whole text, for the record's bounds.
    double width = 0;
    for (const std::int32_t a : advances) {
        width += a;
    }
    const double height = current.ascent + current.descent;
    const double angle = font().escapement / 10.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    DevicePoint min{x, y}, max{x, y};
    for (const auto& [u, v] :
         std::array<std::pair<double, double>, 3>{{{width, 0.0}, {0.0, height}, {width, height}}}) {
        const auto px = static_cast<std::int32_t>(std::lround(x + u * c + v * s));
        const auto py = static_cast<std::int32_t>(std::lround(y - u * s + v * c));
        min = {std::min(min.x, px), std::min(min.y, py)};
        max = {std::max(max.x, px), std::max(max.y, py)};
    }
    records_.textOut({x, y}, utf16Of(unicode), advances, min, max);
}

std::string EmfSurface::finish() {
    return records_.finish();
}

std::string renderEmfPicture(const DrawCallback& draw, QRect windowTwips) {
    std::string bytes;
    EmfSurface surface(windowTwips, [&](std::string_view piece) {
        bytes += piece;
        return true;
    });
    draw(surface);
    const std::string header = surface.finish();
    return bytes.replace(0, header.size(), header);
}

WriteResult writeEmfPicture(const std::filesystem::path& path, const DrawCallback& draw,
                            QRect windowTwips) {
    AtomicFile file(path);
    if (WriteResult opened = file.open(); !opened.ok()) {
        return opened;
    }
    EmfSurface surface(windowTwips, [&](std::string_view piece) { return file.write(piece); });
    draw(surface);
    // A failed write is remembered by the file and reported by commit.
    file.writeAt(surface.finish(), 0);
    return file.commit();
}

}  // namespace kavlo
