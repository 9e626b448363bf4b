#include "graph_drawing.h"

#include "core/numeric_reader.h"
#include "frame_labels.h"
#include "plot_budget.h"
#include "plot_dispatcher.h"

namespace kavlo {

GraphRead drawGraph(const RenderContext& ctx, int slot, const GraphFiles& files, float us,
                    float vs) {
    const GraphRead read =
        readGraph(ctx.g, slot, files, us, vs, ctx.messages, ctx.profile.readRules);
    if (read.outcome == GraphReadOutcome::Plot && ctx.plots) {
        chargePlot(ctx, slot);
        plotGraph(ctx, slot);
        clearRefinedLines(ctx.g);
    }
    if (read.outcome != GraphReadOutcome::Skipped) {
        drawFrame(ctx);
    }
    return read;
}

}  // namespace kavlo
