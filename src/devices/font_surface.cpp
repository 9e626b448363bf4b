#include "font_surface.h"

namespace kavlo {

FontSurface::FontSurface(QImage fonts)
    : ownDevice_(std::move(fonts)), fontDevice_(&ownDevice_), currentFont_(fontDevice_) {}

FontSurface::FontSurface(QPaintDevice* fonts) : fontDevice_(fonts), currentFont_(fonts) {}

TextExtent FontSurface::textExtent(const std::string& text) {
    if (!extents_) {
        return currentFont_.extent(font(), QString::fromUtf8(text));
    }
    if (const auto kept = extents_->find(font(), text)) {
        return *kept;
    }
    const TextExtent extent = currentFont_.extent(font(), QString::fromUtf8(text));
    extents_->add(font(), text, extent);
    return extent;
}

}  // namespace kavlo
