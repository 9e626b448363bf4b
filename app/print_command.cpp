#include "print_command.h"

#include <ostream>

#include "page_setup_source.h"
#include "stream_messages.h"
#include "verb_syntax.h"

namespace kavlo {

namespace {

const VerbSyntax& printSyntax() {
    static const VerbSyntax syntax{
        .command = "kavlo print",
        .options =
            {
                applicationFolderOption(),
                pathFileOption("print"),
                {"printer", "CUPS queue (default the system's default printer)", "NAME"},
            },
        .examples = {{"kavlo print", "the page of the last choices on the default printer"},
                     {"kavlo print --pth work/Kavlo.pth --printer Office",
                      "the page of a working folder on the CUPS queue Office"}}};
    return syntax;
}

}  // namespace

const char* printUsage() {
    static const std::string usage = usageLine(printSyntax());
    return usage.c_str();
}

std::string printHelp() {
    return helpText(printSyntax());
}

std::optional<PrintOptions> parsePrintOptions(std::span<const std::string> args,
                                              std::ostream& err) {
    const ParsedArguments parsed = parseArguments(printSyntax(), args);
    PrintOptions options;
    for (const auto& [arg, value] : parsed.options) {
        if (options.setup.take(arg, value)) {
            continue;
        }
        if (value.empty()) {
            err << "kavlo print: --printer needs a name\n";
            return std::nullopt;
        }
        options.printer = value;
    }
    if (const auto& misfit = parsed.misfit) {
        const std::string& arg = misfit->argument;
        err << "kavlo print: "
            << terminalText(misfit->kind == Misfit::MissingValue ? arg + " needs a value"
                                                                 : "unexpected argument " + arg)
            << "\n";
        return std::nullopt;
    }
    return options;
}

}  // namespace kavlo
