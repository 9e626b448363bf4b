#pragma once

namespace kavlo {

// Readies the environment of a command-line verb that needs a Qt GUI application on a machine
// that may have no display: the offscreen platform where no display answers (or none is set).
// Qt's own warnings are dropped; its critical and fatal errors are still told.
void prepareHeadlessRun();

}  // namespace kavlo
