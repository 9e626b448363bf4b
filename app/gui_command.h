#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavlo {

const char* guiUsage();
// The usage lines and a line for each option.
std::string guiHelp();

struct GuiOptions {
    std::optional<std::filesystem::path> home;
    // Data files to open in the slots, as given.
    std::vector<std::filesystem::path> files;
};

// Whether a first argument that is no verb starts the windows: an option, or a file name (one
// that is there, or has a folder or an extension); a bare word is a mistyped verb.
bool startsTheWindows(const std::string& firstArgument);

// The options of `kavlo [--home DIR] [FILE...]`; says what is wrong on `err` when they are not
// usable.
std::optional<GuiOptions> parseGuiOptions(std::span<const std::string> args, std::ostream& err);

// The main window, on the application folder. Needs a QApplication.
int runGui(const GuiOptions& options, std::ostream& err);

}  // namespace kavlo
