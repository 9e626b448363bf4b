#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavlo {

// Whether a data file of this name exists (folders are not data files).
bool dataFileExists(const std::filesystem::path& path);

// The first `maxLines` lines of a file as raw bytes, split at CR LF, LF or a lone CR, reading
// no more than `maxBytes`. Nothing when the file cannot be opened.
std::optional<std::vector<std::string>> readLeadingLines(const std::filesystem::path& path,
                                                         std::size_t maxLines,
                                                         std::size_t maxBytes);

}  // namespace kavlo
