#pragma once

#include "core/messages.h"
#include "core/placed_graph.h"
#include "device_profile.h"
#include "draw_surface.h"

namespace kavlo {

// What every page routine draws with: the device and its profile, where messages go, and a surface
// that measures text with screen fonts (the screen itself there).
struct RenderContext {
    DrawSurface& surface;
    const DeviceProfile& profile;
    MessageSink& messages;
    DrawSurface& screenMeasure;
    // False in a pass that only reads: the plots of the data would draw nothing anyone sees,
    // and they tell nothing.
    bool plots = true;
    // Page mm below which the output shows nothing: text past it is not drawn.
    float shownBottom = kPageHeightTwips / kTwipsPerMm;

    DevicePoint device(float x, float y) const;
};

// A pen, brush or font made, selected, and on leaving selected back and deleted.
class SelectedObject {
  public:
    SelectedObject(DrawSurface& surface, ObjectId object)
        : surface_(surface), object_(object), previous_(surface.selectObject(object)) {}
    ~SelectedObject() {
        surface_.selectObject(previous_);
        surface_.deleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    DrawSurface& surface_;
    ObjectId object_;
    ObjectId previous_;
};

}  // namespace kavlo
