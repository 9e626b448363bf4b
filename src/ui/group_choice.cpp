#include "group_choice.h"

namespace kavlo {

std::vector<int> chosenGroups(int position) {
    if (position == 0) {
        return {1, 2, 3, 4, 5, 6};
    }
    if (position >= 1 && position <= 6) {
        return {position};
    }
    if (position >= 7 && position <= 9) {
        const int first = 2 * (position - 7) + 1;
        return {first, first + 1};
    }
    return {};
}

}  // namespace kavlo
