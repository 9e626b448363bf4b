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

// When each file of the slots before `start` was last written; a missing one has no time.
std::vector<std::filesystem::file_time_type> fileStamps(const PageSetup& setup, int start) {
    std::vector<std::filesystem::file_time_type> stamps;
    for (int slot = 1; slot < start; ++slot) {
        for (const FileKind kind : kFileKinds) {
            std::error_code ignored;
            stamps.push_back(std::filesystem::last_write_time(setup.file(kind, slot), ignored));
        }
    }
    return stamps;
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
    return fileStamps(setup, firstChanged) == kept_->stamps;
}

void ScreenRedraw::setDevicePixelRatio(double ratio) {
    ratio_ = ratio;
    if (screenPageDpi(ratio) != dpi_) {
        dpi_ = screenPageDpi(ratio);
        kept_.reset();
    }
}

QImage ScreenRedraw::draw(ViewSteps& steps, PageSetup& setup, MessageSink& messages,
                          PageOutcome& outcome, int firstChanged) {
    const DeviceProfile profile = screenProfile();
    const bool resume = firstChanged > 1 && resumes(steps, setup, firstChanged);
    QImage page = resume ? kept_->page : blankScreenPage(dpi_);
    if (page.isNull()) {
        return page;
    }
    const PageStart start = resume ? kept_->start : PageStart{};
    QRect ink = resume ? kept_->ink : QRect();
    std::optional<Kept> next;
    drawOnScreenPage(
        page, extents_, ink,
        [&](DrawSurface& surface) {
            outcome = composePage({surface, profile, messages, surface}, setup, steps, start,
                                  [&](const PageStart& at) {
                                      if (firstChanged > 1 && !resume && at.slot == firstChanged) {
                                          next = Kept{at, page.copy(), ink, {}, {}, {}, {}};
                                      }
                                  });
        },
        dpi_);
    if (resume) {
        outcome = joined(kept_->outcome, firstChanged, std::move(outcome));
    } else if (next) {
        kept_ = std::move(next);
    }
    if (kept_ && (resume || next)) {
        kept_->setup = setup;
        kept_->steps = steps;
        kept_->outcome = outcome;
        kept_->stamps = fileStamps(setup, kept_->start.slot);
    }
    // Set while the page is its own, so that it costs no copy.
    page.setDevicePixelRatio(ratio_);
    return page;
}

}  // namespace kavlo
