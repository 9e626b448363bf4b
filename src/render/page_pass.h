#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/messages.h"
#include "core/page_setup.h"
#include "core/view_steps.h"
#include "device_profile.h"
#include "page_composition.h"

namespace kavlo {

// A rectangle of the page in millimetres, its corners in the order they were dragged.
struct PageSelection {
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
};

// What to draw: the page set-up, the view steps and, for the metafile, the selection.
struct PageRequest {
    PageSetup setup;
    ViewSteps steps;
    std::optional<PageSelection> selection;
};

// The part of the page a metafile picture shows, twips.
struct TwipsWindow {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsWindow&, const TwipsWindow&) = default;
};

// The selection's window; a missing selection, or one of zero width or height, shows the whole
// page's extent, the origin still taken from a side that has a width.
TwipsWindow metafileWindow(const std::optional<PageSelection>& selection);

// Takes one JSON line of a pass's drawing calls.
using OpsLine = std::function<void(const std::string&)>;

// Where one pass draws: the device surface and its profile, where messages go, and a surface
// that measures text with the screen's fonts (the device itself on the screen).
struct PassTarget {
    DrawSurface& surface;
    const DeviceProfile& profile;
    MessageSink& messages;
    DrawSurface& screenMeasure;
    // When set, takes a line naming the device and then one line per drawing call.
    OpsLine ops;
    // False for a pass that only reads the page's files for their messages and outcome.
    bool plots = true;
    // Page mm below which the output shows nothing.
    float shownBottom = kPageHeightTwips / kTwipsPerMm;
};

// The one page pass every output draws with: the page of `setup` on the target, with the view
// `steps`. Clears the names of files the page finds missing in `setup`; the screen records the z
// ranges it plotted in `steps`.
PageOutcome runPagePass(ViewSteps& steps, PageSetup& setup, const PassTarget& target);

// The same pass from a request, on copies of its set-up and view steps; a selection that reaches
// below the page shows that far.
PageOutcome runPagePass(const PageRequest& request, const PassTarget& target);

}  // namespace kavlo
