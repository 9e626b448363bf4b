#pragma once

#include "core/graph_reader.h"
#include "render_context.h"

namespace kavlo {

struct DrawnGraph {
    GraphRead read;
    // The graph as read, placed and drawn (its z range settled when it was plotted).
    PlacedGraph graph;
    // The page's plotted points with this graph's.
    double pagePoints = 0;
};

// Draws one graph slot at left edge `us` and row top `vs` with the slot's view steps: reads its
// two files (with the device's reading rules), plots the grid (unless its zoomed z range is
// empty) and draws the frame and labels.
// `pagePoints` are the points the page's plots before it drew.
DrawnGraph drawGraph(const RenderContext& ctx, int slot, const GraphFiles& files, float us,
                     float vs, const ViewSteps& steps, double pagePoints);

}  // namespace kavlo
