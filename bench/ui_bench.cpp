#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "application_folder.h"
#include "ui/canvas_window.h"
#include "ui/main_window.h"

namespace kavlo {
namespace {

// The main window on a fresh application folder with the samples in its boxes.
struct Windows {
    Windows() : session(dir.path().toStdString()) {
        seedApplicationFolder(session.appFolder);
        window.startUp();
    }
    QTemporaryDir dir;
    Session session;
    SilentMessages messages;
    MainWindow window{session, messages};
};

// From the draw button to the canvas showing the sample page.
void BM_DrawRequestSamples(benchmark::State& state) {
    Windows windows;
    for (auto _ : state) {
        windows.window.drawRequest();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DrawRequestSamples)->Unit(benchmark::kMillisecond);

// One view button: the chosen graphs turn and the page is drawn again.
void BM_ViewButtonRedraw(benchmark::State& state) {
    Windows windows;
    windows.window.drawRequest();
    CanvasWindow* canvas = windows.window.canvas();
    canvas->setMessageSink(windows.messages);
    // Left and right in turn, so the graphs stay on the page however long the run.
    QPushButton* turns[] = {canvas->findChild<QPushButton*>("turnLeftButton"),
                            canvas->findChild<QPushButton*>("turnRightButton")};
    int k = 0;
    for (auto _ : state) {
        turns[k++ % 2]->click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ViewButtonRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
