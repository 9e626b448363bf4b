#pragma once

#include <QImage>
#include <QRect>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/messages.h"
#include "core/page_setup.h"
#include "render/page_composition.h"
#include "screen_measure.h"
#include "text_extent_cache.h"

namespace kavlo {

// The canvas's page, drawn again whenever its view steps change. Text is measured once for all
// the draws, and a draw whose changes begin at a later slot starts from the page as the previous
// draw left it before that slot: the drawing calls from there on are a whole draw's, on the same
// pixels, so the picture is the same.
class ScreenRedraw {
  public:
    // The page with `steps`, only the slots from `firstChanged` on differing from the previous
    // draw's (1: any may differ). Like a whole draw, the reading clears missing names in
    // `setup` and leaves each slot's plotted z range in `steps`; the outcome tells of all slots.
    QImage draw(ViewSteps& steps, PageSetup& setup, MessageSink& messages, PageOutcome& outcome,
                int firstChanged = 1);
    // The next draw reads every file again.
    void forget() { kept_.reset(); }
    // Draws the next pages for a screen of `ratio` device pixels to a pixel, at screenPageDpi
    // dots per inch, with the ratio, so that a painter shows them a pixel to a device pixel. A
    // page kept at another resolution is forgotten.
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return ratio_; }
    int dpi() const { return dpi_; }

  private:
    // The page before slot `start.slot`, and what the draw it came from was drawn with.
    struct Kept {
        PageStart start;
        QImage page;
        // Where the page is not white.
        QRect ink;
        PageSetup setup;
        ViewSteps steps;
        PageOutcome outcome;
        // The files of the slots before it as they were read: one edited since (in the
        // checker, say) is read again.
        std::vector<std::filesystem::file_time_type> stamps;
    };
    bool resumes(const ViewSteps& steps, const PageSetup& setup, int firstChanged) const;

    TextExtentCache extents_;
    std::optional<Kept> kept_;
    double ratio_ = 1;
    int dpi_ = kScreenDpi;
};

}  // namespace kavlo
