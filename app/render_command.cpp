#include "render_command.h"

#include <QImage>
#include <QTemporaryDir>
#include <fstream>
#include <optional>
#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "core/decimal_number.h"
#include "core/json_text.h"
#include "core/path_file.h"
#include "devices/page_output.h"
#include "render/page_composition.h"
#include "render/recording_surface.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

constexpr int kPngQuality = 80;

struct RenderOptions {
    std::optional<std::filesystem::path> home;
    std::optional<std::filesystem::path> pathFile;
    std::optional<DeviceKind> device;
    int dpi = 600;
    std::optional<std::string> opsLog;
    std::optional<std::string> output;
};

std::optional<DeviceKind> deviceNamed(const std::string& name) {
    if (name == "screen") {
        return DeviceKind::Screen;
    }
    if (name == "printer") {
        return DeviceKind::Printer;
    }
    if (name == "metafile") {
        return DeviceKind::Metafile;
    }
    return std::nullopt;
}

// The device an output file's extension asks for.
std::optional<DeviceKind> deviceForOutput(const std::string& path) {
    const std::string ext = std::filesystem::path(path).extension().string();
    if (ext == ".png") {
        return DeviceKind::Screen;
    }
    if (ext == ".pdf") {
        return DeviceKind::Printer;
    }
    if (ext == ".svg") {
        return DeviceKind::Metafile;
    }
    return std::nullopt;
}

std::optional<RenderOptions> parseOptions(std::span<const std::string> args, std::ostream& err) {
    RenderOptions options;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (k + 1 >= args.size() || !(arg == "--home" || arg == "--pth" || arg == "--device" ||
                                      arg == "--dpi" || arg == "--ops" || arg == "-o")) {
            err << "kavlo render: "
                << (k + 1 >= args.size() && arg.starts_with("-") ? arg + " needs a value"
                                                                 : "unexpected argument " + arg)
                << "\n";
            return std::nullopt;
        }
        const std::string& value = args[++k];
        if (arg == "--home") {
            options.home = value;
        } else if (arg == "--pth") {
            options.pathFile = value;
        } else if (arg == "--device") {
            options.device = deviceNamed(value);
            if (!options.device) {
                err << "kavlo render: --device is screen, printer or metafile\n";
                return std::nullopt;
            }
        } else if (arg == "--dpi") {
            const auto dpi = parseDecimal(value);
            if (!dpi || *dpi != static_cast<int>(*dpi) || *dpi < 72 || *dpi > 4800) {
                err << "kavlo render: --dpi takes a whole number from 72 to 4800\n";
                return std::nullopt;
            }
            options.dpi = static_cast<int>(*dpi);
        } else if (arg == "--ops") {
            options.opsLog = value;
        } else {
            if (!deviceForOutput(value)) {
                err << "kavlo render: the output is a .png, .pdf or .svg file\n";
                return std::nullopt;
            }
            options.output = value;
        }
    }
    return options;
}

DeviceProfile profileFor(DeviceKind kind, int dpi) {
    switch (kind) {
        case DeviceKind::Printer:
            return printerProfile(dpi);
        case DeviceKind::Metafile:
            return metafileProfile();
        case DeviceKind::Screen:
            break;
    }
    return screenProfile();
}

// One composition of the page on one device, logging its calls when asked.
class PagePass {
  public:
    PagePass(const PageSetup& setup, const DeviceProfile& profile, MessageSink& messages,
             std::ostream* ops)
        : setup_(setup), profile_(profile), messages_(messages), ops_(ops) {}

    void operator()(DrawSurface& device) {
        RecordingSurface recorder(&device);
        DrawSurface& surface = ops_ ? static_cast<DrawSurface&>(recorder) : device;
        if (ops_) {
            *ops_ << "{\"op\":\"Device\",\"name\":" << jsonString(profile_.name)
                  << ",\"unitsPerMmX\":" << jsonFloat(profile_.unitsPerMmX)
                  << ",\"unitsPerMmY\":" << jsonFloat(profile_.unitsPerMmY) << "}\n";
            recorder.setListener([this](const RecordedOp& op) { *ops_ << toJson(op) << "\n"; });
        }
        std::optional<ScreenMeasure> screen;
        if (profile_.kind != DeviceKind::Screen) {
            screen.emplace();
        }
        GraphState g;
        PageSetup setup = setup_;
        const RenderContext ctx{g, surface, profile_, messages_,
                                screen ? screen->surface() : surface};
        outcome_ = composePage(ctx, setup);
    }

    const PageOutcome& outcome() const { return outcome_; }

  private:
    const PageSetup& setup_;
    const DeviceProfile& profile_;
    MessageSink& messages_;
    std::ostream* ops_;
    PageOutcome outcome_;
};

// Draws the page on a device of this kind into `path`; false when it cannot be written.
bool drawPage(DeviceKind kind, int dpi, const QString& path, PagePass& pass) {
    switch (kind) {
        case DeviceKind::Screen:
            // Light compression: a page image is mostly white and shrinks well at once.
            return renderScreenPage(std::ref(pass)).save(path, "PNG", kPngQuality);
        case DeviceKind::Printer:
            return writePdfPage(path, dpi, std::ref(pass));
        case DeviceKind::Metafile:
            return writeSvgPicture(path, std::ref(pass));
    }
    return false;
}

std::optional<PageSetup> loadSetup(const RenderOptions& options, std::ostream& err) {
    if (options.pathFile) {
        auto setup = readPathFile(*options.pathFile, PageSetup{});
        if (!setup) {
            err << "kavlo render: cannot read the path file " << options.pathFile->string() << "\n";
        }
        return setup;
    }
    const std::filesystem::path home = applicationFolder(options.home);
    if (auto setup = readPathFile(home / kPathFileName, PageSetup{})) {
        return setup;
    }
    if (!seedApplicationFolder(home)) {
        err << "kavlo render: cannot create the application folder " << home.string() << "\n";
        return std::nullopt;
    }
    return sampleSetup(home.string());
}

}  // namespace

const char* renderUsage() {
    return "usage: kavlo render [--home DIR] [--pth FILE] [--device screen|printer|metafile] "
           "[--dpi N] [--ops LOG.jsonl] [-o OUT]\n";
}

int runRender(std::span<const std::string> args, std::ostream& err) {
    const auto options = parseOptions(args, err);
    if (!options) {
        err << renderUsage();
        return 2;
    }
    const auto setup = loadSetup(*options, err);
    if (!setup) {
        return 2;
    }
    const std::optional<DeviceKind> outputKind =
        options->output ? deviceForOutput(*options->output) : std::nullopt;
    const DeviceKind opsKind = options->device.value_or(outputKind.value_or(DeviceKind::Screen));

    std::optional<std::ofstream> opsFile;
    if (options->opsLog) {
        opsFile.emplace(*options->opsLog, std::ios::binary);
        if (!*opsFile) {
            err << "kavlo render: cannot write " << *options->opsLog << "\n";
            return 2;
        }
    }
    StreamMessages screenMessages(err);
    SilentMessages silent;
    const auto messagesFor = [&](DeviceKind kind) -> MessageSink& {
        return kind == DeviceKind::Screen ? static_cast<MessageSink&>(screenMessages) : silent;
    };

    // The output's pass decides the status and shows the messages. An ops log of another
    // device, or a run with neither, takes a pass of its own on a scratch page.
    std::optional<PageOutcome> outcome;
    if (outputKind) {
        const DeviceProfile profile = profileFor(*outputKind, options->dpi);
        PagePass pass(*setup, profile, messagesFor(*outputKind),
                      opsFile && opsKind == *outputKind ? &*opsFile : nullptr);
        if (!drawPage(*outputKind, options->dpi, QString::fromStdString(*options->output), pass)) {
            err << "kavlo render: cannot write " << *options->output << "\n";
            return 2;
        }
        outcome = pass.outcome();
    }
    if (!outputKind || (opsFile && opsKind != *outputKind)) {
        const DeviceProfile profile = profileFor(opsKind, options->dpi);
        PagePass pass(*setup, profile, outcome ? silent : messagesFor(opsKind),
                      opsFile ? &*opsFile : nullptr);
        const QTemporaryDir scratch;
        const char* name = opsKind == DeviceKind::Screen    ? "/page.png"
                           : opsKind == DeviceKind::Printer ? "/page.pdf"
                                                            : "/page.svg";
        drawPage(opsKind, options->dpi, scratch.path() + name, pass);
        if (!outcome) {
            outcome = pass.outcome();
        }
    }
    return outcome && !outcome->allDrawn ? 1 : 0;
}

}  // namespace kavlo
