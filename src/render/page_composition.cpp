#include "page_composition.h"

#include <limits>

#include "comments_header.h"
#include "graph_drawing.h"

namespace kavlo {
namespace {

constexpr float kFirstRowTop = 10;
constexpr float kPrintableBottom = 279;

}  // namespace

float slotLeft(int slot) {
    return slot % 2 == 1 ? 25.0f : 120.0f;
}

GraphRead placeAndDrawSlot(const RenderContext& ctx, PageSetup& setup, int slot) {
    GraphState& g = ctx.g;
    ctx.surface.beginSlot(slot);
    const GraphFiles files{setup.file(FileKind::Format, slot), setup.file(FileKind::Numeric, slot)};
    const GraphRead read = drawGraph(ctx, slot, files, slotLeft(slot), g.RowTop);
    if (ctx.profile.kind == DeviceKind::Screen) {
        const bool plotted = read.outcome == GraphReadOutcome::Plot;
        constexpr float kNotPlotted = std::numeric_limits<float>::quiet_NaN();
        g.ScreenZMin[static_cast<std::size_t>(slot)] = plotted ? g.ZMN : kNotPlotted;
        g.ScreenZMax[static_cast<std::size_t>(slot)] = plotted ? g.ZMX : kNotPlotted;
    }
    if (read.clearFormatName()) {
        setup.file(FileKind::Format, slot).clear();
    }
    if (read.clearNumericName()) {
        setup.file(FileKind::Numeric, slot).clear();
    }
    // A graph that was not drawn gets no comments: they would hang under another frame.
    std::string& comment = setup.file(FileKind::Comment, slot);
    if (read.outcome != GraphReadOutcome::Skipped && g.CSZ > 0 && !comment.empty()) {
        if (drawComment(ctx, slot, comment) == CommentOutcome::Missing) {
            comment.clear();
        }
    }
    if (slot % 2 == 1) {
        if (slot + 1 <= kSlotCount && setup.file(FileKind::Format, slot + 1).empty()) {
            g.RowTop = g.PageBottom;
        }
    } else if (slot < kSlotCount && g.PageBottom > g.RowTop) {
        g.RowTop = g.PageBottom;
    }
    return read;
}

PageOutcome composePage(const RenderContext& ctx, PageSetup& setup) {
    GraphState& g = ctx.g;
    g.PageBottom = 0;
    g.RowTop = kFirstRowTop;
    g.PagePlotPoints = 0;
    PageOutcome outcome;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (setup.file(FileKind::Format, slot).empty()) {
            setup.file(FileKind::Numeric, slot).clear();
            setup.file(FileKind::Comment, slot).clear();
            continue;
        }
        // Names the reading finds missing are cleared; the outcome still tells them.
        GraphFiles files{setup.file(FileKind::Format, slot), setup.file(FileKind::Numeric, slot)};
        const GraphRead read = placeAndDrawSlot(ctx, setup, slot);
        if (read.outcome == GraphReadOutcome::Skipped) {
            outcome.allDrawn = false;
            outcome.skipped.push_back({slot, std::move(files), read});
        }
    }
    if (!setup.header.text.empty()) {
        ctx.surface.beginHeader();
        Header(ctx, setup.header);
    }
    if (g.PageBottom > kPrintableBottom) {
        ctx.messages.show(
            {"Format Data Error", "ページを越えます。印刷は１ページ目だけになります。"});
    }
    return outcome;
}

}  // namespace kavlo
