#include <span>
#include <vector>

#include "grid_lines.h"
#include "plot_dispatcher.h"

namespace kavlo {
namespace {

// Paints the cells from the back row to the front, x min to x max, each as white polygons
// with black edges so that nearer cells cover farther ones; a triangular mesh splits every
// cell along its diagonal from (x min, y min) to (x max, y max).
void drawMesh(const RenderContext& ctx, const PlacedGraph& g, float zscl, bool triangles) {
    const RefinedLines lines = refineAllLines(ctx, g, zscl);
    const SelectedObject pen(ctx.surface,
                             ctx.surface.createPen(0, ctx.profile.meshPen.width(g.LWD), kBlack));
    const SelectedObject brush(ctx.surface, ctx.surface.createSolidBrush(kWhite));
    const auto k = static_cast<std::size_t>(g.IPL + 1);
    // One outline, rebuilt for every cell.
    std::vector<DevicePoint> outline(4 * k + 1);
    for (int r = 1; r <= g.NY - 1; ++r) {
        for (int c = 1; c <= g.NX - 1; ++c) {
            buildCellOutline(lines, g.IPL, r, c, outline);
            if (triangles) {
                ctx.surface.polygon(std::span(outline).first(2 * k + 1));
                ctx.surface.polygon(std::span(outline).subspan(2 * k));
            } else {
                ctx.surface.polygon(outline);
            }
        }
    }
}

}  // namespace

void drawRectangularMesh(const RenderContext& ctx, const PlacedGraph& g, float zscl) {
    drawMesh(ctx, g, zscl, false);
}
void drawTriangularMesh(const RenderContext& ctx, const PlacedGraph& g, float zscl) {
    drawMesh(ctx, g, zscl, true);
}

}  // namespace kavlo
