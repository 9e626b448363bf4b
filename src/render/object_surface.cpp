#include "object_surface.h"

namespace kavlo {

ObjectSurface::ObjectSurface() {
    pen_ = add(PenSpec{});
    brush_ = add(BrushSpec{});
    font_ = add(FontSpec{});
}

ObjectId ObjectSurface::add(Object object) {
    const ObjectId id = nextId_++;
    objects_.emplace(id, std::move(object));
    return id;
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
    const auto it = objects_.find(object);
    if (it == objects_.end()) {
        return 0;  // no such object: nothing changes, as with a null handle
    }
    ObjectId* slot = std::holds_alternative<PenSpec>(it->second)     ? &pen_
                     : std::holds_alternative<BrushSpec>(it->second) ? &brush_
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
    if (object <= kStockObjects || object == pen_ || object == brush_ || object == font_) {
        return;
    }
    objects_.erase(object);
}

const PenSpec& ObjectSurface::pen() const {
    return std::get<PenSpec>(objects_.at(pen_));
}
const BrushSpec& ObjectSurface::brush() const {
    return std::get<BrushSpec>(objects_.at(brush_));
}
const FontSpec& ObjectSurface::font() const {
    return std::get<FontSpec>(objects_.at(font_));
}

}  // namespace kavlo
