#include "object_surface.h"

#include <array>

namespace kavlo {

ObjectSurface::ObjectSurface() {
    pen_ = add(PenSpec{});
    brush_ = add(BrushSpec{});
    font_ = add(FontSpec{});
    static_assert(kStockObjects == kStockFont);
}

ObjectId ObjectSurface::add(Object object) {
    if (freeIds_.empty()) {
        objects_.emplace_back(std::move(object));
        return static_cast<ObjectId>(objects_.size());
    }
    const ObjectId id = freeIds_.back();
    freeIds_.pop_back();
    objects_[static_cast<std::size_t>(id - 1)] = std::move(object);
    return id;
}

const ObjectSurface::Object* ObjectSurface::find(ObjectId id) const {
    if (id < 1 || static_cast<std::size_t>(id) > objects_.size()) {
        return nullptr;
    }
    const auto& slot = objects_[static_cast<std::size_t>(id - 1)];
    return slot ? &*slot : nullptr;
}

int ObjectSurface::liveObjects() const {
    return static_cast<int>(objects_.size() - freeIds_.size()) - kStockObjects;
}

ObjectId ObjectSurface::CreatePen(int style, int width, Rgb color) {
    return add(PenSpec{style, width, color});
}

ObjectId ObjectSurface::CreateSolidBrush(Rgb color) {
    return add(BrushSpec{color});
}

ObjectId ObjectSurface::CreateFontA(int height, int width, int escapement,
                                    const std::string& face) {
    return add(FontSpec{height, width, escapement, face});
}

ObjectId ObjectSurface::SelectObject(ObjectId object) {
    const Object* found = find(object);
    if (!found) {
        return 0;  // no such object: nothing changes, as with a null handle
    }
    ObjectId* slot = std::holds_alternative<PenSpec>(*found)     ? &pen_
                     : std::holds_alternative<BrushSpec>(*found) ? &brush_
                                                                 : &font_;
    const ObjectId previous = *slot;
    *slot = object;
    if (slot == &font_) {
        fontSelected();
    }
    return previous;
}

void ObjectSurface::DeleteObject(ObjectId object) {
    // Stock and selected objects stay: deleting them is a caller's slip, not a reason to fail.
    if (object <= kStockObjects || object == pen_ || object == brush_ || object == font_ ||
        !find(object)) {
        return;
    }
    objects_[static_cast<std::size_t>(object - 1)].reset();
    freeIds_.push_back(object);
}

const PenSpec& ObjectSurface::pen() const {
    return std::get<PenSpec>(*find(pen_));
}
const BrushSpec& ObjectSurface::brush() const {
    return std::get<BrushSpec>(*find(brush_));
}
const FontSpec& ObjectSurface::font() const {
    return std::get<FontSpec>(*find(font_));
}

void ObjectSurface::MoveToEx(std::int32_t x, std::int32_t y) {
    current_ = {x, y};
}

void ObjectSurface::LineTo(std::int32_t x, std::int32_t y) {
    const std::array<DevicePoint, 2> line{current_, DevicePoint{x, y}};
    Polyline(line);
    current_ = {x, y};
}

}  // namespace kavlo
