#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draw_surface.h"

namespace kavlo {

struct PenSpec {
    int style = 0;
    int width = 1;
    Rgb color = kBlack;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

struct BrushSpec {
    Rgb color = kWhite;
    friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
};

struct FontSpec {
    int height = 16;
    int width = 0;
    int escapement = 0;
    std::string face;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The object bookkeeping every surface shares: handles, which pen, brush and font is current.
// A new surface starts with a black one-unit pen, a white brush and a default font, as a fresh
// device context does. Devices draw with pen(), brush() and font().
class ObjectSurface : public DrawSurface {
  public:
    ObjectSurface();

    ObjectId createPen(int style, int width, Rgb color) override;
    ObjectId createSolidBrush(Rgb color) override;
    ObjectId createFont(int height, int width, int escapement, const std::string& face) override;
    ObjectId selectObject(ObjectId object) override;
    void deleteObject(ObjectId object) override;

    // A line from the current point is a two-point polyline, on devices without lines of
    // their own.
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;

    // How many created objects are alive (stock objects not counted); leaks show here.
    int liveObjects() const;

  protected:
    // The pen, brush and font a new surface starts with, made first and in this order.
    static constexpr ObjectId kStockPen = 1;
    static constexpr ObjectId kStockBrush = 2;
    static constexpr ObjectId kStockFont = 3;

    const PenSpec& pen() const;
    const BrushSpec& brush() const;
    const FontSpec& font() const;
    // Whether the pen, brush or font now selected is the one the surface started with.
    bool stockPenSelected() const { return pen_ == kStockPen; }
    bool stockBrushSelected() const { return brush_ == kStockBrush; }
    bool stockFontSelected() const { return font_ == kStockFont; }

  private:
    enum class Kind : std::uint8_t { Free, Pen, Brush, Font };
    // One handle's object. Plain fields rather than a variant: a shaded page creates, selects
    // and deletes a pen and a brush for each of its facets.
    struct Object {
        Kind kind = Kind::Free;
        PenSpec pen;
        BrushSpec brush;
        FontSpec font;
    };
    static constexpr int kStockObjects = 3;

    Object& add(Kind kind);
    const Object* find(ObjectId id) const;
    ObjectId idOf(const Object& object) const;

    // Slot id - 1 holds object id; deleted slots are reused, as a device reuses its handles.
    std::vector<Object> objects_;
    std::vector<ObjectId> freeIds_;
    ObjectId pen_ = 0;
    ObjectId brush_ = 0;
    ObjectId font_ = 0;
    DevicePoint current_;
};

}  // namespace kavlo
