#include "page_composition.h"

#include <algorithm>
#include <limits>

#include "comments_header.h"
#include "frame_labels.h"
#include "graph_drawing.h"

namespace kavlo {
namespace {

constexpr float kPrintableBottom = 279;

}  // namespace

float slotLeft(int slot) {
    return slot % 2 == 1 ? 25.0f : 120.0f;
}

namespace {

GraphRead placeAndDrawSlot(const RenderContext& ctx, PageSetup& setup, ViewSteps& steps, int slot,
                           PageCursor& cursor, PageOutcome& outcome) {
    ctx.surface.beginSlot(slot);
    const GraphFiles files{setup.file(FileKind::Format, slot), setup.file(FileKind::Numeric, slot)};
    const DrawnGraph drawn =
        drawGraph(ctx, slot, files, slotLeft(slot), cursor.rowTop, steps, cursor.plotPoints);
    const GraphRead& read = drawn.read;
    const PlacedGraph& g = drawn.graph;
    cursor.plotPoints = drawn.pagePoints;
    if (read.outcome != GraphReadOutcome::Skipped) {
        cursor.pageBottom = pageBottomWithFrame(cursor.pageBottom, g);
        outcome.frames.at(static_cast<std::size_t>(slot)) = static_cast<const FrameCorners&>(g);
    }
    if (ctx.profile.kind == DeviceKind::Screen) {
        const bool plotted = read.outcome == GraphReadOutcome::Plot;
        constexpr float kNotPlotted = std::numeric_limits<float>::quiet_NaN();
        steps.screenZMin.at(static_cast<std::size_t>(slot)) = plotted ? g.ZMN : kNotPlotted;
        steps.screenZMax.at(static_cast<std::size_t>(slot)) = plotted ? g.ZMX : kNotPlotted;
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
        const DrawnComment drawnComment = drawComment(ctx, g, slot, comment, frameBottom(g));
        if (drawnComment.outcome == CommentOutcome::Missing) {
            comment.clear();
        } else if (drawnComment.outcome == CommentOutcome::Drawn) {
            cursor.pageBottom = std::max(cursor.pageBottom, drawnComment.bottom);
        }
    }
    if (slot % 2 == 1) {
        if (slot + 1 <= kSlotCount && setup.file(FileKind::Format, slot + 1).empty()) {
            cursor.rowTop = cursor.pageBottom;
        }
    } else if (slot < kSlotCount && cursor.pageBottom > cursor.rowTop) {
        cursor.rowTop = cursor.pageBottom;
    }
    return read;
}

}  // namespace

PageOutcome composePage(const RenderContext& ctx, PageSetup& setup, ViewSteps& steps,
                        const PageStart& start, const PageStartListener& atStart) {
    PageCursor cursor = start.cursor;
    PageOutcome outcome;
    for (int slot = start.slot; slot <= kSlotCount; ++slot) {
        if (atStart) {
            atStart({slot, cursor});
        }
        if (setup.file(FileKind::Format, slot).empty()) {
            setup.file(FileKind::Numeric, slot).clear();
            setup.file(FileKind::Comment, slot).clear();
            continue;
        }
        // Names the reading finds missing are cleared; the outcome still tells them.
        GraphFiles files{setup.file(FileKind::Format, slot), setup.file(FileKind::Numeric, slot)};
        const GraphRead read = placeAndDrawSlot(ctx, setup, steps, slot, cursor, outcome);
        if (read.outcome == GraphReadOutcome::Skipped) {
            outcome.allDrawn = false;
            outcome.skipped.push_back({slot, std::move(files), read});
        }
    }
    if (atStart) {
        atStart({kSlotCount + 1, cursor});
    }
    if (!setup.header.text.empty()) {
        ctx.surface.beginHeader();
        drawHeader(ctx, setup.header);
    }
    if (cursor.pageBottom > kPrintableBottom) {
        ctx.messages.show(
            {"Format Data Error", "ページを越えます。印刷は１ページ目だけになります。"});
    }
    outcome.pageBottom = cursor.pageBottom;
    return outcome;
}

bool composesAnything(const PageSetup& setup) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!setup.file(FileKind::Format, slot).empty()) {
            return true;
        }
    }
    return !setup.header.text.empty();
}

int slotAtPoint(const PageOutcome& outcome, float x, float y) {
    for (int slot = kSlotCount; slot >= 1; --slot) {
        const auto& frame = outcome.frames.at(static_cast<std::size_t>(slot));
        if (!frame) {
            continue;
        }
        const FrameCorners& f = *frame;
        // The far floor corner and the top of each floor corner complete the box.
        const float riseX = f.TopX - f.OrgX, riseY = f.TopY - f.OrgY;
        const float farX = f.XEndX + f.YEndX - f.OrgX, farY = f.XEndY + f.YEndY - f.OrgY;
        const std::array<float, 4> floorX{f.OrgX, f.XEndX, f.YEndX, farX};
        const std::array<float, 4> floorY{f.OrgY, f.XEndY, f.YEndY, farY};
        const auto [left, right] = std::ranges::minmax(floorX);
        const auto [top, bottom] = std::ranges::minmax(floorY);
        if (std::min(left, left + riseX) <= x && x <= std::max(right, right + riseX) &&
            std::min(top, top + riseY) <= y && y <= std::max(bottom, bottom + riseY)) {
            return slot;
        }
    }
    return 0;
}

}  // namespace kavlo
