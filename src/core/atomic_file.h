#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "removal_on_signal.h"

namespace kavlo {

// The result of writing a file: ok, or a user-facing message (Japanese, naming the file).
// Deliberately not convertible to bool.
struct [[nodiscard]] WriteResult {
    bool ok() const { return message.empty(); }
    std::string message;
};

// The one way the program writes a file. Content goes to a temporary file beside the target,
// created with the target's final mode; commit() syncs it, renames it over the target and syncs
// the folder. Until commit() succeeds the old file is untouched; a destroyed, uncommitted
// writer removes its temporary file, and so does SIGINT, SIGTERM or SIGHUP; one left by a
// writer that died otherwise is removed by the next writer of the target.
// A target with several hard links is rewritten in place instead: its old content is first
// kept in ".NAME.kavlo-backup" beside it, removed once the new content is complete and synced.
// Writers of one target take turns under an exclusive flock on it, so a reader holding a shared
// flock never sees a rewrite halfway.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Refuses a target the user cannot write (with a message), else opens the temporary file.
    WriteResult open();
    bool write(std::string_view bytes);
    // Puts `bytes` over what was written at `offset` (a header known only at the end).
    bool writeAt(std::string_view bytes, off_t offset);
    // For writers that need a file descriptor of their own (Qt devices); do not close it.
    int descriptor() const;
    WriteResult commit();

  private:
    std::filesystem::path target_;     // as the caller named it, for messages
    std::filesystem::path resolved_;   // the file a symbolic link leads to
    std::filesystem::path temporary_;  // empty until open() succeeds
    RemovalOnSignal removal_;          // of the temporary file
    int descriptor_ = -1;
    bool failed_ = false;
    int error_ = 0;  // errno of the first failed write
    off_t written_ = 0;
    off_t handedToDisk_ = 0;
};

// Writes `bytes` as the whole new content of `file` through an AtomicFile.
WriteResult replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A short user-facing reason for a failed write (errno), or empty when there is none to give.
std::string writeFailureReason(int error);

// Makes the renames done in `folder` last through a crash.
void syncFolder(const std::filesystem::path& folder);

}  // namespace kavlo
