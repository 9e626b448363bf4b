#include "graph_preview.h"

#include <QTransform>

#include "page_output.h"
#include "render/graph_drawing.h"
#include "render/page_composition.h"

namespace kavlo {
namespace {

constexpr int kBorderPixels = 8;

}  // namespace

QImage renderGraphPreview(int slot, const GraphFiles& files, MessageSink& messages,
                          TextExtentCache& extents, int dpi) {
    QImage page = blankScreenPage(dpi);
    if (page.isNull()) {
        return page;
    }
    const DeviceProfile profile = screenProfile();
    const PageCursor top;
    QRect ink;
    drawOnScreenPage(
        page, extents, ink,
        [&](DrawSurface& surface) {
            const RenderContext ctx{surface, profile, messages, surface};
            surface.beginSlot(slot);
            // At the first slot's place, where the page leaves the widest room.
            drawGraph(ctx, slot, files, slotLeft(1), top.rowTop, ViewSteps{}, top.plotPoints);
        },
        dpi);
    if (ink.isEmpty()) {
        return {};
    }
    // The ink box is in 96-DPI pixels.
    const double scale = static_cast<double>(dpi) / kScreenDpi;
    const QRect cut = QTransform::fromScale(scale, scale)
                          .mapRect(QRectF(ink.adjusted(-kBorderPixels, -kBorderPixels,
                                                       kBorderPixels, kBorderPixels)))
                          .toAlignedRect();
    return page.copy(cut.intersected(page.rect()));
}

}  // namespace kavlo
