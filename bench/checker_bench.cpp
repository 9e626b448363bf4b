#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <vector>

#include "ui/checker_window.h"
#include "ui/graph_preview_view.h"

namespace kavlo {
namespace {

// Reads on past the 10000th line; answers every other question with its first button.
class ReadWholeFiles final : public MessageSink {
  public:
    MessageAnswer show(const Message& message) override {
        return message.buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                           : defaultAnswer(message.buttons);
    }
};

// A numeric file of 100,000 CR LF lines, about 3 MB, open in the checker.
struct OpenChecker {
    OpenChecker() : session(dir.path().toStdString()), path(dir.filePath("numeric.dat")) {
        std::ofstream out(path.toStdString(), std::ios::binary);
        char line[64];
        for (int k = 0; k < 100000; ++k) {
            std::snprintf(line, sizeof line, "%8.3f, %9.4f, %10.5f\r\n", k * 0.001, k % 97 * 1.25,
                          (k % 1013) * -0.03125);
            out << line;
        }
        out.close();
        window.openFile(path, 21);
        QApplication::processEvents();
        if (window.isReadOnlyText()) {
            std::abort();
        }
    }
    void click(const char* name) { window.findChild<QPushButton*>(name)->click(); }

    QTemporaryDir dir;
    Session session;
    ReadWholeFiles messages;
    QString path;
    CheckerWindow window{session, messages};
};

// From the file to the editor showing it.
void BM_CheckerOpen100kLines(benchmark::State& state) {
    OpenChecker checker;
    for (auto _ : state) {
        checker.window.openFile(checker.path, 21);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CheckerOpen100kLines)->Unit(benchmark::kMillisecond);

void BM_CheckerLineEndConversion100kLines(benchmark::State& state) {
    OpenChecker checker;
    for (auto _ : state) {
        checker.click("lineEndButton");
    }
    if (!checker.window.hasUnsavedEdits()) {
        state.SkipWithError("the conversion did not run");
    }
}
BENCHMARK(BM_CheckerLineEndConversion100kLines)->Unit(benchmark::kMillisecond);

// Encoding and the atomic write over the opened file.
void BM_CheckerSave100kLines(benchmark::State& state) {
    OpenChecker checker;
    for (auto _ : state) {
        checker.click("saveButton");
    }
}
BENCHMARK(BM_CheckerSave100kLines)->Unit(benchmark::kMillisecond);

// From a change of the sample's plot type, typed or made in the form, to the preview drawn
// again: the slowest of the steps that most are faster than is what a typing user waits.
void BM_CheckerPreviewAfterAChange(benchmark::State& state) {
    const QString samples = KAVLO_SAMPLES_DIR;
    Session session(samples.toStdString());
    ReadWholeFiles messages;
    CheckerWindow window(session, messages);
    window.openFile(samples + "/frmqap1.dat", 11, samples + "/g01.dat");
    window.findChild<QTabWidget*>("formatPanel")->setCurrentIndex(1);
    auto* preview = window.findChild<GraphPreviewView*>("graphPreview");
    auto* editor = window.findChild<QPlainTextEdit*>("editor");
    QEventLoop loop;
    QObject::connect(preview, &GraphPreviewView::redrawn, &loop, &QEventLoop::quit);
    loop.exec();
    std::vector<double> steps;
    int plotType = 1;
    for (auto _ : state) {
        plotType = plotType % 8 + 1;
        const auto start = std::chrono::steady_clock::now();
        QTextCursor last(editor->document()->findBlockByNumber(5));
        last.movePosition(QTextCursor::EndOfBlock);
        last.deletePreviousChar();
        last.insertText(QString::number(plotType));
        loop.exec();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        steps.push_back(took.count() * 1000);
    }
    std::sort(steps.begin(), steps.end());
    state.counters["p50_ms"] = steps[steps.size() / 2];
    state.counters["p95_ms"] = steps[steps.size() * 95 / 100];
}
BENCHMARK(BM_CheckerPreviewAfterAChange)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
