#pragma once

#include <cstdint>

#include "format_settings.h"
#include "grid.h"
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

// One graph read and placed on the page: its format settings, the grid just read and the frame
// placed for them (FXD and FYD then hold the angles turned by the slot's steps); device scales
// are the profile's.
struct PlacedGraph : FormatSettings, Grid, FrameCorners {};

}  // namespace kavlo
