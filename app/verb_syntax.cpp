#include "verb_syntax.h"

#include <QCommandLineParser>
#include <QHash>
#include <algorithm>

namespace kavlo {
namespace {

std::string spelled(const QCommandLineOption& option) {
    const QString name = option.names().front();
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

std::string withValue(const QCommandLineOption& option) {
    const std::string value = option.valueName().toStdString();
    return spelled(option) + (value.empty() ? "" : " " + value);
}

const QCommandLineOption* optionSpelled(const VerbSyntax& syntax, const std::string& argument) {
    const auto found = std::ranges::find_if(syntax.options, [&](const QCommandLineOption& option) {
        return spelled(option) == argument;
    });
    return found == syntax.options.end() ? nullptr : &*found;
}

// Latin-1 carries every byte through QString and back unchanged; the names are ASCII.
QString carried(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string uncarried(const QString& text) {
    return text.toLatin1().toStdString();
}

// Where the arguments first stop having the shape the verbs take.
std::optional<Misfit> firstMisfit(const VerbSyntax& syntax, std::span<const std::string> args) {
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool last = k + 1 == args.size();
        if (syntax.dashDashEndsOptions && arg == "--") {
            return std::nullopt;
        }
        if (const QCommandLineOption* option = optionSpelled(syntax, arg)) {
            if (!option->valueName().isEmpty()) {
                if (last) {
                    return Misfit{Misfit::MissingValue, k, arg, last};
                }
                ++k;
            }
        } else if (arg.starts_with('-') && !(syntax.dashIsOperand && arg == "-")) {
            return Misfit{Misfit::UnknownOption, k, arg, last};
        } else if (syntax.operands.empty()) {
            return Misfit{Misfit::StrayOperand, k, arg, last};
        }
    }
    return std::nullopt;
}

}  // namespace

std::string usageLine(const VerbSyntax& syntax) {
    std::string line = "usage: " + syntax.command;
    for (const QCommandLineOption& option : syntax.options) {
        const bool repeatable =
            std::ranges::find(syntax.repeatable, option.names().front().toStdString()) !=
            syntax.repeatable.end();
        line += " [" + withValue(option) + "]" + (repeatable ? "..." : "");
    }
    for (const auto& [operand, help] : syntax.operands) {
        line += " " + operand;
    }
    return line + "\n";
}

QCommandLineOption applicationFolderOption() {
    return {"home", "application folder (default $KAVLO_HOME, else ~/.local/share/kavlo)", "DIR"};
}

QCommandLineOption pathFileOption(const QString& action) {
    return {
        "pth",
        QString("path file to %1 (default Kavlo.pth of the folder, else the samples)").arg(action),
        "FILE"};
}

std::string helpText(const VerbSyntax& syntax) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const QCommandLineOption& option : syntax.options) {
        lines.emplace_back(withValue(option), option.description().toStdString());
    }
    lines.insert(lines.end(), syntax.operands.begin(), syntax.operands.end());
    std::size_t width = 0;
    for (const auto& [term, help] : lines) {
        width = std::max(width, term.size());
    }
    std::string text = usageLine(syntax);
    for (const auto& [term, help] : lines) {
        text += "  " + term + std::string(width - term.size() + 2, ' ') + help + "\n";
    }
    if (!syntax.examples.empty()) {
        text += syntax.examples.size() == 1 ? "example:\n" : "examples:\n";
    }
    // The command on a line of its own: whole command lines are too long for a column.
    for (const auto& [command, what] : syntax.examples) {
        text += "  " + command + "\n      " + what + "\n";
    }
    return text;
}

ParsedArguments parseArguments(const VerbSyntax& syntax, std::span<const std::string> args) {
    ParsedArguments parsed;
    parsed.misfit = firstMisfit(syntax, args);
    QStringList fitting{"kavlo"};
    for (const std::string& arg : args.first(parsed.misfit ? parsed.misfit->index : args.size())) {
        fitting << carried(arg);
    }
    QCommandLineParser parser;
    parser.addOptions(syntax.options);
    // Cannot fail: only options of the verb's, each with its value, are left to it.
    static_cast<void>(parser.parse(fitting));
    // A repeated option is found once for each time, its values in the same order.
    QHash<QString, qsizetype> times;
    for (const QString& name : parser.optionNames()) {
        const qsizetype nth = times[name]++;
        const QStringList values = parser.values(name);
        parsed.options.push_back({(name.size() == 1 ? "-" : "--") + name.toStdString(),
                                  nth < values.size() ? uncarried(values[nth]) : std::string()});
    }
    for (const QString& operand : parser.positionalArguments()) {
        parsed.operands.push_back(uncarried(operand));
    }
    return parsed;
}

}  // namespace kavlo
