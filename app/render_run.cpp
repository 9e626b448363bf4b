#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <future>
#include <iostream>
#include <ostream>
#include <sstream>

#include "core/atomic_file.h"
#include "core/opened_files.h"
#include "devices/output_device.h"
#include "devices/screen_measure.h"
#include "page_setup_source.h"
#include "render/page_composition.h"
#include "render/plot_budget.h"
#include "render_command.h"
#include "standard_output.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

// The ops log, written as the pages are drawn; a page of millions of facets logs gigabytes.
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

// "ページ 2: ", which starts every line about one page of several.
std::string pageLabel(int page, int pageCount) {
    return pageCount > 1 ? "ページ " + std::to_string(page + 1) + ": " : "";
}

// The set-ups of the pages: of the path files, of the data files, or of the application folder.
struct LoadedPages {
    std::vector<PageSetup> setups;
    // A data file given found no slot.
    bool filesLeftOut = false;
};

std::optional<LoadedPages> loadPages(const RenderOptions& options, std::ostream& err) {
    LoadedPages loaded;
    if (!options.dataFiles.empty()) {
        // The header settings of the main window's first run: the first face, size "3", centred.
        PageSetup base;
        base.header = {"", 0, 2, 1};
        for (const FileKind kind : kFileKinds) {
            base.picker(kind).pattern = defaultPattern(kind);
        }
        OpenedFiles opened = placeOpenedFiles(base, options.dataFiles);
        if (const auto message = leftOutFilesMessage(opened)) {
            StreamMessages(err).show(*message);
            loaded.filesLeftOut = true;
        }
        loaded.setups.push_back(std::move(opened.setup));
    } else if (options.pathFiles.empty()) {
        auto setup = loadCommandSetup({options.home, std::nullopt}, "render", err);
        if (!setup) {
            return std::nullopt;
        }
        loaded.setups.push_back(std::move(*setup));
    }
    const int pageCount = static_cast<int>(options.pathFiles.size());
    for (int page = 0; page < pageCount; ++page) {
        auto setup =
            loadCommandSetup({options.home, options.pathFiles[static_cast<std::size_t>(page)]},
                             "render", err, pageLabel(page, pageCount));
        if (!setup) {
            return std::nullopt;
        }
        loaded.setups.push_back(std::move(*setup));
    }
    if (options.header) {
        for (PageSetup& setup : loaded.setups) {
            setup.header.text = *options.header;
        }
    }
    return loaded;
}

// "kavlo render: ページ k / n" on a terminal, rewritten in place as the pages are drawn.
class ProgressLine {
  public:
    ProgressLine(std::ostream& err, int pageCount)
        : err_(err),
          pageCount_(pageCount),
          shown_(pageCount > 1 && &err == &std::cerr && isatty(STDERR_FILENO)) {}

    void show(int page) {
        if (shown_) {
            clear();
            line_ = "kavlo render: ページ " + std::to_string(page + 1) + " / " +
                    std::to_string(pageCount_);
            err_ << line_ << std::flush;
        }
    }
    // Before other lines, and at the end.
    void clear() {
        if (shown_ && !line_.empty()) {
            err_ << '\r' << std::string(line_.size() * 2, ' ') << '\r' << std::flush;
            line_.clear();
        }
    }

  private:
    std::ostream& err_;
    int pageCount_;
    bool shown_;
    std::string line_;
};

// Reads the page as the screen does, telling its messages, and draws nothing.
PageOutcome readPage(const PageRequest& request, MessageSink& messages) {
    const DeviceProfile profile = screenProfile();
    ScreenMeasure screen;
    return runPagePass(request, {screen.surface(), profile, messages, screen.surface(), {}, false});
}

// The passes of each page: the ops log's own when it logs another device than the output's,
// the output's, and the reading that tells the messages when neither tells them. The messages
// of a page are told once it is done, in reading order.
class PageBatch {
  public:
    PageBatch(const RenderOptions& options, std::vector<PageSetup> setups, OpsLog* opsLog,
              ProgressLine& progress, std::ostream& err)
        : options_(options),
          setups_(std::move(setups)),
          opsLog_(opsLog),
          progress_(progress),
          err_(err),
          output_(options.output ? options.format : nullptr),
          opsDevice_(options.device ? *options.device
                     : output_      ? *output_
                                    : outputDevice(OutputKind::Screen)),
          opsPassOfItsOwn_(opsLog && (!output_ || &opsDevice_ != output_)) {}

    int pageCount() const { return static_cast<int>(setups_.size()); }
    bool allDrawn() const { return allDrawn_; }
    bool drawn(int page) const { return page < drawnPages_; }
    // The page being drawn, or the last one drawn.
    int current() const { return current_; }
    std::string label(int page) const { return pageLabel(page, pageCount()); }

    // Page `page`'s passes, the output's on `surface`.
    void draw(int page, DrawSurface* surface) {
        current_ = page;
        progress_.show(page);
        const PageRequest request = requestOf(page);
        std::ostringstream lines;
        StreamMessages messages(lines, label(page));
        const bool messagesTold = (surface && output_->readingShowsMessages) ||
                                  (opsPassOfItsOwn_ && opsDevice_.readingShowsMessages);
        // The output's pass decides the status; without one, the ops pass or the reading does.
        PageOutcome outcome;
        std::ostringstream readingLines;
        StreamMessages readingMessages(readingLines, label(page));
        std::future<PageOutcome> reading;
        if (!messagesTold) {
            if (surface || opsPassOfItsOwn_) {
                // Alongside the passes: its lines are held back until they are done.
                reading = std::async(std::launch::async,
                                     [&] { return readPage(request, readingMessages); });
            } else {
                outcome = readPage(request, messages);
            }
        }
        const auto tell = [&] {
            progress_.clear();
            err_ << lines.str() << readingLines.str();
        };
        try {
            if (opsPassOfItsOwn_) {
                logOnItsOwn(request, messages, outcome);
            }
            if (surface) {
                const OpsLine log = opsLog_ && &opsDevice_ == output_ ? logLine() : OpsLine{};
                outcome = drawPagePass({*output_, dpi(*output_), request, messages, log}, *surface);
            }
            if (reading.valid()) {
                reading.get();
            }
        } catch (...) {
            if (reading.valid()) {
                reading.wait();
            }
            tell();
            throw;
        }
        tell();
        allDrawn_ = allDrawn_ && outcome.allDrawn;
        drawnPages_ = std::max(drawnPages_, page + 1);
    }

    // Tells the messages of a page whose output could not be opened.
    void read(int page) {
        StreamMessages messages(err_, label(page));
        progress_.clear();
        allDrawn_ = readPage(requestOf(page), messages).allDrawn && allDrawn_;
    }

    int dpi(const OutputDevice& device) const { return options_.dpi.value_or(device.defaultDpi); }

  private:
    PageRequest requestOf(int page) const {
        return {setups_[static_cast<std::size_t>(page)], {}, options_.selection};
    }

    OpsLine logLine() const {
        return [log = opsLog_](const std::string& line) { log->add(line); };
    }

    // The calls of the logged device, on a page thrown away however it fared.
    void logOnItsOwn(const PageRequest& request, MessageSink& messages, PageOutcome& outcome) {
        if (!scratch_) {
            scratch_.emplace();
        }
        const std::filesystem::path page =
            scratch_
                ->filePath("page" +
                           QString::fromUtf8(opsDevice_.extension.data(),
                                             static_cast<qsizetype>(opsDevice_.extension.size())))
                .toStdString();
        static_cast<void>(writePageFile({opsDevice_, dpi(opsDevice_), request, messages, logLine()},
                                        page, outcome));
    }

    const RenderOptions& options_;
    std::vector<PageSetup> setups_;
    OpsLog* opsLog_;
    ProgressLine& progress_;
    std::ostream& err_;
    const OutputDevice* output_;
    const OutputDevice& opsDevice_;
    bool opsPassOfItsOwn_;
    std::optional<QTemporaryDir> scratch_;
    bool allDrawn_ = true;
    int drawnPages_ = 0;
    int current_ = 0;
};

// Writes the pages into the output: one file per page when its name is numbered, else one
// document (to standard output through a finished scratch copy). On a failure, the page whose
// file it was, or nothing for the one document.
struct Written {
    WriteResult result;
    std::optional<int> page;
};

Written writeBatch(const RenderOptions& options, PageBatch& batch) {
    const OutputDevice& format = *options.format;
    const int dpi = batch.dpi(format);
    const PageFileName& name = *options.output;
    const auto document = [&](const std::filesystem::path& path) {
        return writeDocumentFile(
            format, dpi, options.selection, path, batch.pageCount(),
            [&](int page, DrawSurface& surface) { batch.draw(page, &surface); });
    };
    if (name.numbered()) {
        for (int page = 0; page < batch.pageCount(); ++page) {
            WriteResult result =
                writeDocumentFile(format, dpi, options.selection, name.forPage(page + 1), 1,
                                  [&](int, DrawSurface& surface) { batch.draw(page, &surface); });
            if (!result.ok()) {
                return {std::move(result), page};
            }
        }
        return {};
    }
    if (!options.toStandardOutput()) {
        return {document(name.forPage(1)), std::nullopt};
    }
    const QTemporaryDir scratch;
    const std::filesystem::path copy =
        scratch.filePath(QStringLiteral("document")).toStdString() + std::string(format.extension);
    WriteResult result = document(copy);
    if (result.ok()) {
        result = copyToStandardOutput(copy);
    }
    return {std::move(result), std::nullopt};
}

}  // namespace

int runRender(const RenderOptions& options, std::ostream& err,
              const std::function<void()>& readyToDraw) {
    auto loaded = loadPages(options, err);
    if (!loaded) {
        return kRenderUsageError;
    }
    if (readyToDraw && std::ranges::any_of(loaded->setups, composesAnything)) {
        readyToDraw();
    }
    const auto failed = [&](const WriteResult& result, const std::string& label = {}) {
        if (!result.ok()) {
            err << "kavlo render: " << label << terminalText(result.message) << "\n";
        }
        return !result.ok();
    };
    std::optional<OpsLog> opsLog;
    if (options.opsLog) {
        opsLog.emplace(*options.opsLog);
        if (failed(opsLog->open())) {
            return kRenderNotWritten;
        }
    }
    ProgressLine progress(err, static_cast<int>(loaded->setups.size()));
    PageBatch batch(options, std::move(loaded->setups), opsLog ? &*opsLog : nullptr, progress, err);
    // A page too large for the device is refused whole: no output, the old file kept.
    try {
        if (!options.output) {
            for (int page = 0; page < batch.pageCount(); ++page) {
                batch.draw(page, nullptr);
            }
        } else if (const Written written = writeBatch(options, batch); !written.result.ok()) {
            // A lone page's messages come before the failure, even when it was never drawn.
            if (batch.pageCount() == 1 && !batch.drawn(0)) {
                batch.read(0);
            }
            failed(written.result, written.page ? batch.label(*written.page) : "");
            return kRenderNotWritten;
        }
    } catch (const PageTooLarge& refused) {
        progress.clear();
        StreamMessages(err, batch.label(batch.current())).show(refused.message());
        return kRenderNotWritten;
    }
    progress.clear();
    if (opsLog && failed(opsLog->commit())) {
        return kRenderNotWritten;
    }
    return batch.allDrawn() && !loaded->filesLeftOut ? kRenderDrawn : kRenderSlotLeftOut;
}

}  // namespace kavlo
