#include <cstdlib>
#include <span>

#include "core/projection.h"
#include "core/spline.h"
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

// Fills Pts(1..n) from the refined line starting at floor point (bx, by) and stepping by
// (dx, dy), and closes it with the curtain's two bottom corners.
void buildCurve(const RenderContext& ctx, float zscl, int n, float bx, float by, float dx,
                float dy) {
    GraphState& g = ctx.g;
    for (int p = 1; p <= n; ++p) {
        const auto steps = static_cast<float>(p - 1);
        const float h = heightAboveFloor(g, g.SplOut(p));
        g.Pts(p) = ctx.device(bx + steps * dx, by + steps * dy - zscl * h);
    }
    const std::int32_t bottom = deviceRound((g.XEndY + 300) * ctx.profile.unitsPerMmY);
    g.Pts(0) = {g.Pts(1).x, bottom};
    g.Pts(n + 1) = {g.Pts(n).x, bottom};
}

}  // namespace

void YLinDrw(const RenderContext& ctx, float zscl, int ist, int ien, std::int16_t lxy) {
    GraphState& g = ctx.g;
    const int n = (g.NY - 1) * g.IPL + g.NY;
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const float dx = (g.YEndX - g.XEndX) / ySteps / refine;
    const float dy = (g.YEndY - g.XEndY) / ySteps / refine;
    for (int i = ist; i <= ien; ++i) {
        for (int j = 1; j <= g.NY; ++j) {
            g.SplIn(j, 0) = g.Z(i, j);
        }
        Spl(g, lxy);
        const auto along = static_cast<float>(i - 1);
        const float bx = g.OrgX + along * (g.XEndX - g.OrgX) / xSteps;
        const float by = g.OrgY + along * (g.XEndY - g.OrgY) / xSteps;
        buildCurve(ctx, zscl, n, bx, by, dx, dy);
        drawCurve(ctx, n);
    }
}

void XLinDrw(const RenderContext& ctx, float zscl, int jst, int jen, std::int16_t lxy) {
    GraphState& g = ctx.g;
    const int n = (g.NX - 1) * g.IPL + g.NX;
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const float dx = (g.XEndX - g.OrgX) / xSteps / refine;
    const float dy = (g.XEndY - g.OrgY) / xSteps / refine;
    for (int j = jst; j <= jen; ++j) {
        // Taken backwards: from x max to x min, on the grid line of y index NY - j + 1.
        for (int i = 1; i <= g.NX; ++i) {
            g.SplIn(i, 0) = g.Z(g.NX - i + 1, g.NY - j + 1);
        }
        Spl(g, lxy);
        const auto back = static_cast<float>(j - 1);
        const float bx = g.YEndX - back * (g.YEndX - g.XEndX) / ySteps;
        const float by = g.YEndY - back * (g.YEndY - g.XEndY) / ySteps;
        buildCurve(ctx, zscl, n, bx, by, -dx, -dy);
        drawCurve(ctx, n);
    }
}

void LinDrw(const RenderContext& ctx, int slot) {
    GraphState& g = ctx.g;
    const auto zscl = settleZScale(g, slot);
    if (!zscl) {
        return;
    }
    switch (std::abs(g.LDR)) {
        case 1:
            YLinDrw(ctx, *zscl, 1, 1, 2);
            XLinDrw(ctx, *zscl, 1, g.NY, 1);
            YLinDrw(ctx, *zscl, g.NX, g.NX, 2);
            break;
        case 2:
            XLinDrw(ctx, *zscl, 1, 1, 1);
            YLinDrw(ctx, *zscl, 1, g.NX, 2);
            XLinDrw(ctx, *zscl, g.NY, g.NY, 1);
            break;
        case 3:
            RctDrw(ctx, *zscl);
            break;
        case 4:
            TriDrw(ctx, *zscl);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            SfcDrw(ctx, *zscl);
            break;
        default:
            break;
    }
}

// Meshes and surfaces are drawn by the next stage of the renderer; until then their graphs
// show the frame and labels only.
void RctDrw(const RenderContext&, float) {}
void TriDrw(const RenderContext&, float) {}
void SfcDrw(const RenderContext&, float) {}

}  // namespace kavlo
