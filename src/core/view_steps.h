#pragma once

#include <array>

namespace kavlo {

constexpr int kSlotCount = 6;

// The canvas's view of each slot, index 1..6 (0 unused): 5-degree turn steps and the z
// magnification exponent. Every output draws with them, so it shows what the screen shows.
struct ViewSteps {
    std::array<double, kSlotCount + 1> turn{};
    std::array<double, kSlotCount + 1> zoom{};
    // The settled z range the screen page last plotted each slot with (NaN when it was not
    // plotted); a zoomed write-back stores it.
    std::array<float, kSlotCount + 1> screenZMin{};
    std::array<float, kSlotCount + 1> screenZMax{};
};

}  // namespace kavlo
