#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/page_setup.h"

namespace kavlo {

// Where a command-line verb finds its page set-up: `--home DIR` and `--pth FILE`.
struct SetupSource {
    std::optional<std::filesystem::path> home;
    std::optional<std::filesystem::path> pathFile;

    // Takes `--home` or `--pth` with its value; false for any other option.
    bool take(std::string_view option, const std::string& value);
};

// The page set-up a command-line verb draws: the path file given, else the application folder's
// path file, else (when that folder holds none) the samples seeded into that folder. Says on `err`,
// as `kavlo VERB: ...`, what was found where and why there is none; `page` starts each line
// about the path file of one page of several.
std::optional<PageSetup> loadCommandSetup(const SetupSource& source, std::string_view verb,
                                          std::ostream& err, std::string_view page = {});

}  // namespace kavlo
