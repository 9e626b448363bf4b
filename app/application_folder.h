#pragma once

#include <filesystem>

namespace kavlo {

// Creates the application folder if needed and, unless it holds a path file, puts the bundled
// sample files and the help file into it, leaving files of the same names that are already there
// alone. False when the folder cannot be made.
bool seedApplicationFolder(const std::filesystem::path& folder);

}  // namespace kavlo
