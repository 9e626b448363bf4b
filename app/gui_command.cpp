#include "gui_command.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "stream_messages.h"
#include "verb_syntax.h"

namespace kavlo {

namespace {

const VerbSyntax& guiSyntax() {
    static const VerbSyntax syntax{
        .command = "kavlo",
        .options = {applicationFolderOption()},
        .operands = {{"[FILE...]",
                      "data files to open in the slots (after --, names starting with -)"}},
        .examples = {{"kavlo", "the main window with the last choices (first the samples)"},
                     {"kavlo frmqap1.dat g01.dat cmtqap1.txt",
                      "the main window with these files in slot 1, ready to draw"}},
        .dashDashEndsOptions = true};
    return syntax;
}

constexpr const char* kVersionUsage = "       kavlo --version\n";

}  // namespace

const char* guiUsage() {
    static const std::string usage = usageLine(guiSyntax()) + kVersionUsage;
    return usage.c_str();
}

std::string guiHelp() {
    std::string help = helpText(guiSyntax());
    return help.insert(usageLine(guiSyntax()).size(), kVersionUsage);
}

bool startsTheWindows(const std::string& firstArgument) {
    std::error_code ignored;
    return firstArgument.starts_with("-") ||
           firstArgument.find_first_of("./") != std::string::npos ||
           std::filesystem::exists(firstArgument, ignored);
}

std::optional<GuiOptions> parseGuiOptions(std::span<const std::string> args, std::ostream& err) {
    const ParsedArguments parsed = parseArguments(guiSyntax(), args);
    if (const auto& misfit = parsed.misfit) {
        err << "kavlo: "
            << (misfit->kind == Misfit::MissingValue
                    ? "--home needs a value"
                    : "unexpected argument " + terminalText(misfit->argument))
            << "\n";
        return std::nullopt;
    }
    GuiOptions options;
    // The last --home counts.
    for (const ParsedArguments::Found& home : parsed.options) {
        options.home = home.value;
    }
    options.files.assign(parsed.operands.begin(), parsed.operands.end());
    return options;
}

}  // namespace kavlo
