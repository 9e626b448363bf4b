#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "application_folder.h"
#include "ui/canvas_window.h"
#include "ui/main_window.h"
#include "ui/page_view.h"

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

// The sample page on the canvas, at the resolution of the screen's device pixel ratio
// (QT_SCALE_FACTOR=2 for 200 %), which the run reports.
struct Canvas : Windows {
    explicit Canvas(benchmark::State& state) {
        window.drawRequest();
        canvas = window.canvas();
        canvas->setMessageSink(messages);
        page = canvas->findChild<QWidget*>("pageView");
        state.counters["dpi"] = session.redraw.dpi();
    }
    // The middle of slot `slot`'s frame floor, page pixels.
    QPoint onSlot(int slot) const {
        const FrameCorners& f = *session.pageOutcome.frames.at(static_cast<std::size_t>(slot));
        return PageView::mmToPixel({(f.XEndX + f.YEndX) / 2, (f.XEndY + f.YEndY) / 2});
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, page->mapToGlobal(at), button, buttons, Qt::ControlModifier);
        QApplication::sendEvent(page, &event);
    }
    CanvasWindow* canvas = nullptr;
    QWidget* page = nullptr;
};

// One view button: the chosen graphs turn and the page is drawn again. Argument: the group
// choice's entry (0: all six slots).
void BM_ViewButtonRedraw(benchmark::State& state) {
    Canvas windows(state);
    CanvasWindow* canvas = windows.canvas;
    canvas->findChild<QComboBox*>("groupChoice")->setCurrentIndex(static_cast<int>(state.range(0)));
    // Left and right in turn, so the graphs stay on the page however long the run.
    QPushButton* turns[] = {canvas->findChild<QPushButton*>("turnLeftButton"),
                            canvas->findChild<QPushButton*>("turnRightButton")};
    int k = 0;
    for (auto _ : state) {
        turns[k++ % 2]->click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ViewButtonRedraw)->Arg(0)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

// One step of a Ctrl + drag over slot `range(0)`: the slot turns and the page is drawn again.
void BM_CtrlDragTurnStep(benchmark::State& state) {
    Canvas windows(state);
    const QPoint at = windows.onSlot(static_cast<int>(state.range(0)));
    windows.mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    // Right and back in turn, a step each.
    const QPoint places[] = {at + QPoint(8, 0), at};
    int k = 0;
    for (auto _ : state) {
        windows.mouse(QEvent::MouseMove, places[k++ % 2], Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
    }
    windows.mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_CtrlDragTurnStep)->DenseRange(1, 6, 5)->Arg(3)->Unit(benchmark::kMillisecond);

// One notch of Ctrl + wheel over slot `range(0)`: the slot stretches and the page is drawn again.
void BM_CtrlWheelStretchStep(benchmark::State& state) {
    Canvas windows(state);
    const QPoint at = windows.onSlot(static_cast<int>(state.range(0)));
    int k = 0;
    for (auto _ : state) {
        QWheelEvent event(at, windows.page->mapToGlobal(at), {}, {0, k++ % 2 ? -120 : 120},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(windows.page, &event);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CtrlWheelStretchStep)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kavlo
