#include "graph_drawing.h"

#include "core/numeric_reader.h"
#include "core/projection.h"
#include "frame_labels.h"
#include "plot_budget.h"
#include "plot_dispatcher.h"

namespace kavlo {

DrawnGraph drawGraph(const RenderContext& ctx, int slot, const GraphFiles& files, float us,
                     float vs, const ViewSteps& steps, double pagePoints) {
    const auto index = static_cast<std::size_t>(slot);
    DrawnGraph drawn;
    PlacedGraph& g = drawn.graph;
    drawn.read = readGraph(g, slot, files, us, vs, steps.turn.at(index), ctx.messages,
                           ctx.profile.readRules);
    drawn.pagePoints = pagePoints;
    if (drawn.read.outcome == GraphReadOutcome::Plot && ctx.plots) {
        drawn.pagePoints = chargePlot(ctx, g, slot, pagePoints);
        // The frame's z numbers show the range as settled here; an empty range plots nothing.
        if (const auto zscl = settleZScale(g, steps.zoom.at(index))) {
            plotGraph(ctx, g, *zscl);
        }
    }
    if (drawn.read.outcome != GraphReadOutcome::Skipped) {
        drawFrame(ctx, g);
    }
    return drawn;
}

}  // namespace kavlo
