#pragma once

#include <filesystem>
#include <optional>

namespace kavlo {

// The per-user folder that holds the samples, the help file and the path file: the --home
// override, else $KAVLO_HOME, else $XDG_DATA_HOME/kavlo, else ~/.local/share/kavlo. Only
// works out the name; creating and seeding it is the caller's job.
std::filesystem::path applicationFolder(const std::optional<std::filesystem::path>& homeOverride);

}  // namespace kavlo
