#include <cstdlib>
#include <span>

#include "core/projection.h"
#include "grid_lines.h"
#include "plot_dispatcher.h"

namespace kavlo {
namespace {

// One curve: first a curtain down to far below the floor in the background colour, which
// blots out the farther curves behind it, then the curve itself in black.
void drawCurve(const RenderContext& ctx, int n) {
    const int width = ctx.profile.streamPen.width(ctx.g.LWD);
    const std::span<const DevicePoint> all(&ctx.g.Pts(0), static_cast<std::size_t>(n) + 2);
    {
        const SelectedObject pen(ctx.surface,
                                 ctx.surface.CreatePen(0, width, ctx.profile.background));
        const SelectedObject brush(ctx.surface,
                                   ctx.surface.CreateSolidBrush(ctx.profile.background));
        ctx.surface.Polygon(all);
    }
    const SelectedObject pen(ctx.surface, ctx.surface.CreatePen(0, width, kBlack));
    ctx.surface.Polyline(all.subspan(1, static_cast<std::size_t>(n)));
}

// Closes the curve in Pts(1..n) with the curtain's two bottom corners, 300 mm below the
// lowest floor corner.
void hangCurtain(const RenderContext& ctx, int n) {
    GraphState& g = ctx.g;
    const std::int32_t bottom = deviceRound((g.XEndY + 300) * ctx.profile.unitsPerMmY);
    g.Pts(0) = {g.Pts(1).x, bottom};
    g.Pts(n + 1) = {g.Pts(n).x, bottom};
}

}  // namespace

void drawStreamLinesAlongY(const RenderContext& ctx, float zscl, int ist, int ien,
                           std::int16_t lxy) {
    for (int i = ist; i <= ien; ++i) {
        const int n = projectYLine(ctx, zscl, i, lxy);
        hangCurtain(ctx, n);
        drawCurve(ctx, n);
    }
}

void drawStreamLinesAlongX(const RenderContext& ctx, float zscl, int jst, int jen,
                           std::int16_t lxy) {
    for (int j = jst; j <= jen; ++j) {
        const int n = projectXLine(ctx, zscl, j, lxy);
        hangCurtain(ctx, n);
        drawCurve(ctx, n);
    }
}

void plotGraph(const RenderContext& ctx, double zoomSteps) {
    GraphState& g = ctx.g;
    const auto zscl = settleZScale(g, zoomSteps);
    if (!zscl) {
        return;
    }
    switch (std::abs(g.LDR)) {
        case 1:
            drawStreamLinesAlongY(ctx, *zscl, 1, 1, 2);
            drawStreamLinesAlongX(ctx, *zscl, 1, g.NY, 1);
            drawStreamLinesAlongY(ctx, *zscl, g.NX, g.NX, 2);
            break;
        case 2:
            drawStreamLinesAlongX(ctx, *zscl, 1, 1, 1);
            drawStreamLinesAlongY(ctx, *zscl, 1, g.NX, 2);
            drawStreamLinesAlongX(ctx, *zscl, g.NY, g.NY, 1);
            break;
        case 3:
            drawRectangularMesh(ctx, *zscl);
            break;
        case 4:
            drawTriangularMesh(ctx, *zscl);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            drawShadedSurface(ctx, *zscl);
            break;
        default:
            break;
    }
}

}  // namespace kavlo
