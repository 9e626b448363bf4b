#include "graph_drawing.h"

#include "frame_labels.h"
#include "plot_dispatcher.h"

namespace kavlo {

GraphRead Drw(const RenderContext& ctx, int slot, const GraphFiles& files, float us, float vs) {
    const GraphRead read =
        readGraph(ctx.g, slot, files, us, vs, ctx.messages, ctx.profile.readRules);
    if (read.outcome == GraphReadOutcome::Plot && ctx.plots) {
        LinDrw(ctx, slot);
    }
    if (read.outcome != GraphReadOutcome::Skipped) {
        FrmDrw(ctx);
    }
    return read;
}

}  // namespace kavlo
