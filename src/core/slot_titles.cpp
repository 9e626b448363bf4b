#include "slot_titles.h"

namespace kavlo {
namespace {

std::string ordinal(int slot) {
    switch (slot) {
        case 1:
            return "1st";
        case 2:
            return "2nd";
        case 3:
            return "3rd";
        default:
            return std::to_string(slot) + "th";
    }
}

std::string title(int slot, const char* kind) {
    return " " + ordinal(slot) + " " + kind + " Data Error";
}

}  // namespace

std::string formatErrorTitle(int slot) {
    return title(slot, "Format");
}
std::string graphErrorTitle(int slot) {
    return title(slot, "Graph");
}
std::string commentErrorTitle(int slot) {
    // Users know the fifth comment title by this spelling; it stays.
    return slot == 5 ? " 5rd Comment Data Error" : title(slot, "Comment");
}

}  // namespace kavlo
