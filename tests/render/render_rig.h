#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/messages.h"
#include "core/placed_graph.h"
#include "render/device_profile.h"
#include "render/recording_surface.h"
#include "render/render_context.h"

namespace kavlo::test {

// One field (or the whole) of every op of the kinds named, in the order recorded.
template <class Field>
auto each(const RecordingSurface& surface, std::initializer_list<std::string_view> ops,
          Field field) {
    std::vector<std::remove_cvref_t<std::invoke_result_t<Field, const RecordedOp&>>> found;
    for (const auto& op : surface.ops()) {
        if (std::find(ops.begin(), ops.end(), op.op) != ops.end()) {
            found.push_back(std::invoke(field, op));
        }
    }
    return found;
}

// A page drawn on recording surfaces; without a real device each character measures as wide
// as its font and text as high as the font's cell.
struct RenderRig {
    explicit RenderRig(DeviceProfile p) : profile(std::move(p)) {}

    RenderContext ctx() { return {surface, profile, messages, screenMeasure}; }
    // Plots the graph as a page does: its z range settled with the zoom steps first.
    void plot(double zoomSteps = 0);
    // The recorded ops of one kind, in order, or one field of each.
    std::vector<RecordedOp> ops(std::string_view name) const {
        return test::each(surface, {name}, std::identity{});
    }
    template <class T>
    std::vector<T> each(std::string_view op, T RecordedOp::*field) const {
        return test::each(surface, {op}, field);
    }

    PlacedGraph g;
    ViewSteps steps;
    DeviceProfile profile;
    RecordingSurface surface;
    RecordingSurface screenMeasure;
    RecordedMessages messages;
};

// The screen profile at a scale of `unitsPerMm`, so that page mm map to round device numbers.
DeviceProfile scaledScreen(float unitsPerMm);

// A frame of 100 x 80 x 60 mm at (25, 10) with both floor angles 0, so its corners are exact:
// origin (35, 75), x end (135, 75), y end (215, 75), top (35, 15); and a 3 x 2 grid
// (row y = 1: 0 1 2, row y = 2: 3 4 5) drawn over the z range 0..10.
void flatFrameWithGrid(PlacedGraph& g, std::int16_t ipl = 0, std::int16_t ldr = 1);

// Puts the nx x ny values `z` (x index fastest, y index 1 first) in the grid.
void setGridValues(PlacedGraph& g, int nx, int ny, const std::vector<float>& z);

}  // namespace kavlo::test
