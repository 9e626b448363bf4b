#include "drive_roots.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// Mount points are the folders right under these, and for /run/media one level deeper; hidden
// folders are none.
void addMounts(std::vector<std::string>& roots, const fs::path& base, int depth) {
    std::error_code error;
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (!it->path().filename().string().starts_with('.') && it->is_directory(kindError)) {
            folders.push_back(it->path());
        }
    }
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) {
        if (depth > 1) {
            addMounts(roots, folder, depth - 1);
        } else {
            roots.push_back(folder.string());
        }
    }
}

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
    std::vector<std::string> roots{"/", homeFolder()};
    addMounts(roots, "/media", 1);
    addMounts(roots, "/mnt", 1);
    addMounts(roots, "/run/media", 2);
    std::vector<std::string> unique;
    for (std::string& root : roots) {
        if (std::find(unique.begin(), unique.end(), root) == unique.end()) {
            unique.push_back(std::move(root));
        }
    }
    return unique;
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
