#pragma once

#include "render_context.h"

namespace kavlo {

// The three visible frame edges of graph `g`, then its numeric end labels and axis titles.
void drawFrame(const RenderContext& ctx, const PlacedGraph& g);

// The lower floor corner of the frame, page mm: its comments start under it.
float frameBottom(const PlacedGraph& g);
// The page's lowest point once the frame is drawn: it only ever grows.
float pageBottomWithFrame(float pageBottom, const PlacedGraph& g);

}  // namespace kavlo
