#include "graph_preview.h"

#include "page_output.h"
#include "render/graph_drawing.h"
#include "render/page_composition.h"

namespace kavlo {
namespace {

constexpr int kBorderPixels = 8;

}  // namespace

QImage renderGraphPreview(int slot, const GraphFiles& files, MessageSink& messages,
                          TextExtentCache& extents) {
    QImage page = blankScreenPage();
    if (page.isNull()) {
        return page;
    }
    const DeviceProfile profile = screenProfile();
    const PageCursor top;
    QRect ink;
    drawOnScreenPage(page, extents, ink, [&](DrawSurface& surface) {
        const RenderContext ctx{surface, profile, messages, surface};
        surface.beginSlot(slot);
        // At the first slot's place, where the page leaves the widest room.
        drawGraph(ctx, slot, files, slotLeft(1), top.rowTop, ViewSteps{}, top.plotPoints);
    });
    if (ink.isEmpty()) {
        return {};
    }
    return page.copy(ink.adjusted(-kBorderPixels, -kBorderPixels, kBorderPixels, kBorderPixels)
                         .intersected(page.rect()));
}

}  // namespace kavlo
