#pragma once

#include <QCommandLineOption>
#include <QList>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavlo {

// One verb's command line: QCommandLineParser's option definitions, from which its usage line,
// its help and its parsing all come.
struct VerbSyntax {
    // "kavlo render".
    std::string command;
    QList<QCommandLineOption> options;
    // The arguments after the options as the usage line shows them ("FORMAT", "[NUMERIC]"), each
    // with its line of help; none where the verb takes only options.
    std::vector<std::pair<std::string, std::string>> operands = {};
    // Options that may be given more than once, each time adding to the last ("pth").
    std::vector<std::string> repeatable = {};
    // Whole command lines, each with what it does, that the help ends with.
    std::vector<std::pair<std::string, std::string>> examples = {};
    // A lone "-" names a file (check's standard input idiom) rather than being a stray option.
    bool dashIsOperand = false;
    // "--" ends the options, as the windows' file names may start with a dash.
    bool dashDashEndsOptions = false;
};

// `--home DIR`, which the window and every verb that reads a set-up take alike.
QCommandLineOption applicationFolderOption();
// `--pth FILE`, the path file of the page the verb is to `action` ("draw", "print").
QCommandLineOption pathFileOption(const QString& action);

// `usage: kavlo render [--home DIR] ... [-o OUT]`, one line.
std::string usageLine(const VerbSyntax& syntax);
// The usage line, then one line for each option and operand with what it is for, then the
// examples.
std::string helpText(const VerbSyntax& syntax);

// An argument the verbs have never taken as QCommandLineParser would: the parser is laxer
// (`--dpi=300`, `-o300`, `--` anywhere), and stops at the first of them where the verbs tell
// what is wrong in their own words, after the arguments before it.
struct Misfit {
    enum Kind { UnknownOption, MissingValue, StrayOperand } kind;
    std::size_t index;
    std::string argument;
    // The last argument: an option there has no value.
    bool last;
};

struct ParsedArguments {
    struct Found {
        // As given: "--dpi", "-o".
        std::string spelled;
        // Empty for an option without a value.
        std::string value;
    };
    // In the order given, a repeated option each time it was given.
    std::vector<Found> options;
    std::vector<std::string> operands;
    std::optional<Misfit> misfit;
};

// The arguments up to the first misfit, byte for byte as given: file names need not be UTF-8.
ParsedArguments parseArguments(const VerbSyntax& syntax, std::span<const std::string> args);

}  // namespace kavlo
