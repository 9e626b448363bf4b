#include "app_folder.h"

#include <cstdlib>

namespace kavlo {
namespace {

std::optional<std::filesystem::path> environmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

}  // namespace

std::filesystem::path applicationFolder(const std::optional<std::filesystem::path>& homeOverride) {
    if (homeOverride && !homeOverride->empty()) {
        return *homeOverride;
    }
    if (auto home = environmentPath("KAVLO_HOME")) {
        return *home;
    }
    // The XDG rules say a relative value is to be ignored.
    if (auto data = environmentPath("XDG_DATA_HOME"); data && data->is_absolute()) {
        return *data / "kavlo";
    }
    const auto home = environmentPath("HOME");
    return home.value_or(std::filesystem::path()) / ".local" / "share" / "kavlo";
}

}  // namespace kavlo
