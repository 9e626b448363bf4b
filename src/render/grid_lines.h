#pragma once

#include <span>
#include <vector>

#include "core/grid_array.h"
#include "core/spline.h"
#include "render_context.h"

namespace kavlo {

// Grid lines refined and projected to device points; the refinement's scratch is reused from
// line to line.
class GridLineProjector {
  public:
    GridLineProjector(const RenderContext& ctx, const PlacedGraph& g, float zscl);

    // How many points a refined line along x, or along y, has.
    int xLinePoints() const;
    int yLinePoints() const;

    // Refines grid line j of the lines along x (j = 1 is the back line, y max) into `points`,
    // xLinePoints() of them, from x max to x min.
    void projectXLine(int j, std::span<DevicePoint> points);
    // Refines the line of x index i along y into `points`, yLinePoints() of them, from y min to
    // y max.
    void projectYLine(int i, std::span<DevicePoint> points);

  private:
    void projectRefined(std::span<const float> refined, std::span<DevicePoint> points, float bx,
                        float by, float dx, float dy) const;

    const RenderContext& ctx_;
    const PlacedGraph& g_;
    float zscl_;
    SplineRefiner spline_;
    std::vector<float> line_;
};

// Every grid line in both directions, refined and projected, in device units: what the cells
// of a mesh or surface are outlined from. They grow with the grid times IPL (up to about 1 GB),
// so they live only while a mesh or surface is drawn. Indexed from 1, sized as the plot budget
// counts them.
struct RefinedLines {
    // The lines along x by (point from x min, line from the back).
    Array2<float> alongXx, alongXy;
    // The lines along y by (x index, point from y max).
    Array2<float> alongYx, alongYy;
};

RefinedLines refineAllLines(const RenderContext& ctx, const PlacedGraph& g, float zscl);

// The outline of the cell between x indices c and c + 1 and refined lines r (back) and r + 1
// (front) into `outline`, 4K + 1 points with K = IPL + 1: up the left side from the front corner,
// along the back, down the right side, along the front, and the first point again.
void buildCellOutline(const RefinedLines& lines, int ipl, int r, int c,
                      std::span<DevicePoint> outline);

}  // namespace kavlo
