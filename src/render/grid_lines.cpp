#include "grid_lines.h"

#include <algorithm>

#include "core/projection.h"

namespace kavlo {
namespace {

int refinedPoints(int n, int ipl) {
    return (n - 1) * ipl + n;
}

DevicePoint storedPoint(const Array2<float>& x, const Array2<float>& y, int a, int b) {
    return {deviceRound(x(a, b)), deviceRound(y(a, b))};
}

}  // namespace

GridLineProjector::GridLineProjector(const RenderContext& ctx, const PlacedGraph& g, float zscl)
    : ctx_(ctx),
      g_(g),
      zscl_(zscl),
      spline_(std::max(g.NX, g.NY), g.IPL),
      line_(static_cast<std::size_t>(std::max(g.NX, g.NY))) {}

int GridLineProjector::xLinePoints() const {
    return refinedPoints(g_.NX, g_.IPL);
}
int GridLineProjector::yLinePoints() const {
    return refinedPoints(g_.NY, g_.IPL);
}

// `points` from the `refined` values, starting at floor point (bx, by) and stepping by (dx, dy).
void GridLineProjector::projectRefined(std::span<const float> refined,
                                       std::span<DevicePoint> points, float bx, float by, float dx,
                                       float dy) const {
    const PlacedGraph& g = g_;
    for (std::size_t p = 0; p < points.size(); ++p) {
        const auto steps = static_cast<float>(p);
        const float h = heightAboveFloor(g, refined[p]);
        points[p] = ctx_.device(bx + steps * dx, by + steps * dy - zscl_ * h);
    }
}

void GridLineProjector::projectXLine(int j, std::span<DevicePoint> points) {
    const PlacedGraph& g = g_;
    for (int i = 1; i <= g.NX; ++i) {
        line_[static_cast<std::size_t>(i - 1)] = g.Z(g.NX - i + 1, g.NY - j + 1);
    }
    const auto refined = spline_.refine(std::span(line_).first(static_cast<std::size_t>(g.NX)));
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const auto back = static_cast<float>(j - 1);
    const float bx = g.YEndX - back * (g.YEndX - g.XEndX) / ySteps;
    const float by = g.YEndY - back * (g.YEndY - g.XEndY) / ySteps;
    projectRefined(refined, points, bx, by, -((g.XEndX - g.OrgX) / xSteps / refine),
                   -((g.XEndY - g.OrgY) / xSteps / refine));
}

void GridLineProjector::projectYLine(int i, std::span<DevicePoint> points) {
    const PlacedGraph& g = g_;
    for (int j = 1; j <= g.NY; ++j) {
        line_[static_cast<std::size_t>(j - 1)] = g.Z(i, j);
    }
    const auto refined = spline_.refine(std::span(line_).first(static_cast<std::size_t>(g.NY)));
    const auto xSteps = static_cast<float>(g.NX - 1);
    const auto ySteps = static_cast<float>(g.NY - 1);
    const auto refine = static_cast<float>(g.IPL + 1);
    const auto along = static_cast<float>(i - 1);
    const float bx = g.OrgX + along * (g.XEndX - g.OrgX) / xSteps;
    const float by = g.OrgY + along * (g.XEndY - g.OrgY) / xSteps;
    projectRefined(refined, points, bx, by, (g.YEndX - g.XEndX) / ySteps / refine,
                   (g.YEndY - g.XEndY) / ySteps / refine);
}

RefinedLines refineAllLines(const RenderContext& ctx, const PlacedGraph& g, float zscl) {
    GridLineProjector projector(ctx, g, zscl);
    const int r = g.IPL + 1;
    RefinedLines lines;
    lines.alongXx.resize((g.NX + 1) * r, g.NY + 1);
    lines.alongXy.resize((g.NX + 1) * r, g.NY + 1);
    lines.alongYx.resize(g.NX + 1, (g.NY + 1) * r);
    lines.alongYy.resize(g.NX + 1, (g.NY + 1) * r);
    std::vector<DevicePoint> points(
        static_cast<std::size_t>(std::max(projector.xLinePoints(), projector.yLinePoints())));
    const int nx = projector.xLinePoints();
    for (int line = 1; line <= g.NY; ++line) {
        projector.projectXLine(line, std::span(points).first(static_cast<std::size_t>(nx)));
        for (int p = 0; p < nx; ++p) {
            const DevicePoint& point = points[static_cast<std::size_t>(p)];
            lines.alongXx(nx - p, line) = static_cast<float>(point.x);
            lines.alongXy(nx - p, line) = static_cast<float>(point.y);
        }
    }
    const int ny = projector.yLinePoints();
    for (int i = 1; i <= g.NX; ++i) {
        projector.projectYLine(i, std::span(points).first(static_cast<std::size_t>(ny)));
        for (int p = 0; p < ny; ++p) {
            const DevicePoint& point = points[static_cast<std::size_t>(p)];
            lines.alongYx(i, ny - p) = static_cast<float>(point.x);
            lines.alongYy(i, ny - p) = static_cast<float>(point.y);
        }
    }
    return lines;
}

void buildCellOutline(const RefinedLines& lines, int ipl, int r, int c,
                      std::span<DevicePoint> outline) {
    const int k = ipl + 1;
    const auto at = [&](int p) -> DevicePoint& { return outline[static_cast<std::size_t>(p)]; };
    for (int t = 0; t <= ipl; ++t) {
        at(t) = storedPoint(lines.alongYx, lines.alongYy, c, k * r + 1 - t);
        at(k + t) = storedPoint(lines.alongXx, lines.alongXy, k * (c - 1) + 1 + t, r);
        at(2 * k + t) = storedPoint(lines.alongYx, lines.alongYy, c + 1, k * (r - 1) + 1 + t);
        at(3 * k + t) = storedPoint(lines.alongXx, lines.alongXy, k * c + 1 - t, r + 1);
    }
    at(4 * k) = at(0);
}

}  // namespace kavlo
