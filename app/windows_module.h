#pragma once

#include <iosfwd>

#include "gui_command.h"
#include "print_command.h"

// The entry points of the windows' module, by C names so that the program finds them without
// mangling. Each makes the QApplication its work needs from the program's arguments.
extern "C" {
int kavloRunWindows(int& argc, char** argv, const kavlo::GuiOptions& options, std::ostream& err);
int kavloRunPrint(int& argc, char** argv, const kavlo::PrintOptions& options, std::ostream& err);
}

namespace kavlo {

// The main window, from the module. A module that cannot be loaded is told on `err`, and the
// status is 2.
int runWindows(int& argc, char** argv, const GuiOptions& options, std::ostream& err);
// `kavlo print`, from the module; a module that cannot be loaded prints nothing.
int runPrintJob(int& argc, char** argv, const PrintOptions& options, std::ostream& err);

}  // namespace kavlo
