#include "drive_roots.h"

#include <cstdlib>
#include <filesystem>

namespace kavlo {
namespace {

namespace fs = std::filesystem;

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        return "/";
    }
    std::string folder = fs::path(home).lexically_normal().string();
    while (folder.size() > 1 && folder.ends_with('/')) {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

std::vector<std::string> driveRootFolders() {
    const std::string home = homeFolder();
    return home == "/" ? std::vector<std::string>{"/"} : std::vector<std::string>{"/", home};
}

std::string driveHolding(std::string_view folder, const std::vector<std::string>& roots) {
    std::string best = "/";
    for (const std::string& root : roots) {
        const std::string prefix = root.ends_with('/') ? root : root + '/';
        const bool holds = folder == root || folder.starts_with(prefix);
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

}  // namespace kavlo
