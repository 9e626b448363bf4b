#pragma once

#include <array>
#include <vector>

namespace kavlo {

// The entries of the canvas window's group selector, in list order.
inline constexpr std::array<const char*, 10> kGroupChoiceTexts{"1-6", "1", "2",   "3",   "4",
                                                               "5",   "6", "1-2", "3-4", "5-6"};

// The graph groups (1..6) that a list position of the selector stands for; none outside the list.
std::vector<int> chosenGroups(int position);

}  // namespace kavlo
