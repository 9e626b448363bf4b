#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "removal_on_signal.h"

namespace kavlo {

// The hidden files kept beside a target while it is written: temporary files
// ".NAME.<16 hex digits>.tmp" and the backup ".NAME.kavlo-backup" of a file rewritten in place.
// A name too long to fit into either is cut at a whole UTF-8 character and marked with a hash
// of the whole name, so every target still has names of its own.
class SiblingFiles {
  public:
    explicit SiblingFiles(const std::filesystem::path& target);

    std::filesystem::path temporary(std::uint64_t random) const;
    std::filesystem::path backup() const;
    bool isTemporary(std::string_view name) const;
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
    std::string stem_;
};

// Creates a fresh temporary file of the target with `mode`, locked with flock for as long as it
// stays open and removed if a signal ends the process. Returns the descriptor, or -1 and errno.
int createTemporary(const SiblingFiles& siblings, mode_t mode, std::filesystem::path& temporary,
                    RemovalOnSignal& removal);

// Removes the temporary files of the target that no open writer holds: a writer that died left
// them.
void removeStaleTemporaries(const SiblingFiles& siblings);

}  // namespace kavlo
