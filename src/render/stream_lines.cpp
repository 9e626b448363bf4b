#include <cstdlib>
#include <span>
#include <vector>

#include "core/projection.h"
#include "grid_lines.h"
#include "plot_dispatcher.h"

namespace kavlo {
namespace {

// One curve, in curve[1..n] between the curtain's corners: first the curtain down to far below
// the floor in the background colour, which blots out the farther curves behind it, then the
// curve itself in black.
void drawCurve(const RenderContext& ctx, int lineWidth, std::span<const DevicePoint> curve) {
    const int width = ctx.profile.streamPen.width(lineWidth);
    {
        const SelectedObject pen(ctx.surface,
                                 ctx.surface.createPen(0, width, ctx.profile.background));
        const SelectedObject brush(ctx.surface,
                                   ctx.surface.createSolidBrush(ctx.profile.background));
        ctx.surface.polygon(curve);
    }
    const SelectedObject pen(ctx.surface, ctx.surface.createPen(0, width, kBlack));
    ctx.surface.polyline(curve.subspan(1, curve.size() - 2));
}

// Closes the curve in curve[1..n] with the curtain's two bottom corners, 300 mm below the
// lowest floor corner.
void hangCurtain(const RenderContext& ctx, const PlacedGraph& g, std::span<DevicePoint> curve) {
    const std::int32_t bottom = deviceRound((g.XEndY + 300) * ctx.profile.unitsPerMmY);
    const std::size_t n = curve.size() - 2;
    curve[0] = {curve[1].x, bottom};
    curve[n + 1] = {curve[n].x, bottom};
}

// The curves of lines first..last, each projected by `project` into the curve buffer, which is
// reused from line to line.
template <class Project>
void drawStreamLines(const RenderContext& ctx, const PlacedGraph& g, int first, int last,
                     int points, Project project) {
    std::vector<DevicePoint> curve(static_cast<std::size_t>(points) + 2);
    for (int line = first; line <= last; ++line) {
        project(line, std::span(curve).subspan(1, static_cast<std::size_t>(points)));
        hangCurtain(ctx, g, curve);
        drawCurve(ctx, g.LWD, curve);
    }
}

}  // namespace

void drawStreamLinesAlongY(const RenderContext& ctx, const PlacedGraph& g, float zscl, int ist,
                           int ien) {
    GridLineProjector projector(ctx, g, zscl);
    drawStreamLines(
        ctx, g, ist, ien, projector.yLinePoints(),
        [&](int i, std::span<DevicePoint> points) { projector.projectYLine(i, points); });
}

void drawStreamLinesAlongX(const RenderContext& ctx, const PlacedGraph& g, float zscl, int jst,
                           int jen) {
    GridLineProjector projector(ctx, g, zscl);
    drawStreamLines(
        ctx, g, jst, jen, projector.xLinePoints(),
        [&](int j, std::span<DevicePoint> points) { projector.projectXLine(j, points); });
}

void plotGraph(const RenderContext& ctx, const PlacedGraph& g, float zscl) {
    switch (std::abs(g.LDR)) {
        case 1:
            drawStreamLinesAlongY(ctx, g, zscl, 1, 1);
            drawStreamLinesAlongX(ctx, g, zscl, 1, g.NY);
            drawStreamLinesAlongY(ctx, g, zscl, g.NX, g.NX);
            break;
        case 2:
            drawStreamLinesAlongX(ctx, g, zscl, 1, 1);
            drawStreamLinesAlongY(ctx, g, zscl, 1, g.NX);
            drawStreamLinesAlongX(ctx, g, zscl, g.NY, g.NY);
            break;
        case 3:
            drawRectangularMesh(ctx, g, zscl);
            break;
        case 4:
            drawTriangularMesh(ctx, g, zscl);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            drawShadedSurface(ctx, g, zscl);
            break;
        default:
            break;
    }
}

}  // namespace kavlo
