#include "graph_drawing.h"

#include "core/numeric_reader.h"
#include "frame_labels.h"
#include "plot_budget.h"
#include "plot_dispatcher.h"

namespace kavlo {

DrawnGraph drawGraph(const RenderContext& ctx, int slot, const GraphFiles& files, float us,
                     float vs, const ViewSteps& steps, double pagePoints) {
    const auto index = static_cast<std::size_t>(slot);
    const GraphRead read = readGraph(ctx.g, slot, files, us, vs, steps.turn.at(index), ctx.messages,
                                     ctx.profile.readRules);
    if (read.outcome == GraphReadOutcome::Plot && ctx.plots) {
        pagePoints = chargePlot(ctx, slot, pagePoints);
        plotGraph(ctx, steps.zoom.at(index));
    }
    if (read.outcome != GraphReadOutcome::Skipped) {
        drawFrame(ctx);
    }
    return {read, pagePoints};
}

}  // namespace kavlo
