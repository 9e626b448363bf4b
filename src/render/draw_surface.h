#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/placed_graph.h"

namespace kavlo {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// 0xRRGGBB, a key for tables of colours.
constexpr std::uint32_t packedRgb(Rgb c) {
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A pen, brush or font made by a surface; 0 is no object.
using ObjectId = std::int32_t;

constexpr int kRopCopyPen = 13;

// The drawing operations every page routine draws through, in device units. Text is UTF-8; a
// text's point is the top-left corner of its first character cell, and a rotated text turns
// counter-clockwise about it by the font's escapement (tenths of a degree).
class DrawSurface {
  public:
    virtual ~DrawSurface() = default;

    virtual ObjectId createPen(int style, int width, Rgb color) = 0;
    virtual ObjectId createSolidBrush(Rgb color) = 0;
    virtual ObjectId createFont(int height, int width, int escapement, const std::string& face) = 0;
    // Makes the object current and returns the one of its kind it replaces.
    virtual ObjectId selectObject(ObjectId object) = 0;
    virtual void deleteObject(ObjectId object) = 0;

    // Fills the closed outline with the current brush and draws its edges with the current pen.
    virtual void polygon(std::span<const DevicePoint> points) = 0;
    virtual void polyline(std::span<const DevicePoint> points) = 0;
    virtual void moveTo(std::int32_t x, std::int32_t y) = 0;
    virtual void lineTo(std::int32_t x, std::int32_t y) = 0;
    virtual void setRasterOperation(int mode) = 0;

    virtual void drawText(std::int32_t x, std::int32_t y, const std::string& text) = 0;
    // Unrotated width and height of the text in the current font, device units.
    virtual TextExtent textExtent(const std::string& text) = 0;

    // Marks where a slot's or the header's drawing begins; only logs care.
    virtual void beginSlot(int /*slot*/) {}
    virtual void beginHeader() {}
};

}  // namespace kavlo
