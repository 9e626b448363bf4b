#pragma once

#include <cstdint>
#include <optional>

#include "placed_graph.h"

namespace kavlo {

// Degrees to radians with the single-precision factor the stored pictures were drawn with.
constexpr float kRadPerDeg = 0.0174532f;
constexpr double kZoomBase = 1.4142136;

double sinDeg(float degrees);
double cosDeg(float degrees);

// Where a graph's frame lies: its floor angles turned by the slot's steps and its corners.
struct FrameGeometry {
    float FXD = 0, FYD = 0;
    FrameCorners corners;
};

// The frame of a graph with `settings` turned by `turnSteps`, hung from the higher of its floor
// ends for a slot whose left edge is `us` and whose row top is `vs` (page mm).
FrameGeometry frameGeometry(const FormatSettings& settings, double turnSteps, float us, float vs);

// Stores the frame geometry of the graph in `g` there: its turned angles and corners.
void placeFrame(PlacedGraph& g, double turnSteps, float us, float vs);

// Settles the z range (data range when ZMN = ZMX, then the slot's zoom steps) and returns the z
// scale in mm per z unit; ZMN and ZMX are stored back. No scale when the magnified ZMX is not above
// ZMN: there is then nothing sensible to plot.
std::optional<float> settleZScale(PlacedGraph& g, double zoomSteps);

// Height of a value above the frame floor, in z units; a negative LDR reverses the z axis.
float heightAboveFloor(const PlacedGraph& g, float z);

struct PagePoint {
    float x = 0;
    float y = 0;
};

// Nearest whole device unit, halves to even.
std::int32_t deviceRound(double value);

DevicePoint toDevice(PagePoint p, float unitsPerMmX, float unitsPerMmY);

}  // namespace kavlo
