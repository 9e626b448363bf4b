#pragma once

#include <vector>

#include "core/graph_reader.h"
#include "core/page_setup.h"
#include "render_context.h"

namespace kavlo {

// A slot with a format file that nothing of was drawn, with the files it named.
struct SkippedSlot {
    int slot = 0;
    GraphFiles files;
    GraphRead read;
};

struct PageOutcome {
    // Every slot with a format file was drawn (as a plot or as a frame).
    bool allDrawn = true;
    std::vector<SkippedSlot> skipped;
    // The lowest point of the frames and comments drawn, page mm.
    float pageBottom = 0;
};

// Left edge of a slot's column, page mm.
float slotLeft(int slot);

// Composes the whole page: every slot with a format file at its place, the row moving down as
// the slots of a row fill it, then the header. A slot without a format file loses its other two
// names; the names of files found missing are cleared. Draws with the view steps; on the
// screen, records each slot's z range in `steps`. Warns when the page runs past the first sheet.
PageOutcome composePage(const RenderContext& ctx, PageSetup& setup, ViewSteps& steps);

// Whether composing the page draws anything at all: a slot with a format file, or a header.
bool composesAnything(const PageSetup& setup);

}  // namespace kavlo
