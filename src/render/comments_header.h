#pragma once

#include <string>

#include "core/page_setup.h"
#include "render_context.h"

namespace kavlo {

enum class CommentOutcome { Drawn, Missing, Unreadable };

// Writes the lines of a slot's comment file under its frame, wrapped to the frame's width.
// A missing file is reported (on the screen) and its name is to be cleared.
CommentOutcome drawComment(const RenderContext& ctx, int slot, const std::string& path);

// The header line at the top of the page.
void Header(const RenderContext& ctx, const HeaderSetup& header);

}  // namespace kavlo
