#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "render/object_surface.h"

class QPaintDevice;

namespace kavlo {

// The installed family that stands in for a face name the page files ask for; other names pass
// through unchanged for fontconfig to resolve.
QString substituteFace(const std::string& face);

// A font request made concrete for one paint device, in that device's units.
struct DeviceFont {
    QFont font;
    // Horizontal painter scale that stretches the font to the requested average width.
    double scaleX = 1.0;
    double ascent = 0.0;
    double descent = 0.0;
};

DeviceFont makeDeviceFont(const FontSpec& spec, QPaintDevice* device);

}  // namespace kavlo
