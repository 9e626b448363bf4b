#pragma once

#include <stdexcept>

#include "core/messages.h"
#include "render_context.h"

namespace kavlo {

// What plotting one graph costs, from its grid and IPL alone: the points its drawing calls
// carry, and the bytes of the refined grid lines a mesh or surface holds while it is drawn.
struct PlotCost {
    double points = 0;
    double refinedBytes = 0;
};

PlotCost plotCost(const PlacedGraph& g);

// A page the device would take too long or too much memory to draw; thrown before the plot that
// would pass the device's limits is drawn, so that nothing of the page is kept.
class PageTooLarge : public std::runtime_error {
  public:
    explicit PageTooLarge(Message message);
    const Message& message() const { return message_; }

  private:
    Message message_;
};

// What a drawing that ran out of memory tells.
constexpr const char* kOutOfMemoryText =
    "メモリーが足りないため中断しました。格子の点数か IPL を減らして下さい。";

// The page's points with the plot of graph `g` added to `pagePoints`, those of the graphs
// before it; throws PageTooLarge when the page, or the graph's refined lines, would pass
// the profile's limits.
double chargePlot(const RenderContext& ctx, const PlacedGraph& g, int slot, double pagePoints);

}  // namespace kavlo
