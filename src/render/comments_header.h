#pragma once

#include <string>

#include "core/page_setup.h"
#include "render_context.h"

namespace kavlo {

enum class CommentOutcome { Drawn, Missing, Unreadable };

struct DrawnComment {
    CommentOutcome outcome = CommentOutcome::Drawn;
    // Page mm under the last row; the top it started from when nothing was drawn.
    float bottom = 0;
};

// Writes the lines of a slot's comment file from three rows under `top` (the frame's bottom,
// page mm), wrapped to the frame's width. A missing file is reported (on the screen) and its
// name is to be cleared.
DrawnComment drawComment(const RenderContext& ctx, const PlacedGraph& g, int slot,
                         const std::string& path, float top);

// The header line at the top of the page.
void drawHeader(const RenderContext& ctx, const HeaderSetup& header);

}  // namespace kavlo
