#include "render_command.h"

#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <future>
#include <ostream>
#include <sstream>
#include <vector>

#include "core/atomic_file.h"
#include "core/decimal_number.h"
#include "core/json_text.h"
#include "devices/output_device.h"
#include "devices/screen_measure.h"
#include "page_setup_source.h"
#include "render/plot_budget.h"
#include "stream_messages.h"
#include "ui/checker_paths.h"
#include "verb_syntax.h"

namespace kavlo {
namespace {

// Far beyond the page, yet well inside the twips' integers.
constexpr double kLargestSelectionMm = 10000;

// The ops log, written as the page is drawn; a page of millions of facets logs gigabytes.
class OpsLog {
  public:
    explicit OpsLog(const std::filesystem::path& path) : file_(path) {}

    WriteResult open() { return file_.open(); }
    void add(const std::string& line) {
        buffer_ += line;
        buffer_ += '\n';
        if (buffer_.size() >= kChunk) {
            flush();
        }
    }
    WriteResult commit() {
        flush();
        return file_.commit();
    }

  private:
    static constexpr std::size_t kChunk = 1 << 16;
    void flush() {
        // A failed write is remembered by the file and reported by commit.
        file_.write(buffer_);
        buffer_.clear();
    }

    AtomicFile file_;
    std::string buffer_;
};

// One field of every device, or of those whose picture is the selection, in the table's
// order: "a, b or c".
std::string deviceList(std::string_view OutputDevice::*field, std::string_view separator,
                       std::string_view last, bool onlySelection = false) {
    std::vector<std::string_view> fields;
    for (const OutputDevice& device : outputDevices()) {
        if (device.drawsSelection || !onlySelection) {
            fields.push_back(device.*field);
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
                pathFileOption("draw"),
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
                {"o",
                 QString::fromStdString("output, written by its extension: " +
                                        deviceList(&OutputDevice::extension, ", ", " or ")),
                 "OUT"},
            },
        .examples = {{"kavlo render -o page.pdf",
                      "the page of the last choices (else the samples) as it prints"},
                     {"kavlo render --pth work/Kavlo.pth --dpi 300 -o page.png",
                      "the page of a working folder as a 300 DPI PNG"},
                     {"kavlo render --device emf --select 20,10,80,60 -o part.emf",
                      "a 60 x 50 mm part of the page as a picture for office suites"}}};
    return syntax;
}

// Reads the page as the screen does, telling its messages, and draws nothing.
PageOutcome readPage(const PageRequest& request, MessageSink& messages) {
    const DeviceProfile profile = screenProfile();
    ScreenMeasure screen;
    return runPagePass(request, {screen.surface(), profile, messages, screen.surface(), {}, false});
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

std::optional<RenderOptions> parseRenderOptions(std::span<const std::string> args,
                                                std::ostream& err) {
    const ParsedArguments parsed = parseArguments(renderSyntax(), args);
    RenderOptions options;
    for (const auto& [arg, value] : parsed.options) {
        if (options.setup.take(arg, value)) {
            continue;
        }
        if (arg == "--device") {
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
        } else {
            if (!outputDeviceForFile(value)) {
                err << "kavlo render: the output is a "
                    << deviceList(&OutputDevice::extension, ", ", " or ") << " file\n";
                return std::nullopt;
            }
            options.output = value;
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
    if (options.selection &&
        ((options.device && !options.device->drawsSelection) ||
         (options.output && !outputDeviceForFile(*options.output)->drawsSelection) ||
         (!options.device && !options.output))) {
        err << "kavlo render: --select needs the "
            << deviceList(&OutputDevice::name, ", ", " or ", true) << " device and an "
            << deviceList(&OutputDevice::extension, ", ", " or ", true) << " output\n";
        return std::nullopt;
    }
    // The log would be written over the picture.
    if (options.opsLog && options.output &&
        isSameFile(QString::fromStdString(*options.opsLog),
                   QString::fromStdString(*options.output))) {
        err << "kavlo render: --ops and -o name the same file " << terminalText(*options.output)
            << "\n";
        return std::nullopt;
    }
    for (const OutputDevice* device :
         {options.device, options.output ? outputDeviceForFile(*options.output) : nullptr}) {
        if (device && options.dpi > device->largestDpi) {
            err << "kavlo render: --dpi goes up to " << device->largestDpi << " for the "
                << device->name << " device\n";
            return std::nullopt;
        }
    }
    return options;
}

int runRender(std::span<const std::string> args, std::ostream& err) {
    const auto options = parseRenderOptions(args, err);
    if (!options) {
        err << renderUsage();
        return 2;
    }
    return runRender(*options, err);
}

int runRender(const RenderOptions& options, std::ostream& err) {
    const auto setup = loadCommandSetup(options.setup, "render", err);
    if (!setup) {
        return 2;
    }
    const PageRequest request{*setup, {}, options.selection};
    // The output's extension was checked with the options.
    const OutputDevice* output = options.output ? outputDeviceForFile(*options.output) : nullptr;
    const OutputDevice& opsDevice = options.device ? *options.device
                                    : output       ? *output
                                                   : outputDevice(OutputKind::Screen);
    const auto failed = [&](const WriteResult& result) {
        if (!result.ok()) {
            err << "kavlo render: " << terminalText(result.message) << "\n";
        }
        return !result.ok();
    };

    std::optional<OpsLog> opsLog;
    if (options.opsLog) {
        opsLog.emplace(*options.opsLog);
        if (failed(opsLog->open())) {
            return 2;
        }
    }
    const OpsLine logLine = [&](const std::string& line) { opsLog->add(line); };
    // The reading tells the messages once, whatever the output: in the pass of a device whose
    // reading shows them when there is one, else in a pass that only reads.
    StreamMessages messages(err);
    const bool opsPassOfItsOwn = opsLog && (!output || &opsDevice != output);
    const bool messagesTold = (output && output->readingShowsMessages) ||
                              (opsPassOfItsOwn && opsDevice.readingShowsMessages);

    // The output's pass decides the status; without one, the ops pass or the reading does.
    // Beside a pass the reading only tells the messages: it runs alongside, its lines held
    // back until the passes are done, so that stderr keeps them in reading order, never
    // interleaved with the passes' own lines.
    PageOutcome outcome;
    std::ostringstream readingLines;
    StreamMessages readingMessages(readingLines);
    std::future<PageOutcome> reading;
    if (!messagesTold) {
        if (output || opsPassOfItsOwn) {
            reading =
                std::async(std::launch::async, [&] { return readPage(request, readingMessages); });
        } else {
            outcome = readPage(request, messages);
        }
    }
    const auto toldReading = [&] {
        if (reading.valid()) {
            reading.get();
            err << readingLines.str();
        }
    };
    // A page too large for the device is refused whole: no output, the old file kept.
    try {
        if (opsPassOfItsOwn) {
            const QTemporaryDir scratch;
            const std::filesystem::path page =
                scratch
                    .filePath("page" +
                              QString::fromUtf8(opsDevice.extension.data(),
                                                static_cast<qsizetype>(opsDevice.extension.size())))
                    .toStdString();
            // Only the calls matter; the scratch page is thrown away however it fared.
            static_cast<void>(writePageFile(
                {opsDevice, options.dpi.value_or(opsDevice.defaultDpi), request, messages, logLine},
                page, outcome));
        }
        if (output) {
            const OpsLine outputLog = opsLog && &opsDevice == output ? logLine : OpsLine{};
            const WriteResult written = writePageFile(
                {*output, options.dpi.value_or(output->defaultDpi), request, messages, outputLog},
                *options.output, outcome);
            toldReading();
            if (failed(written)) {
                return 2;
            }
        }
    } catch (const PageTooLarge& refused) {
        toldReading();
        messages.show(refused.message());
        return 2;
    }
    toldReading();
    if (opsLog && failed(opsLog->commit())) {
        return 2;
    }
    return outcome.allDrawn ? 0 : 1;
}

}  // namespace kavlo
