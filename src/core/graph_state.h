#pragma once

#include <cstdint>

#include "format_settings.h"
#include "grid.h"
#include "grid_array.h"
#include "view_steps.h"

namespace kavlo {

struct DevicePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

struct TextExtent {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// A graph frame's corners in page millimetres: the top of the z edge, the origin and the two
// floor ends.
struct FrameCorners {
    float TopX = 0, TopY = 0;
    float OrgX = 0, OrgY = 0;
    float XEndX = 0, XEndY = 0;
    float YEndX = 0, YEndY = 0;
};

// What the drawing of one graph works with: the format settings and the grid just read, the
// frame placed for them (FXD and FYD then hold the angles turned by the slot's steps) and the
// work arrays; device scales are the profile's.
struct GraphState : FormatSettings, Grid, FrameCorners {
    // Work arrays, sized for the grid after it is read, used from index 1.
    Array1<DevicePoint> Pts;
    Array2<float> SplA, SplIn;
    Array1<float> SplOut;
    Array2<float> XRefZ, XRefW;
    Array2<float> YRefZ, YRefW;
    Array1<DevicePoint> CellPts;
    // Work grids of the shaded surface, sized by it: the data nodes in page mm for shading.
    Array2<float> SfcX, SfcY, SfcZ;
    Array1<float> SplB, SplC, SplD;
    Array2<float> SplE;
};

}  // namespace kavlo
