#include "path_relocation.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <vector>

#include "ascii_case.h"
#include "bounded_file.h"
#include "drive_roots.h"
#include "path_file.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

bool existsAsWritten(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The file name of a path written on either system: after the last '\' or '/', or after the
// drive of a drive-relative "C:name".
std::string_view fileNameOf(std::string_view written) {
    const auto cut = written.find_last_of("/\\");
    if (cut != std::string_view::npos) {
        return written.substr(cut + 1);
    }
    const bool driveRelative = written.size() > 2 && written[1] == ':' &&
                               asciiLower(written[0]) >= 'a' && asciiLower(written[0]) <= 'z';
    return driveRelative ? written.substr(2) : written;
}

// The regular files of one folder, listed when first asked for.
class FolderFiles {
  public:
    explicit FolderFiles(fs::path folder) : folder_(std::move(folder)) {}

    // The file of that name, else the first (in byte order) of that name but for ASCII case.
    std::optional<fs::path> find(std::string_view name) {
        if (name.empty()) {
            return std::nullopt;
        }
        const fs::path exact = folder_ / std::string(name);
        if (isRegularDataFile(exact)) {
            return exact;
        }
        for (const std::string& file : names()) {
            if (sameIgnoringAsciiCase(file, name)) {
                return folder_ / file;
            }
        }
        return std::nullopt;
    }

  private:
    const std::vector<std::string>& names() {
        if (!names_) {
            names_.emplace();
            std::error_code error;
            for (fs::directory_iterator it(folder_, error), end; !error && it != end;
                 it.increment(error)) {
                if (isRegularDataFile(it->path())) {
                    names_->push_back(it->path().filename().string());
                }
            }
            std::sort(names_->begin(), names_->end());
        }
        return *names_;
    }

    fs::path folder_;
    std::optional<std::vector<std::string>> names_;
};

// Absolute and without a trailing separator, as the pickers hold folders.
std::string folderName(const fs::path& folder) {
    std::error_code error;
    fs::path absolute = fs::absolute(folder, error);
    std::string name = (error ? folder : absolute).lexically_normal().string();
    while (name.size() > 1 && name.ends_with('/')) {
        name.pop_back();
    }
    return name;
}

}  // namespace

RelocatedSetup relocatePageSetup(PageSetup setup, const fs::path& pathFileFolder) {
    const std::string folder = folderName(pathFileFolder);
    const std::vector<std::string> drives = driveRootFolders();
    FolderFiles files(folder);
    RelocationReport report;
    for (const FileKind kind : kFileKinds) {
        FilePicker& picker = setup.picker(kind);
        if (!picker.folder.empty() && !isFolder(picker.folder)) {
            picker.folder = folder;
        }
        if (!picker.drive.empty() && !isFolder(picker.drive)) {
            picker.drive = driveHolding(picker.folder.empty() ? folder : picker.folder, drives);
        }
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            std::string& name = setup.file(kind, slot);
            if (name.empty() || existsAsWritten(name)) {
                continue;
            }
            const auto found = files.find(fileNameOf(name));
            report.push_back({slot, kind, name, found ? found->string() : std::string()});
            if (found) {
                name = found->string();
            }
        }
    }
    return {std::move(setup), std::move(report)};
}

std::optional<RelocatedSetup> readRelocatedPathFile(const fs::path& pathFile,
                                                    const PageSetup& base) {
    auto setup = readPathFile(pathFile, base);
    if (!setup) {
        return std::nullopt;
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(pathFile, error);
    return relocatePageSetup(std::move(*setup), (error ? pathFile : absolute).parent_path());
}

std::optional<RelocatedSetup> loadWorkingFolder(const fs::path& pathFile, const PageSetup& base) {
    auto loaded = readRelocatedPathFile(pathFile, base);
    if (loaded) {
        for (const RelocatedFile& file : loaded->report) {
            if (file.found.empty()) {
                loaded->setup.file(file.kind, file.slot).clear();
            }
        }
    }
    return loaded;
}

std::string relocationText(const RelocationReport& report) {
    std::string text;
    for (const RelocatedFile& file : report) {
        text += text.empty() ? "" : "\n";
        text += "グラフ " + std::to_string(file.slot) + ": " + fileKindTitle(file.kind) + " " +
                file.written + (file.found.empty() ? " がありません。" : " → " + file.found);
    }
    return text;
}

std::optional<Message> relocationMessage(const RelocationReport& report) {
    if (report.empty()) {
        return std::nullopt;
    }
    const bool anyMissing = std::any_of(report.begin(), report.end(),
                                        [](const RelocatedFile& f) { return f.found.empty(); });
    return Message{kPathFileName, relocationText(report),
                   anyMissing ? MessageIcon::Exclamation : MessageIcon::Information};
}

}  // namespace kavlo
