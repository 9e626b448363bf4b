#pragma once

#include <cstdint>

#include "render_context.h"

namespace kavlo {

// Refines grid line j of the lines along x (j = 1 is the back line, y max) and puts its device
// points into Pts(1..N), from x max to x min. Returns N.
int projectXLine(const RenderContext& ctx, float zscl, int j, std::int16_t lxy);

// Refines the line of x index i along y into Pts(1..N), from y min to y max. Returns N.
int projectYLine(const RenderContext& ctx, float zscl, int i, std::int16_t lxy);

// Every grid line in both directions, refined and kept in XRefZ/XRefW (from x min, line 1 at
// the back) and YRefZ/YRefW (from y max) for the cells of meshes and surfaces.
void refineAllLines(const RenderContext& ctx, float zscl);

// The outline of the cell between x indices c and c + 1 and refined lines r (back) and r + 1
// (front), in CellPts(1..4K + 1), K = IPL + 1: up the left side from the front corner, along
// the back, down the right side, along the front, and the first point again.
void buildCellOutline(GraphState& g, int r, int c);

}  // namespace kavlo
