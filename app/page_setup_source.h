#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string_view>

#include "core/page_setup.h"

namespace kavlo {

// The page set-up a command-line verb draws: the path file given, else the application folder's
// path file, else the samples seeded into that folder. Says on `err`, as `kavlo VERB: ...`, why
// there is none.
std::optional<PageSetup> loadCommandSetup(const std::optional<std::filesystem::path>& home,
                                          const std::optional<std::filesystem::path>& pathFile,
                                          std::string_view verb, std::ostream& err);

}  // namespace kavlo
