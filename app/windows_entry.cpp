#include <QApplication>

#include "windows_module.h"

int kavloRunWindows(int& argc, char** argv, const kavlo::GuiOptions& options, std::ostream& err) {
    QApplication app(argc, argv);
    return kavlo::runGui(options, err);
}

int kavloRunPrint(int& argc, char** argv, const kavlo::PrintOptions& options, std::ostream& err) {
    QApplication app(argc, argv);
    return kavlo::runPrint(options, err);
}
