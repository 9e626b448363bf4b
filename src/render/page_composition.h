#pragma once

#include <array>
#include <functional>
#include <optional>
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
    // Where each slot's frame was placed, page mm, index 1..6; nothing where none was drawn.
    std::array<std::optional<FrameCorners>, kSlotCount + 1> frames;
};

// Where the next graph goes and what the page has drawn so far.
struct PageCursor {
    float rowTop = 10;
    float pageBottom = 0;
    double plotPoints = 0;
    friend bool operator==(const PageCursor&, const PageCursor&) = default;
};

// A point of the composition: the slots before `slot` (7: the header) are composed and left
// the cursor at `cursor`.
struct PageStart {
    int slot = 1;
    PageCursor cursor;
};
using PageStartListener = std::function<void(const PageStart&)>;

// Left edge of a slot's column, page mm.
float slotLeft(int slot);

// Composes the whole page: every slot with a format file at its place, the row moving down as
// the slots of a row fill it, then the header. A slot without a format file loses its other two
// names; the names of files found missing are cleared. Draws with the view steps; on the
// screen, records each slot's z range in `steps`. Warns when the page runs past the first sheet.
// From `start` on when given, the slots before it taken as already drawn (the outcome then tells
// of the slots from there on); `atStart` hears each slot's start and the header's.
PageOutcome composePage(const RenderContext& ctx, PageSetup& setup, ViewSteps& steps,
                        const PageStart& start = {}, const PageStartListener& atStart = {});

// The slot whose frame lies under the page point (mm), the last drawn where frames overlap; 0 for
// none. A frame covers the box its eight corners span on the page.
int slotAtPoint(const PageOutcome& outcome, float x, float y);

// Whether composing the page draws anything at all: a slot with a format file, or a header.
bool composesAnything(const PageSetup& setup);

}  // namespace kavlo
