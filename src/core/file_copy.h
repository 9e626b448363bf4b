#pragma once

#include <filesystem>
#include <string>

namespace kavlo {

// Empty when the copy was made, else why not (a user-facing text).
struct [[nodiscard]] CopyResult {
    bool ok() const { return why.empty(); }
    std::string why;
};

// Copies the bytes of the regular file `from` to `to` through the atomic writer: `to` is either
// the complete copy or as it was. Streams the file, so size is no concern.
CopyResult copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace kavlo
