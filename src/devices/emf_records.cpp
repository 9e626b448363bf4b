#include "emf_records.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "render/device_profile.h"

namespace kavlo {
namespace {

static_assert(std::endian::native == std::endian::little, "metafile records are little-endian");

enum RecordType : std::uint32_t {
    kHeader = 1,
    kPolygon = 3,
    kPolyline = 4,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kEof = 14,
    kIntersectClipRect = 30,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetRop2 = 20,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kMoveToEx = 27,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kLineTo = 54,
    kExtCreateFontIndirectW = 82,
    kExtTextOutW = 84,
    kPolygon16 = 86,
    kPolyline16 = 87,
};

constexpr std::uint32_t kHeaderSize = kEmfHeaderSize;
// Records are handed to the sink in pieces of about this size.
constexpr std::size_t kPiece = 1 << 16;
constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kVersion = 0x10000;
constexpr std::uint32_t kAnisotropic = 8;
constexpr std::uint32_t kTransparent = 1;
constexpr std::uint32_t kCompatibleGraphics = 1;
constexpr std::uint32_t kStockFlag = 0x80000000;
constexpr std::uint32_t kDefaultCharset = 1;
// The page routines ask for weight 500, which their fonts show as the regular face; office
// programs would look for a medium one.
constexpr std::int32_t kRegularWeight = 400;
constexpr std::size_t kFaceUnits = 32;
// A font record's LOGFONTW is followed by the rest of a fixed-size LOGFONTPANOSE.
constexpr std::uint32_t kFontRecordSize = 332;
constexpr std::uint32_t kLogFontSize = 92;
constexpr std::uint32_t kTextRecordFixed = 76;
// Hundredths of a millimetre per twip.
constexpr double kHundredthsPerTwip = 100.0 / kTwipsPerMm;

std::uint32_t colorRef(Rgb c) {
    return std::uint32_t{c.r} | std::uint32_t{c.g} << 8 | std::uint32_t{c.b} << 16;
}

std::int32_t hundredthsOfMm(std::int32_t twips) {
    return static_cast<std::int32_t>(std::nearbyint(twips * kHundredthsPerTwip));
}

bool fitsShort(std::int32_t v) {
    return v >= std::numeric_limits<std::int16_t>::min() &&
           v <= std::numeric_limits<std::int16_t>::max();
}

std::uint32_t paddedTo4(std::uint32_t size) {
    return (size + 3) & ~std::uint32_t{3};
}

}  // namespace

EmfRecords::EmfRecords(EmfWindow window, ByteSink sink) : window_(window), sink_(std::move(sink)) {
    // The header is written last, when sizes and counts are known.
    bytes_.assign(kHeaderSize, '\0');
    ++records_;
    const auto pair = [&](std::uint32_t type, std::int32_t a, std::int32_t b) {
        begin(type, 16);
        putSigned(a);
        putSigned(b);
    };
    const auto single = [&](std::uint32_t type, std::uint32_t value) {
        begin(type, 12);
        put(value);
    };
    single(kSetMapMode, kAnisotropic);
    pair(kSetWindowOrgEx, window.left, window.top);
    pair(kSetWindowExtEx, window.width, window.height);
    pair(kSetViewportOrgEx, 0, 0);
    pair(kSetViewportExtEx, window.width, window.height);
    // What lies outside the window is recorded all the same; players leave it out.
    begin(kIntersectClipRect, 24);
    putSigned(window.left);
    putSigned(window.top);
    putSigned(window.left + window.width);
    putSigned(window.top + window.height);
    single(kSetBkMode, kTransparent);
    single(kSetTextAlign, 0);  // top-left: the point is the corner of the first cell
    single(kSetTextColor, colorRef(kBlack));
}

void EmfRecords::flush() {
    if (!sinkFailed_ && !sink_(bytes_)) {
        sinkFailed_ = true;
    }
    handedOver_ += bytes_.size();
    bytes_.clear();
}

void EmfRecords::begin(std::uint32_t type, std::uint32_t size) {
    if (bytes_.size() >= kPiece) {
        flush();
    }
    ++records_;
    put(type);
    put(size);
}

void EmfRecords::put(std::uint32_t value) {
    bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void EmfRecords::putSigned(std::int32_t value) {
    put(static_cast<std::uint32_t>(value));
}

// Record bounds are in device units, which start at the window's corner.
void EmfRecords::putBounds(DevicePoint min, DevicePoint max) {
    putSigned(min.x - window_.left);
    putSigned(min.y - window_.top);
    putSigned(max.x - window_.left);
    putSigned(max.y - window_.top);
}

void EmfRecords::uses(std::uint32_t handle) {
    highestHandle_ = std::max(highestHandle_, handle);
}

void EmfRecords::createPen(std::uint32_t handle, int style, int width, Rgb color) {
    uses(handle);
    begin(kCreatePen, 28);
    put(handle);
    putSigned(style);
    putSigned(width);
    putSigned(0);
    put(colorRef(color));
}

void EmfRecords::createSolidBrush(std::uint32_t handle, Rgb color) {
    uses(handle);
    begin(kCreateBrushIndirect, 24);
    put(handle);
    put(0);  // solid
    put(colorRef(color));
    put(0);
}

void EmfRecords::createFont(std::uint32_t handle, int height, int width, int escapement,
                            std::u16string_view face) {
    uses(handle);
    begin(kExtCreateFontIndirectW, kFontRecordSize);
    put(handle);
    putSigned(height);
    putSigned(width);
    putSigned(escapement);
    putSigned(escapement);  // glyphs turn with the line, whatever the reader's graphics mode
    putSigned(kRegularWeight);
    put(kDefaultCharset << 24);  // italic, underline, strike-out, character set
    put(0);                      // precisions, quality, pitch and family
    const std::size_t units = std::min(face.size(), kFaceUnits - 1);
    const std::size_t start = bytes_.size();
    bytes_.append(face.size() > 0 ? reinterpret_cast<const char*>(face.data()) : "", units * 2);
    bytes_.resize(start + kFaceUnits * 2 + (kFontRecordSize - 12 - kLogFontSize), '\0');
}

void EmfRecords::selectObject(std::uint32_t handle) {
    begin(kSelectObject, 12);
    put(handle);
}

void EmfRecords::selectStock(EmfStock object) {
    selectObject(kStockFlag | static_cast<std::uint32_t>(object));
}

void EmfRecords::deleteObject(std::uint32_t handle) {
    begin(kDeleteObject, 12);
    put(handle);
}

void EmfRecords::poly(std::uint32_t type16, std::uint32_t type32,
                      std::span<const DevicePoint> points) {
    DevicePoint min = points.front();
    DevicePoint max = points.front();
    for (const DevicePoint& p : points) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y)};
    }
    // Pages are far smaller than 16-bit twips; anything beyond keeps its full coordinates.
    const bool small = fitsShort(min.x) && fitsShort(min.y) && fitsShort(max.x) && fitsShort(max.y);
    const auto count = static_cast<std::uint32_t>(points.size());
    begin(small ? type16 : type32, 28 + count * (small ? 4 : 8));
    putBounds(min, max);
    put(count);
    const std::size_t start = bytes_.size();
    if (small) {
        bytes_.resize(start + 4 * points.size());
        char* out = bytes_.data() + start;
        for (const DevicePoint& p : points) {
            const std::int16_t xy[2] = {static_cast<std::int16_t>(p.x),
                                        static_cast<std::int16_t>(p.y)};
            std::memcpy(out, xy, sizeof xy);
            out += sizeof xy;
        }
    } else {
        for (const DevicePoint& p : points) {
            putSigned(p.x);
            putSigned(p.y);
        }
    }
}

void EmfRecords::polygon(std::span<const DevicePoint> points) {
    if (!points.empty()) {
        poly(kPolygon16, kPolygon, points);
    }
}

void EmfRecords::polyline(std::span<const DevicePoint> points) {
    if (!points.empty()) {
        poly(kPolyline16, kPolyline, points);
    }
}

void EmfRecords::moveTo(DevicePoint point) {
    begin(kMoveToEx, 16);
    putSigned(point.x);
    putSigned(point.y);
}

void EmfRecords::lineTo(DevicePoint point) {
    begin(kLineTo, 16);
    putSigned(point.x);
    putSigned(point.y);
}

void EmfRecords::setRop2(int mode) {
    begin(kSetRop2, 12);
    putSigned(mode);
}

// Without an advance for each character a reader lays the text out with the font it has for the
// face: advances measured with our fonts spread or squeeze the glyphs of any other font, and
// LibreOffice leaves gaps between them wherever its font is narrower (it shows a turned font at
// its natural width).
void EmfRecords::textOut(DevicePoint point, std::u16string_view text, DevicePoint boundsMin,
                         DevicePoint boundsMax) {
    const auto count = static_cast<std::uint32_t>(text.size());
    const std::uint32_t stringBytes = paddedTo4(count * 2);
    begin(kExtTextOutW, kTextRecordFixed + stringBytes);
    putBounds(boundsMin, boundsMax);
    put(kCompatibleGraphics);
    const auto scale = std::bit_cast<std::uint32_t>(static_cast<float>(kHundredthsPerTwip));
    put(scale);
    put(scale);
    putSigned(point.x);
    putSigned(point.y);
    put(count);
    put(kTextRecordFixed);  // the string's offset
    put(0);                 // no options, so no clipping rectangle is in force
    for (int k = 0; k < 4; ++k) {
        put(0);
    }
    put(0);  // no advances
    const std::size_t start = bytes_.size();
    bytes_.append(count > 0 ? reinterpret_cast<const char*>(text.data()) : "", count * 2);
    bytes_.resize(start + stringBytes, '\0');
}

std::string EmfRecords::finish() {
    begin(kEof, 20);
    put(0);   // no palette
    put(16);  // where it would be
    put(20);  // this record's size, for readers going backwards
    flush();

    put(kHeader);
    put(kHeaderSize);
    putSigned(0);
    putSigned(0);
    putSigned(window_.width - 1);
    putSigned(window_.height - 1);
    putSigned(0);
    putSigned(0);
    putSigned(hundredthsOfMm(window_.width));
    putSigned(hundredthsOfMm(window_.height));
    put(kSignature);
    put(kVersion);
    put(static_cast<std::uint32_t>(handedOver_));
    put(records_);
    // 16 bits of handles (index 0 is the picture itself), 16 reserved.
    put(std::min<std::uint32_t>(highestHandle_ + 1, 0xFFFF));
    put(0);  // no description
    put(0);
    put(0);  // no palette
    // The reference device: an A4 page of one twip per pixel.
    putSigned(kPageWidthTwips);
    putSigned(kPageHeightTwips);
    putSigned(210);
    putSigned(297);
    put(0);  // no pixel format
    put(0);
    put(0);  // no OpenGL
    putSigned(static_cast<std::int32_t>(std::nearbyint(kPageWidthTwips * 1000 / kTwipsPerMm)));
    putSigned(static_cast<std::int32_t>(std::nearbyint(kPageHeightTwips * 1000 / kTwipsPerMm)));
    return sinkFailed_ ? std::string() : std::exchange(bytes_, {});
}

}  // namespace kavlo
