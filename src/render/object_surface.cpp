#include "object_surface.h"

#include <array>

namespace kavlo {

ObjectSurface::ObjectSurface() {
    add(Kind::Pen);
    add(Kind::Brush);
    add(Kind::Font);
    pen_ = kStockPen;
    brush_ = kStockBrush;
    font_ = kStockFont;
    static_assert(kStockObjects == kStockFont);
}

// The new object's slot, its fields left as its creator sets them.
ObjectSurface::Object& ObjectSurface::add(Kind kind) {
    if (freeIds_.empty()) {
        objects_.emplace_back().kind = kind;
        return objects_.back();
    }
    Object& object = objects_[static_cast<std::size_t>(freeIds_.back() - 1)];
    freeIds_.pop_back();
    object.kind = kind;
    return object;
}

const ObjectSurface::Object* ObjectSurface::find(ObjectId id) const {
    if (id < 1 || static_cast<std::size_t>(id) > objects_.size()) {
        return nullptr;
    }
    const Object& object = objects_[static_cast<std::size_t>(id - 1)];
    return object.kind == Kind::Free ? nullptr : &object;
}

ObjectId ObjectSurface::idOf(const Object& object) const {
    return static_cast<ObjectId>(&object - objects_.data() + 1);
}

int ObjectSurface::liveObjects() const {
    return static_cast<int>(objects_.size() - freeIds_.size()) - kStockObjects;
}

ObjectId ObjectSurface::createPen(int style, int width, Rgb color) {
    Object& object = add(Kind::Pen);
    object.pen = {style, width, color};
    return idOf(object);
}

ObjectId ObjectSurface::createSolidBrush(Rgb color) {
    Object& object = add(Kind::Brush);
    object.brush = {color};
    return idOf(object);
}

ObjectId ObjectSurface::createFont(int height, int width, int escapement, const std::string& face) {
    Object& object = add(Kind::Font);
    object.font = {height, width, escapement, face};
    return idOf(object);
}

ObjectId ObjectSurface::selectObject(ObjectId object) {
    const Object* found = find(object);
    if (!found) {
        return 0;  // no such object: nothing changes, as with a null handle
    }
    ObjectId* slot = found->kind == Kind::Pen     ? &pen_
                     : found->kind == Kind::Brush ? &brush_
                                                  : &font_;
    const ObjectId previous = *slot;
    *slot = object;
    return previous;
}

void ObjectSurface::deleteObject(ObjectId object) {
    // Stock and selected objects stay: deleting them is a caller's slip, not a reason to fail.
    if (object <= kStockObjects || object == pen_ || object == brush_ || object == font_ ||
        !find(object)) {
        return;
    }
    objects_[static_cast<std::size_t>(object - 1)].kind = Kind::Free;
    freeIds_.push_back(object);
}

const PenSpec& ObjectSurface::pen() const {
    return objects_[static_cast<std::size_t>(pen_ - 1)].pen;
}
const BrushSpec& ObjectSurface::brush() const {
    return objects_[static_cast<std::size_t>(brush_ - 1)].brush;
}
const FontSpec& ObjectSurface::font() const {
    return objects_[static_cast<std::size_t>(font_ - 1)].font;
}

void ObjectSurface::moveTo(std::int32_t x, std::int32_t y) {
    current_ = {x, y};
}

void ObjectSurface::lineTo(std::int32_t x, std::int32_t y) {
    const std::array<DevicePoint, 2> line{current_, DevicePoint{x, y}};
    polyline(line);
    current_ = {x, y};
}

}  // namespace kavlo
