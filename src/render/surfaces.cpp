#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/projection.h"
#include "grid_lines.h"
#include "plot_dispatcher.h"

namespace kavlo {
namespace {

struct Vec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float pageLength(float dx, float dy) {
    return std::sqrt(dx * dx + dy * dy);
}

Rgb baseColour(int ldr) {
    switch (std::abs(ldr)) {
        case 6:
            return {192, 255, 255};
        case 7:
            return {255, 192, 255};
        case 8:
            return {255, 255, 192};
        default:
            return kWhite;
    }
}

// The data nodes as a flat 3-D model in page mm, lit from the front left above. Only the
// nodes count: every refined sub-step of a half cell shares its facet's one colour.
class Shading {
  public:
    Shading(const PlacedGraph& g, float zscl) : ny_(g.NY) {
        const float lx =
            pageLength(g.XEndX - g.OrgX, g.XEndY - g.OrgY) / static_cast<float>(g.NX - 1);
        const float ly =
            pageLength(g.YEndX - g.XEndX, g.YEndY - g.XEndY) / static_cast<float>(g.NY - 1);
        nodes_.reserve(static_cast<std::size_t>(g.NX) * static_cast<std::size_t>(g.NY));
        for (int i = 1; i <= g.NX; ++i) {
            for (int j = 1; j <= g.NY; ++j) {
                nodes_.push_back({static_cast<float>(i - 1) * lx, static_cast<float>(j - 1) * ly,
                                  zscl * heightAboveFloor(g, g.Z(i, j))});
            }
        }
        const float a = static_cast<float>(g.NX - 1) * lx;
        const float b = static_cast<float>(g.NY - 1) * ly;
        const auto aRise = static_cast<float>(a * sinDeg(g.FXD));
        const auto bRise = static_cast<float>(b * sinDeg(g.FYD));
        // Normalised by this length rather than the vector's own, so the light may exceed 1.
        const float n = std::sqrt(aRise * aRise + (b / 2) * (b / 2) + (a / 2) * (a / 2));
        light_ = {a / 2 / n, -b / 2 / n, (aRise + bRise) / 2 / n};
    }

    // Brightness of the facet through nodes p, q, s; a facet without a normal is lit as a
    // flat one.
    float brightness(int pi, int pj, int qi, int qj, int si, int sj) const {
        const Vec3 p = node(pi, pj);
        const Vec3 normal = cross(node(qi, qj) - p, node(si, sj) - p);
        const float length = std::sqrt(dot(normal, normal));
        if (!(length > 0)) {
            return std::abs(light_.z);
        }
        return std::abs(dot(normal, light_)) / length;
    }

  private:
    // Node (i, j) of the grid, both counted from 1.
    const Vec3& node(int i, int j) const {
        return nodes_[static_cast<std::size_t>((i - 1) * ny_ + (j - 1))];
    }

    int ny_;
    // The data nodes in page mm, y index fastest.
    std::vector<Vec3> nodes_;
    Vec3 light_;
};

Rgb shade(Rgb base, float brightness) {
    const auto channel = [&](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::min(deviceRound(c * brightness), 255));
    };
    return {channel(base.r), channel(base.g), channel(base.b)};
}

void paintFacet(const RenderContext& ctx, std::span<const DevicePoint> points, Rgb colour) {
    DrawSurface& s = ctx.surface;
    const SelectedObject pen(s, s.createPen(0, ctx.profile.surfacePenWidth, colour));
    const SelectedObject brush(s, s.createSolidBrush(colour));
    s.polygon(points);
}

// The front (y min) and right (x max) boundaries in black, each into the front-right corner.
void outlineFrontAndRight(const RenderContext& ctx, const PlacedGraph& g,
                          const RefinedLines& lines) {
    const int np = (g.NX - 1) * (g.IPL + 1) + 1;
    const int nq = (g.NY - 1) * (g.IPL + 1) + 1;
    const SelectedObject pen(ctx.surface,
                             ctx.surface.createPen(0, ctx.profile.surfacePenWidth, kBlack));
    std::vector<DevicePoint> points;
    points.reserve(static_cast<std::size_t>(std::max(np, nq)));
    for (int c = 1; c <= np; ++c) {
        points.push_back(
            {deviceRound(lines.alongXx(c, g.NY)), deviceRound(lines.alongXy(c, g.NY))});
    }
    ctx.surface.polyline(points);
    points.clear();
    for (int q = 1; q <= nq; ++q) {
        points.push_back(
            {deviceRound(lines.alongYx(g.NX, q)), deviceRound(lines.alongYy(g.NX, q))});
    }
    ctx.surface.polyline(points);
}

}  // namespace

void drawShadedSurface(const RenderContext& ctx, const PlacedGraph& g, float zscl) {
    const RefinedLines lines = refineAllLines(ctx, g, zscl);
    const Shading shading(g, zscl);
    const Rgb base = baseColour(g.LDR);
    ctx.surface.setRasterOperation(kRopCopyPen);
    const auto k = static_cast<std::size_t>(g.IPL + 1);
    // One outline, rebuilt for every cell.
    std::vector<DevicePoint> outline(4 * k + 1);
    for (int r = 1; r <= g.NY - 1; ++r) {
        const int back = g.NY + 1 - r;
        const int front = g.NY - r;
        for (int i = 1; i <= g.NX - 1; ++i) {
            buildCellOutline(lines, g.IPL, r, i, outline);
            paintFacet(ctx, std::span(outline).first(2 * k + 1),
                       shade(base, shading.brightness(i, front, i, back, i + 1, back)));
            paintFacet(ctx, std::span(outline).subspan(2 * k),
                       shade(base, shading.brightness(i + 1, back, i + 1, front, i, front)));
        }
    }
    outlineFrontAndRight(ctx, g, lines);
}

}  // namespace kavlo
