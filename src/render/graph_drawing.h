#pragma once

#include "core/graph_reader.h"
#include "render_context.h"

namespace kavlo {

// Draws one graph slot at left edge `us` and row top `vs`: reads its two files (with the
// device's reading rules), plots the grid and draws the frame and labels.
GraphRead drawGraph(const RenderContext& ctx, int slot, const GraphFiles& files, float us,
                    float vs);

}  // namespace kavlo
