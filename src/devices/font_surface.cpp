#include "font_surface.h"

namespace kavlo {

FontSurface::FontSurface(QImage fonts)
    : ownDevice_(std::move(fonts)), fontDevice_(&ownDevice_), currentFont_(fontDevice_) {}

FontSurface::FontSurface(QPaintDevice* fonts) : fontDevice_(fonts), currentFont_(fonts) {}

TextExtent FontSurface::textExtent(const std::string& text) {
    return currentFont_.extent(font(), QString::fromUtf8(text));
}

}  // namespace kavlo
