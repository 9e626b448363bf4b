#include "screen_redraw.h"

#include "page_output.h"

namespace kavlo {
namespace {

// The outcome of a draw from `start`, completed with the slots before it from `before`.
PageOutcome joined(const PageOutcome& before, int start, PageOutcome after) {
    PageOutcome whole = std::move(after);
    std::vector<SkippedSlot> skipped;
    for (const SkippedSlot& slot : before.skipped) {
        if (slot.slot < start) {
            skipped.push_back(slot);
        }
    }
    skipped.insert(skipped.end(), whole.skipped.begin(), whole.skipped.end());
    whole.skipped = std::move(skipped);
    whole.allDrawn = whole.skipped.empty();
    for (int slot = 1; slot < start; ++slot) {
        whole.frames.at(static_cast<std::size_t>(slot)) =
            before.frames.at(static_cast<std::size_t>(slot));
    }
    return whole;
}

}  // namespace

bool ScreenRedraw::resumes(const ViewSteps& steps, const PageSetup& setup, int firstChanged) const {
    if (!kept_ || kept_->start.slot != firstChanged || setup != kept_->setup) {
        return false;
    }
    for (int slot = 1; slot < firstChanged; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        if (steps.turn[s] != kept_->steps.turn[s] || steps.zoom[s] != kept_->steps.zoom[s]) {
            return false;
        }
    }
    return true;
}

QImage ScreenRedraw::draw(ViewSteps& steps, PageSetup& setup, MessageSink& messages,
                          PageOutcome& outcome, int firstChanged) {
    const DeviceProfile profile = screenProfile();
    const bool resume = firstChanged > 1 && resumes(steps, setup, firstChanged);
    QImage page = resume ? kept_->page : blankScreenPage();
    if (page.isNull()) {
        return page;
    }
    const PageStart start = resume ? kept_->start : PageStart{};
    QRect ink = resume ? kept_->ink : QRect();
    std::optional<Kept> next;
    drawOnScreenPage(page, extents_, ink, [&](DrawSurface& surface) {
        outcome = composePage({surface, profile, messages, surface}, setup, steps, start,
                              [&](const PageStart& at) {
                                  if (firstChanged > 1 && !resume && at.slot == firstChanged) {
                                      next = Kept{at, page.copy(), ink, {}, {}, {}};
                                  }
                              });
    });
    if (resume) {
        outcome = joined(kept_->outcome, firstChanged, std::move(outcome));
    } else if (next) {
        kept_ = std::move(next);
    }
    if (kept_ && (resume || next)) {
        kept_->setup = setup;
        kept_->steps = steps;
        kept_->outcome = outcome;
    }
    return page;
}

}  // namespace kavlo
