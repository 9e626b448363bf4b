#pragma once

#include <cstdint>

#include "render_context.h"

namespace kavlo {

// Settles the z range and scale of the graph just read and draws its plot by type. A graph
// whose zoomed range is empty is not plotted (its frame still is).
void plotGraph(const RenderContext& ctx, double zoomSteps);

// Stream lines of constant x index ist..ien, each running along y, back to front.
void drawStreamLinesAlongY(const RenderContext& ctx, float zscl, int ist, int ien);
// Stream lines jst..jen, each running along x; line 1 is the back one (y max).
void drawStreamLinesAlongX(const RenderContext& ctx, float zscl, int jst, int jen);

// Meshes and shaded surfaces.
void drawRectangularMesh(const RenderContext& ctx, float zscl);
void drawTriangularMesh(const RenderContext& ctx, float zscl);
void drawShadedSurface(const RenderContext& ctx, float zscl);

}  // namespace kavlo
