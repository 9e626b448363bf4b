#pragma once

#include <QImage>
#include <QPaintDevice>
#include <string>

#include "font_mapping.h"
#include "render/object_surface.h"
#include "text_extent_cache.h"

namespace kavlo {

// The devices' common ground for text: the page's fonts sized and measured with the installed
// fonts for one paint device, so that a device measures text as it draws it.
class FontSurface : public ObjectSurface {
  public:
    FontSurface(const FontSurface&) = delete;
    FontSurface& operator=(const FontSurface&) = delete;

    TextExtent textExtent(const std::string& text) final;

  protected:
    // Fonts for an image of its own, such as a measuring device of some resolution.
    explicit FontSurface(QImage fonts);
    // Fonts for a device the caller keeps alive as long as the surface.
    explicit FontSurface(QPaintDevice* fonts);

    // Measures with the extents kept in `extents` (the caller's, alive as long as the surface),
    // and keeps its own there.
    void shareExtents(TextExtentCache& extents) { extents_ = &extents; }

    // The device font of the font now selected.
    const DeviceFont& deviceFont() { return currentFont_.get(font()); }
    QPaintDevice* fontDevice() const { return fontDevice_; }

  private:
    QImage ownDevice_;
    QPaintDevice* fontDevice_;
    CurrentFont currentFont_;
    TextExtentCache* extents_ = nullptr;
};

}  // namespace kavlo
