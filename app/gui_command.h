#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace kavlo {

const char* guiUsage();

struct GuiOptions {
    std::optional<std::filesystem::path> home;
};

// The options of `kavlo [--home DIR]`; says what is wrong on `err` when they are not usable.
std::optional<GuiOptions> parseGuiOptions(std::span<const std::string> args, std::ostream& err);

// The main window, on the application folder. Needs a QApplication.
int runGui(const GuiOptions& options, std::ostream& err);

}  // namespace kavlo
