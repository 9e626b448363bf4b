#pragma once

#include <cstdint>

#include "render_context.h"

namespace kavlo {

// Draws the plot of graph `g` by its type, `zscl` mm to a z unit.
void plotGraph(const RenderContext& ctx, const PlacedGraph& g, float zscl);

// Stream lines of constant x index ist..ien, each running along y, back to front.
void drawStreamLinesAlongY(const RenderContext& ctx, const PlacedGraph& g, float zscl, int ist,
                           int ien);
// Stream lines jst..jen, each running along x; line 1 is the back one (y max).
void drawStreamLinesAlongX(const RenderContext& ctx, const PlacedGraph& g, float zscl, int jst,
                           int jen);

// Meshes and shaded surfaces.
void drawRectangularMesh(const RenderContext& ctx, const PlacedGraph& g, float zscl);
void drawTriangularMesh(const RenderContext& ctx, const PlacedGraph& g, float zscl);
void drawShadedSurface(const RenderContext& ctx, const PlacedGraph& g, float zscl);

}  // namespace kavlo
