#include "grid_lines.h"

#include "core/numeric_reader.h"
#include "core/projection.h"
#include "core/spline.h"

namespace kavlo {
namespace {

// Pts(1..n) from the refined values in SplOut, starting at floor point (bx, by) and stepping
// by (dx, dy).
void projectRefined(const RenderContext& ctx, float zscl, int n, float bx, float by, float dx,
                    float dy) {
    GraphState& g = ctx.g;
    for (int p = 1; p <= n; ++p) {
        const auto steps = static_cast<float>(p - 1);
        const float h = heightAboveFloor(g, g.SplOut(p));
        g.Pts(p) = ctx.device(bx + steps * dx, by + steps * dy - zscl * h);
    }
}

DevicePoint storedPoint(const Array2<float>& x, const Array2<float>& y, int a, int b) {
    return {deviceRound(x(a, b)), deviceRound(y(a, b))};
}

}  // namespace

int projectXLine(const RenderContext& ctx, float zscl, int j, std::int16_t lxy) {
    GraphState& g = ctx.g;
    const int n = (g.NX - 1) * g.IPL + g.NX;
    for (int i = 1; i <= g.NX; ++i) {
        g.SplIn(i, 0) = g.Z(g.NX - i + 1, g.NY - j + 1);
    }
    refineGridLine(g, lxy);
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const auto back = static_cast<float>(j - 1);
    const float bx = g.YEndX - back * (g.YEndX - g.XEndX) / ySteps;
    const float by = g.YEndY - back * (g.YEndY - g.XEndY) / ySteps;
    projectRefined(ctx, zscl, n, bx, by, -((g.XEndX - g.OrgX) / xSteps / refine),
                   -((g.XEndY - g.OrgY) / xSteps / refine));
    return n;
}

int projectYLine(const RenderContext& ctx, float zscl, int i, std::int16_t lxy) {
    GraphState& g = ctx.g;
    const int n = (g.NY - 1) * g.IPL + g.NY;
    for (int j = 1; j <= g.NY; ++j) {
        g.SplIn(j, 0) = g.Z(i, j);
    }
    refineGridLine(g, lxy);
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const auto along = static_cast<float>(i - 1);
    const float bx = g.OrgX + along * (g.XEndX - g.OrgX) / xSteps;
    const float by = g.OrgY + along * (g.XEndY - g.OrgY) / xSteps;
    projectRefined(ctx, zscl, n, bx, by, (g.YEndX - g.XEndX) / ySteps / refine,
                   (g.YEndY - g.XEndY) / ySteps / refine);
    return n;
}

void refineAllLines(const RenderContext& ctx, float zscl) {
    GraphState& g = ctx.g;
    sizeRefinedLines(g);
    for (int r = 1; r <= g.NY; ++r) {
        const int n = projectXLine(ctx, zscl, r, 1);
        for (int p = 1; p <= n; ++p) {
            g.XRefZ(n - p + 1, r) = static_cast<float>(g.Pts(p).x);
            g.XRefW(n - p + 1, r) = static_cast<float>(g.Pts(p).y);
        }
    }
    for (int i = 1; i <= g.NX; ++i) {
        const int n = projectYLine(ctx, zscl, i, 2);
        for (int p = 1; p <= n; ++p) {
            g.YRefZ(i, n - p + 1) = static_cast<float>(g.Pts(p).x);
            g.YRefW(i, n - p + 1) = static_cast<float>(g.Pts(p).y);
        }
    }
}

void buildCellOutline(GraphState& g, int r, int c) {
    const int k = g.IPL + 1;
    for (int t = 0; t <= g.IPL; ++t) {
        g.CellPts(t + 1) = storedPoint(g.YRefZ, g.YRefW, c, k * r + 1 - t);
        g.CellPts(k + t + 1) = storedPoint(g.XRefZ, g.XRefW, k * (c - 1) + 1 + t, r);
        g.CellPts(2 * k + t + 1) = storedPoint(g.YRefZ, g.YRefW, c + 1, k * (r - 1) + 1 + t);
        g.CellPts(3 * k + t + 1) = storedPoint(g.XRefZ, g.XRefW, k * c + 1 - t, r + 1);
    }
    g.CellPts(4 * k + 1) = g.CellPts(1);
}

}  // namespace kavlo
