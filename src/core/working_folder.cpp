#include "working_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

#include "atomic_file.h"
#include "file_copy.h"
#include "path_file.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

const char* const kOverwriteQuestion =
    "A folder with the same name exists. Do you want to overwrite the folder?";
constexpr int kNameAttempts = 100;
constexpr std::array<FileKind, 3> kCopyOrder = {FileKind::Format, FileKind::Numeric,
                                                FileKind::Comment};

// Where the new content ends up: a new folder, in place of the old one (Yes), or beside the
// old files (No).
enum class Placement { New, Replace, Merge };

void tell(MessageSink& messages, std::string text) {
    messages.show({kDataSaveTitle, std::move(text), MessageIcon::Exclamation, MessageButtons::Ok});
}

std::string because(int error) {
    const std::string reason = writeFailureReason(error);
    return reason.empty() ? std::error_code(error, std::generic_category()).message() + "。"
                          : reason;
}

// 0, or why `path` cannot be written. By the mode bits as well, as the atomic writer decides for
// files, so that a folder marked read-only is respected even by a process that could override it.
int writeError(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || ::access(path.c_str(), W_OK) != 0) {
        return errno;
    }
    return (status.st_mode & 0222) != 0 ? 0 : EACCES;
}

// A name in the old folder that a copy cannot replace: a read-only file or anything not a file.
// A symbolic link is replaced itself, whatever it points at.
bool blocksCopy(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (ec || !fs::exists(status) || fs::is_symlink(status)) {
        return false;
    }
    return !fs::is_regular_file(status) || writeError(path) != 0;
}

std::string fileNameOf(const std::string& text) {
    return text.substr(folderOf(text).size());
}

// "g01.dat" -> "g01-2.dat"; a name without an extension gets the number at its end.
std::string numberedName(const std::string& name, int number) {
    const std::size_t dot = name.rfind('.');
    const std::string suffix = "-" + std::to_string(number);
    if (dot == std::string::npos || dot == 0) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}

// A hidden folder the new content is built in; removed with what it holds unless handed on.
class StagingFolder {
  public:
    // Errno in `error` when no folder could be made. The name is short whatever the folder's.
    StagingFolder(const fs::path& parent, int& error) {
        std::random_device device;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const fs::path candidate = parent / (".kavlo-save." + std::to_string(device()));
            if (::mkdir(candidate.c_str(), 0777) == 0) {
                path_ = candidate;
                error = 0;
                return;
            }
            error = errno;
            if (error != EEXIST) {
                return;
            }
        }
    }
    ~StagingFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const fs::path& path() const { return path_; }
    // The content went elsewhere by a rename of the folder; nothing left to remove.
    void handedOn() { path_.clear(); }

  private:
    fs::path path_;
};

// Copies the slot files into the staging folder, each distinct file once, each under a name of
// its own.
class CopyPlan {
  public:
    CopyPlan(fs::path staging, fs::path finalFolder,
             std::function<bool(const std::string&)> blocked)
        : staging_(std::move(staging)),
          final_(std::move(finalFolder)),
          blocked_(std::move(blocked)) {}

    // What the path file names for `text`: the copy, or `text` itself when it was not copied.
    std::string copy(const std::string& text) {
        const Entry* entry = sameFile(text);
        if (!entry) {
            entry = &copyNew(text);
        }
        return entry->copied ? (final_ / entry->name).string() : text;
    }

    std::vector<std::string> copiedNames() const {
        std::vector<std::string> names;
        for (const Entry& entry : entries_) {
            if (entry.copied) {
                names.push_back(entry.name);
            }
        }
        return names;
    }
    const std::vector<NotCopied>& notCopied() const { return notCopied_; }

  private:
    struct Entry {
        std::string text;
        std::string name;
        bool copied = false;
    };

    const Entry* sameFile(const std::string& text) const {
        for (const Entry& entry : entries_) {
            std::error_code ec;
            if (entry.text == text || (entry.copied && fs::equivalent(entry.text, text, ec))) {
                return &entry;
            }
        }
        return nullptr;
    }

    bool taken(const std::string& name) const {
        if (name == kPathFileName || blocked_(name)) {
            return true;
        }
        for (const Entry& entry : entries_) {
            if (entry.copied && entry.name == name) {
                return true;
            }
        }
        return false;
    }

    std::string freeName(const std::string& wanted) const {
        std::string name = wanted;
        for (int number = 2; taken(name); ++number) {
            name = numberedName(wanted, number);
        }
        return name;
    }

    Entry& copyNew(const std::string& text) {
        Entry entry{text, freeName(fileNameOf(text))};
        if (const CopyResult result = copyFileAtomically(text, staging_ / entry.name);
            result.ok()) {
            entry.copied = true;
        } else {
            notCopied_.push_back({text, result.why});
        }
        entries_.push_back(std::move(entry));
        return entries_.back();
    }

    fs::path staging_;
    fs::path final_;
    std::function<bool(const std::string&)> blocked_;
    std::vector<Entry> entries_;
    std::vector<NotCopied> notCopied_;
};

// Swaps the complete new folder in for the old; the old one is removed only after that.
int replaceFolder(StagingFolder& staging, const fs::path& target) {
    if (::renameat2(AT_FDCWD, staging.path().c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) ==
        0) {
        return 0;  // the staging name now holds the old content, which goes with it
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without exchange: the old folder steps aside first, and back on failure.
    const fs::path aside = staging.path().string() + ".old";
    if (::rename(target.c_str(), aside.c_str()) != 0) {
        return errno;
    }
    if (::rename(staging.path().c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::rename(aside.c_str(), target.c_str());
        return error;
    }
    staging.handedOn();
    std::error_code ignored;
    fs::remove_all(aside, ignored);
    return 0;
}

// Moves the copies into the old folder, the path file last.
int mergeInto(const StagingFolder& staging, const fs::path& target,
              std::vector<std::string> names) {
    names.push_back(kPathFileName);
    for (const std::string& name : names) {
        if (::rename((staging.path() / name).c_str(), (target / name).c_str()) != 0) {
            return errno;
        }
    }
    return 0;
}

int putInPlace(StagingFolder& staging, const fs::path& target, Placement placement,
               const std::vector<std::string>& names) {
    switch (placement) {
        case Placement::New:
            if (::rename(staging.path().c_str(), target.c_str()) != 0) {
                return errno;
            }
            staging.handedOn();
            return 0;
        case Placement::Replace:
            return replaceFolder(staging, target);
        case Placement::Merge:
            return mergeInto(staging, target, names);
    }
    return EINVAL;
}

std::string listed(std::string text, const std::vector<NotCopied>& files) {
    for (const NotCopied& file : files) {
        text += "\n" + file.source + "\n    " + file.why;
    }
    return text;
}

std::string notCopiedText(const std::vector<NotCopied>& files) {
    return listed(
        "次のファイルはコピーできませんでした。パスファイルにはコピーではなく元のパスを"
        "書きました。\n",
        files);
}

// Whether `file` is named somewhere inside `folder`, going by the folders the name passes
// through: a link inside the folder counts as inside, wherever it points.
bool namedWithin(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path named = fs::absolute(file, ec).lexically_normal().parent_path();
    fs::path parent = fs::weakly_canonical(named, ec);
    if (ec) {
        parent = named;
    }
    fs::path root = fs::weakly_canonical(folder, ec);
    if (ec) {
        root = fs::absolute(folder, ec).lexically_normal();
    }
    return std::mismatch(root.begin(), root.end(), parent.begin(), parent.end()).first ==
           root.end();
}

// The files not copied that the old folder holds: putting the new content in place could
// remove them while the path file still names them.
std::vector<NotCopied> notCopiedWithin(const std::vector<NotCopied>& files,
                                       const fs::path& folder) {
    std::vector<NotCopied> within;
    std::copy_if(files.begin(), files.end(), std::back_inserter(within),
                 [&](const NotCopied& file) { return namedWithin(file.source, folder); });
    return within;
}

// Nothing when the folder cannot take the save, after telling why.
std::optional<Placement> placementFor(const fs::path& target, MessageSink& messages) {
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (!fs::exists(status)) {
        return Placement::New;
    }
    if (!fs::is_directory(status)) {
        tell(messages, "同じ名前のファイル " + target.string() +
                           " があるため、フォルダを作成できません。別の名前を入力してください。");
        return std::nullopt;
    }
    const Placement placement =
        messages.show({kDataSaveTitle, kOverwriteQuestion, MessageIcon::Question,
                       MessageButtons::YesNo}) == MessageAnswer::Yes
            ? Placement::Replace
            : Placement::Merge;
    if (placement == Placement::Merge && blocksCopy(target / kPathFileName)) {
        tell(messages, "フォルダ " + target.string() + " のパスファイル " + kPathFileName +
                           " は読み取り専用か通常のファイルではないため書き換えられません。"
                           "保存しませんでした。");
        return std::nullopt;
    }
    return placement;
}

}  // namespace

FolderNameCheck checkFolderName(std::string_view name) {
    if (name.empty()) {
        return FolderNameCheck::Empty;
    }
    if (name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
        return FolderNameCheck::Refused;
    }
    return FolderNameCheck::Usable;
}

WorkingFolderSave saveWorkingFolder(const PageSetup& setup, const fs::path& appFolder,
                                    std::string_view name, MessageSink& messages) {
    WorkingFolderSave save;
    switch (checkFolderName(name)) {
        case FolderNameCheck::Empty:
            return save;
        case FolderNameCheck::Refused:
            tell(messages, "フォルダ名「" + std::string(name) +
                               "」は使えません。「/」「\\」を含まない、「.」「..」以外の名前を"
                               "入力してください。");
            save.result = SaveResult::Refused;
            return save;
        case FolderNameCheck::Usable:
            break;
    }
    if (const auto unwritable = firstUnwritableName(setup)) {
        tell(messages, unwritableNameText(*unwritable, "保存しませんでした。"));
        save.result = SaveResult::Refused;
        return save;
    }
    save.result = SaveResult::Failed;
    const fs::path target = appFolder / std::string(name);
    const std::optional<Placement> placement = placementFor(target, messages);
    if (!placement) {
        return save;
    }
    const fs::path stagingParent = *placement == Placement::Merge ? target : appFolder;
    int error = writeError(stagingParent);
    std::optional<StagingFolder> staging;
    if (error == 0) {
        staging.emplace(stagingParent, error);
    }
    if (!staging || staging->path().empty()) {
        tell(messages, "フォルダ " + stagingParent.string() + " に書き込めません。" +
                           because(error) + "保存しませんでした。");
        return save;
    }

    CopyPlan plan(staging->path(), target, [&](const std::string& copyName) {
        return *placement == Placement::Merge && blocksCopy(target / copyName);
    });
    PageSetup written = setup;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        for (const FileKind kind : kCopyOrder) {
            std::string& line = written.file(kind, slot);
            if (!line.empty()) {
                line = plan.copy(line);
            }
        }
    }
    if (const std::vector<NotCopied> kept = notCopiedWithin(plan.notCopied(), target);
        *placement != Placement::New && !kept.empty()) {
        tell(messages, listed("次のファイルはコピーできませんでした。フォルダ " + target.string() +
                                  " の中にあり、保存すると失われるおそれがあるため、フォルダは"
                                  "元のまま残し、保存しませんでした。\n",
                              kept));
        save.notCopied = plan.notCopied();
        return save;
    }
    if (const WriteResult result =
            replaceFileAtomically(staging->path() / kPathFileName, formatPathFile(written));
        !result.ok()) {
        tell(messages,
             result.message + "\nフォルダ " + target.string() + " は保存しませんでした。");
        return save;
    }
    if (const int failed = putInPlace(*staging, target, *placement, plan.copiedNames());
        failed != 0) {
        tell(messages,
             "フォルダ " + target.string() + " に保存できませんでした。" + because(failed));
        return save;
    }
    syncFolder(*placement == Placement::Merge ? target : appFolder);

    save.result = SaveResult::Saved;
    save.folder = target;
    save.pathFile = std::move(written);
    save.notCopied = plan.notCopied();
    if (!save.notCopied.empty()) {
        tell(messages, notCopiedText(save.notCopied));
    }
    return save;
}

}  // namespace kavlo
