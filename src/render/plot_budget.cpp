#include "plot_budget.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/slot_titles.h"

namespace kavlo {
namespace {

constexpr double kTenThousand = 1e4;
constexpr double kMegabyte = 1 << 20;

// Counts as a reader takes them in: points, ten-thousands of them, megabytes.
std::string pointCount(double points) {
    return points < kTenThousand
               ? std::to_string(std::llround(points)) + " 点"
               : std::to_string(std::llround(std::ceil(points / kTenThousand))) + " 万点";
}
std::string megabytes(double bytes) {
    return std::to_string(std::llround(std::ceil(bytes / kMegabyte))) + " MB";
}

}  // namespace

PlotCost plotCost(const PlacedGraph& g) {
    const double nx = g.NX;
    const double ny = g.NY;
    const double k = g.IPL + 1.0;
    const double alongX = (nx - 1) * k + 1;
    const double alongY = (ny - 1) * k + 1;
    const double cells = (nx - 1) * (ny - 1);
    // The four float arrays of RefinedLines, as allocated.
    const double refined = 8 * (((nx + 1) * k + 1) * (ny + 2) + (nx + 2) * ((ny + 1) * k + 1));
    // A stream line is its curtain (two corners more) and the line itself.
    switch (std::abs(g.LDR)) {
        case 1:
            return {ny * (2 * alongX + 2) + 2 * (2 * alongY + 2), 0};
        case 2:
            return {nx * (2 * alongY + 2) + 2 * (2 * alongX + 2), 0};
        case 3:
            return {cells * (4 * k + 1), refined};
        case 4:
            return {cells * 2 * (2 * k + 1), refined};
        case 5:
        case 6:
        case 7:
        case 8:
            // With the front and right outlines.
            return {cells * 2 * (2 * k + 1) + alongX + alongY, refined};
        default:
            return {};
    }
}

PageTooLarge::PageTooLarge(Message message)
    : std::runtime_error(message.text), message_(std::move(message)) {}

double chargePlot(const RenderContext& ctx, const PlacedGraph& g, int slot, double pagePoints) {
    const PlotCost cost = plotCost(g);
    const PlotLimits& limits = ctx.profile.plotLimits;
    pagePoints += cost.points;
    if (pagePoints <= limits.points && cost.refinedBytes <= limits.refinedBytes) {
        return pagePoints;
    }
    const std::string grid = std::to_string(g.NX) + " × " + std::to_string(g.NY) +
                             " の格子を IPL = " + std::to_string(g.IPL) + " で細分すると、";
    const std::string reason =
        cost.refinedBytes > limits.refinedBytes
            ? "細分した格子線だけで約 " + megabytes(cost.refinedBytes) +
                  " のメモリーを使い、上限の " + megabytes(limits.refinedBytes) + " を超えます。"
            : "ページの描画は約 " + pointCount(pagePoints) + "になり、この出力の上限 " +
                  pointCount(limits.points) + "を超えます。";
    throw PageTooLarge(
        {graphErrorTitle(slot), "グラフが大きすぎて描けません。" + grid + reason +
                                    "格子の点数か IPL を減らして下さい。描画を中断します。"});
}

}  // namespace kavlo
