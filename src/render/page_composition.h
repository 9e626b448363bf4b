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
};

// Left edge of a slot's column, page mm.
float slotLeft(int slot);

// Draws slot `slot` at its place and moves the row down as the slots of a row fill it. Clears
// the names of files found missing in `setup`. On the screen, records the slot's z range.
GraphRead placeAndDrawSlot(const RenderContext& ctx, PageSetup& setup, int slot);

// Composes the whole page: every slot with a format file, then the header. A slot without a
// format file loses its other two names. Warns when the page runs past the first sheet.
PageOutcome composePage(const RenderContext& ctx, PageSetup& setup);

}  // namespace kavlo
