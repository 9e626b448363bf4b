#include "page_pass.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/json_text.h"
#include "recording_surface.h"

namespace kavlo {
namespace {

int twips(float mm) {
    return static_cast<int>(std::nearbyint(static_cast<double>(mm) * kTwipsPerMm));
}

}  // namespace

TwipsWindow metafileWindow(const std::optional<PageSelection>& selection) {
    const PageSelection s = selection.value_or(PageSelection{});
    TwipsWindow window{s.x1 == s.x2 ? 0 : twips(std::min(s.x1, s.x2)),
                       s.y1 == s.y2 ? 0 : twips(std::min(s.y1, s.y2)), twips(std::abs(s.x2 - s.x1)),
                       twips(std::abs(s.y2 - s.y1))};
    if (window.width == 0 || window.height == 0) {
        window.width = kPageWidthTwips;
        window.height = kPageHeightTwips;
    }
    return window;
}

PageOutcome runPagePass(ViewSteps& steps, PageSetup& setup, const PassTarget& target) {
    if (!target.ops) {
        return composePage({target.surface, target.profile, target.messages, target.screenMeasure,
                            target.plots, target.shownBottom},
                           setup, steps);
    }
    const DeviceProfile& profile = target.profile;
    target.ops("{\"op\":\"Device\",\"name\":" + jsonString(profile.name) +
               ",\"unitsPerMmX\":" + jsonFloat(profile.unitsPerMmX) +
               ",\"unitsPerMmY\":" + jsonFloat(profile.unitsPerMmY) + "}");
    RecordingSurface recorder(&target.surface);
    recorder.setListener([&](const RecordedOp& op) { target.ops(toJson(op)); });
    // On the screen the device measures its own text, and so does the recorder in its place.
    DrawSurface& measure = &target.screenMeasure == &target.surface
                               ? static_cast<DrawSurface&>(recorder)
                               : target.screenMeasure;
    return composePage(
        {recorder, profile, target.messages, measure, target.plots, target.shownBottom}, setup,
        steps);
}

PageOutcome runPagePass(const PageRequest& request, const PassTarget& target) {
    ViewSteps steps = request.steps;
    PageSetup setup = request.setup;
    PassTarget shown = target;
    if (request.selection) {
        const TwipsWindow window = metafileWindow(request.selection);
        shown.shownBottom = std::max(target.shownBottom,
                                     static_cast<float>(window.top + window.height) / kTwipsPerMm);
    }
    return runPagePass(steps, setup, shown);
}

}  // namespace kavlo
