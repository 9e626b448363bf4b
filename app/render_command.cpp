#include "render_command.h"

#include <QTemporaryDir>
#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "core/atomic_file.h"
#include "core/decimal_number.h"
#include "core/json_text.h"
#include "core/path_file.h"
#include "devices/page_output.h"
#include "render/page_composition.h"
#include "render/recording_surface.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

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

// One composition of the page on one device, logging its calls when asked.
class PagePass {
  public:
    PagePass(const PageSetup& setup, const DeviceProfile& profile, MessageSink& messages,
             OpsLog* ops)
        : setup_(setup), profile_(profile), messages_(messages), ops_(ops) {}

    void operator()(DrawSurface& device) {
        RecordingSurface recorder(&device);
        DrawSurface& surface = ops_ ? static_cast<DrawSurface&>(recorder) : device;
        if (ops_) {
            ops_->add("{\"op\":\"Device\",\"name\":" + jsonString(profile_.name) +
                      ",\"unitsPerMmX\":" + jsonFloat(profile_.unitsPerMmX) +
                      ",\"unitsPerMmY\":" + jsonFloat(profile_.unitsPerMmY) + "}");
            recorder.setListener([this](const RecordedOp& op) { ops_->add(toJson(op)); });
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
    OpsLog* ops_;
    PageOutcome outcome_;
};

// Draws the page on a device of this kind into `path`.
WriteResult drawPage(DeviceKind kind, int dpi, const std::filesystem::path& path, PagePass& pass) {
    switch (kind) {
        case DeviceKind::Screen:
            return writePngImage(path, renderScreenPage(std::ref(pass)));
        case DeviceKind::Printer:
            return writePdfPage(path, dpi, std::ref(pass));
        case DeviceKind::Metafile:
            return writeSvgPicture(path, std::ref(pass));
    }
    return {"出力先の装置がありません。"};
}

// Reads the page as the screen does, telling its messages, and draws nothing.
PageOutcome readPage(const PageSetup& setup, MessageSink& messages) {
    const DeviceProfile profile = screenProfile();
    ScreenMeasure screen;
    PagePass pass(setup, profile, messages, nullptr);
    pass(screen.surface());
    return pass.outcome();
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

std::optional<RenderOptions> parseRenderOptions(std::span<const std::string> args,
                                                std::ostream& err) {
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

int runRender(std::span<const std::string> args, std::ostream& err) {
    const auto options = parseRenderOptions(args, err);
    if (!options) {
        err << renderUsage();
        return 2;
    }
    return runRender(*options, err);
}

int runRender(const RenderOptions& options, std::ostream& err) {
    const auto setup = loadSetup(options, err);
    if (!setup) {
        return 2;
    }
    // The output's extension was checked with the options.
    const bool hasOutput = options.output.has_value();
    const DeviceKind outputKind =
        hasOutput ? deviceForOutput(*options.output).value_or(DeviceKind::Screen)
                  : DeviceKind::Screen;
    const DeviceKind opsKind = options.device.value_or(outputKind);
    const auto failed = [&](const WriteResult& result) {
        if (!result.ok()) {
            err << "kavlo render: " << result.message << "\n";
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
    // The screen's reading tells the messages, once, whatever the output: in the pass of a
    // screen page when there is one, else in a pass that only reads. The printer and metafile
    // passes stay silent, as they do in the windows.
    StreamMessages screenMessages(err);
    SilentMessages silent;
    const auto messagesFor = [&](DeviceKind kind) -> MessageSink& {
        return kind == DeviceKind::Screen ? static_cast<MessageSink&>(screenMessages) : silent;
    };
    const bool opsPassOfItsOwn = opsLog && (!hasOutput || opsKind != outputKind);
    const bool screenPassDrawn = (hasOutput && outputKind == DeviceKind::Screen) ||
                                 (opsPassOfItsOwn && opsKind == DeviceKind::Screen);

    // The output's pass decides the status; without one, the ops pass or the reading does.
    std::optional<PageOutcome> outcome;
    if (!screenPassDrawn) {
        outcome = readPage(*setup, screenMessages);
    }
    if (opsPassOfItsOwn) {
        const DeviceProfile profile = profileFor(opsKind, options.dpi);
        PagePass pass(*setup, profile, messagesFor(opsKind), &*opsLog);
        const QTemporaryDir scratch;
        const char* name = opsKind == DeviceKind::Screen    ? "page.png"
                           : opsKind == DeviceKind::Printer ? "page.pdf"
                                                            : "page.svg";
        // Only the calls matter; the scratch page is thrown away however it fared.
        static_cast<void>(
            drawPage(opsKind, options.dpi, scratch.path().toStdString() + "/" + name, pass));
        outcome = pass.outcome();
    }
    if (hasOutput) {
        const DeviceProfile profile = profileFor(outputKind, options.dpi);
        PagePass pass(*setup, profile, messagesFor(outputKind),
                      opsLog && opsKind == outputKind ? &*opsLog : nullptr);
        if (failed(drawPage(outputKind, options.dpi, *options.output, pass))) {
            return 2;
        }
        outcome = pass.outcome();
    }
    if (opsLog && failed(opsLog->commit())) {
        return 2;
    }
    return outcome && !outcome->allDrawn ? 1 : 0;
}

}  // namespace kavlo
