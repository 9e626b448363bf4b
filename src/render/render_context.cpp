#include "render_context.h"

#include "core/projection.h"

namespace kavlo {

DevicePoint RenderContext::device(float x, float y) const {
    return toDevice({x, y}, profile.unitsPerMmX, profile.unitsPerMmY);
}

}  // namespace kavlo
