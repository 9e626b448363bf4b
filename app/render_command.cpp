#include "render_command.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <ostream>
#include <vector>

#include "core/decimal_number.h"
#include "core/json_text.h"
#include "core/opened_files.h"
#include "devices/output_device.h"
#include "stream_messages.h"
#include "ui/checker_paths.h"
#include "verb_syntax.h"

namespace kavlo {
namespace {

// Far beyond the page, yet well inside the twips' integers.
constexpr double kLargestSelectionMm = 10000;

// What `--to` calls a device: its extension without the dot.
std::string_view formatName(const OutputDevice& device) {
    return device.extension.substr(1);
}

// One field of every device, or of those whose picture is the selection, in the table's
// order: "a, b or c".
template <typename Field>
std::string deviceList(Field field, std::string_view separator, std::string_view last,
                       bool onlySelection = false) {
    std::vector<std::string_view> fields;
    for (const OutputDevice& device : outputDevices()) {
        if (device.drawsSelection || !onlySelection) {
            fields.push_back(std::invoke(field, device));
        }
    }
    std::string list;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        list += k == 0 ? "" : k + 1 == fields.size() ? last : separator;
        list += fields[k];
    }
    return list;
}

const VerbSyntax& renderSyntax() {
    static const VerbSyntax syntax{
        .command = "kavlo render",
        .options =
            {
                applicationFolderOption(),
                {"pth",
                 "path file of a page to draw, once for each page (default Kavlo.pth of the "
                 "folder, else the samples)",
                 "FILE"},
                {"header", "the page header text (default with data files: none)", "TEXT"},
                {"device",
                 "device whose drawing calls --ops logs (default the output's, else screen)",
                 QString::fromStdString(deviceList(&OutputDevice::name, "|", "|"))},
                {"dpi",
                 QString("resolution of the PNG (96) or the PDF (600), %1 to %2")
                     .arg(kSmallestDpi)
                     .arg(kLargestDpi),
                 "N"},
                {"ops", "log every drawing call as JSON lines", "LOG.jsonl"},
                {"select", "part of the page, in mm, that an .svg or .emf shows", "X1,Y1,X2,Y2"},
                {"to",
                 QString::fromStdString("what the output is written as, whatever its name: " +
                                        deviceList(formatName, ", ", " or ")),
                 QString::fromStdString(deviceList(formatName, "|", "|"))},
                {"o",
                 QString::fromStdString(
                     "output, written by its extension: " +
                     deviceList(&OutputDevice::extension, ", ", " or ") +
                     "; %02d in it numbers one file per page; - is standard output"),
                 "OUT"},
            },
        .operands = {{"[FILE...]",
                      "data files of one page, placed as the main window places the files it "
                      "opens (names starting with - after --)"}},
        .repeatable = {"pth"},
        .examples = {{"kavlo render -o page.pdf",
                      "the page of the last choices (else the samples) as it prints"},
                     {"kavlo render --header 'Run 12' -o graph.png frm1.dat grid1.dat notes.txt",
                      "a graph of these files, without a path file"},
                     {"kavlo render --pth a/Kavlo.pth --pth b/Kavlo.pth -o report.pdf",
                      "two pages in one PDF; -o page-%02d.png gives one PNG each"},
                     {"kavlo render --to pdf -o - frm1.dat grid1.dat | lp",
                      "the page to standard output"},
                     {"kavlo render --pth work/Kavlo.pth --dpi 300 -o page.png",
                      "the page of a working folder as a 300 DPI PNG"},
                     {"kavlo render --device emf --select 20,10,80,60 -o part.emf",
                      "a 60 x 50 mm part of the page as a picture for office suites"}},
        .dashDashEndsOptions = true};
    return syntax;
}

// The page millimetres of `--select X1,Y1,X2,Y2`.
std::optional<PageSelection> selectionOf(const std::string& value) {
    std::array<float, 4> corners{};
    std::size_t from = 0;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const std::size_t comma = value.find(',', from);
        if ((comma == std::string::npos) != (k + 1 == corners.size())) {
            return std::nullopt;
        }
        const auto number = parseDecimal(value.substr(from, comma - from));
        if (!number || !std::isfinite(*number) || std::abs(*number) > kLargestSelectionMm) {
            return std::nullopt;
        }
        corners[k] = static_cast<float>(*number);
        from = comma + 1;
    }
    return PageSelection{corners[0], corners[1], corners[2], corners[3]};
}

}  // namespace

const char* renderUsage() {
    static const std::string usage = usageLine(renderSyntax());
    return usage.c_str();
}

std::string renderHelp() {
    return helpText(renderSyntax());
}

namespace {

// The output options that depend on one another, checked once all are known.
bool outputFits(const RenderOptions& options, std::ostream& err) {
    const auto refuse = [&](const std::string& why) {
        err << "kavlo render: " << why << "\n";
        return false;
    };
    if (!options.dataFiles.empty() && !options.pathFiles.empty()) {
        return refuse("data files and --pth do not go together: a path file names its own");
    }
    for (const auto& file : options.dataFiles) {
        if (isPathFile(file)) {
            return refuse(terminalText(file.string()) + " is a path file: give it with --pth");
        }
    }
    const OutputDevice* format = options.format;
    const bool toStandardOutput = options.toStandardOutput();
    if (options.output && !format) {
        return refuse(toStandardOutput ? "-o - needs --to " + deviceList(formatName, "|", "|")
                                       : "the output is a " +
                                             deviceList(&OutputDevice::extension, ", ", " or ") +
                                             " file, or names its format with --to");
    }
    // A picture's bytes would garble the terminal.
    if (toStandardOutput && isatty(STDOUT_FILENO)) {
        return refuse(
            "standard output is a terminal: send it to a file or a program, or name a "
            "file with -o");
    }
    if (format && !options.output) {
        return refuse("--to names the format of -o OUT");
    }
    const int pages = options.pageCount();
    if (options.output && pages > 1 && !options.output->numbered() && !format->writePages) {
        return refuse(std::to_string(pages) +
                      (toStandardOutput ? " pages go to standard output only as one PDF"
                                        : " pages need a page number in OUT, such as page-%02d" +
                                              std::string(format->extension) + ", or a PDF"));
    }
    if (options.selection &&
        ((options.device && !options.device->drawsSelection) ||
         (format && !format->drawsSelection) || (!options.device && !format))) {
        return refuse("--select needs the " + deviceList(&OutputDevice::name, ", ", " or ", true) +
                      " device and an " + deviceList(&OutputDevice::extension, ", ", " or ", true) +
                      " output");
    }
    // The log would be written over the picture.
    for (int page = 1; options.opsLog && options.output && !toStandardOutput &&
                       page <= (options.output->numbered() ? pages : 1);
         ++page) {
        const std::string output = options.output->forPage(page);
        if (isSameFile(QString::fromStdString(*options.opsLog), QString::fromStdString(output))) {
            return refuse("--ops and -o name the same file " + terminalText(output));
        }
    }
    for (const OutputDevice* device : {options.device, format}) {
        if (device && options.dpi > device->largestDpi) {
            return refuse("--dpi goes up to " + std::to_string(device->largestDpi) + " for the " +
                          std::string(device->name) + " device");
        }
    }
    return true;
}

}  // namespace

std::optional<RenderOptions> parseRenderOptions(std::span<const std::string> args,
                                                std::ostream& err) {
    const ParsedArguments parsed = parseArguments(renderSyntax(), args);
    RenderOptions options;
    const OutputDevice* named = nullptr;
    for (const auto& [arg, value] : parsed.options) {
        if (arg == "--home") {
            options.home = value;
        } else if (arg == "--pth") {
            options.pathFiles.emplace_back(value);
        } else if (arg == "--header") {
            options.header = value;
        } else if (arg == "--device") {
            const OutputDevice* device = outputDeviceNamed(value);
            if (!device) {
                err << "kavlo render: --device is " << deviceList(&OutputDevice::name, ", ", " or ")
                    << "\n";
                return std::nullopt;
            }
            options.device = device;
        } else if (arg == "--dpi") {
            const auto dpi = parseDecimal(value);
            if (!dpi || *dpi != static_cast<int>(*dpi) || *dpi < kSmallestDpi ||
                *dpi > kLargestDpi) {
                err << "kavlo render: --dpi takes a whole number from " << kSmallestDpi << " to "
                    << kLargestDpi << "\n";
                return std::nullopt;
            }
            options.dpi = static_cast<int>(*dpi);
        } else if (arg == "--ops") {
            options.opsLog = value;
        } else if (arg == "--select") {
            options.selection = selectionOf(value);
            if (!options.selection) {
                err << "kavlo render: --select takes four page millimetres X1,Y1,X2,Y2\n";
                return std::nullopt;
            }
        } else if (arg == "--to") {
            const auto devices = outputDevices();
            const auto found = std::ranges::find(devices, std::string_view(value), formatName);
            named = found == devices.end() ? nullptr : &*found;
            if (!named) {
                err << "kavlo render: --to is " << deviceList(formatName, ", ", " or ") << "\n";
                return std::nullopt;
            }
        } else {
            options.output = PageFileName::parse(value);
            if (!options.output) {
                err << "kavlo render: the page number in " << terminalText(value)
                    << " is written %d or %0Nd, once, and a percent sign %%\n";
                return std::nullopt;
            }
        }
    }
    if (const auto& misfit = parsed.misfit) {
        const std::string& arg = misfit->argument;
        err << "kavlo render: "
            << terminalText(misfit->last && arg.starts_with("-") ? arg + " needs a value"
                                                                 : "unexpected argument " + arg)
            << "\n";
        return std::nullopt;
    }
    options.dataFiles.assign(parsed.operands.begin(), parsed.operands.end());
    options.format = named            ? named
                     : options.output ? outputDeviceForFile(options.output->forPage(1))
                                      : nullptr;
    if (!outputFits(options, err)) {
        return std::nullopt;
    }
    return options;
}

int runRender(std::span<const std::string> args, std::ostream& err) {
    const auto options = parseRenderOptions(args, err);
    if (!options) {
        err << renderUsage();
        return kRenderUsageError;
    }
    return runRender(*options, err);
}

}  // namespace kavlo
