#pragma once

#include "render_context.h"

namespace kavlo {

// The three visible frame edges of the graph just read, then its numeric end labels and axis
// titles; moves the page's lowest point down to the frame.
void drawFrame(const RenderContext& ctx);

}  // namespace kavlo
