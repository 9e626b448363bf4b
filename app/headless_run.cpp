#include "headless_run.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <string>

#include "display_choice.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

// Scripts read the verbs' error stream: Qt's warnings about fonts and platforms are noise there,
// and the words of ours say what went wrong. What Qt cannot go on from is still told.
void toldWhenSevere(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        const std::string line = qFormatLogMessage(type, context, text).toStdString();
        std::fprintf(stderr, "%s\n", terminalText(line).c_str());
    }
}

}  // namespace

void prepareHeadlessRun() {
    qInstallMessageHandler(toldWhenSevere);
    // The verbs draw into files: where no display answers, they need none.
    if (!chooseDisplay().empty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace kavlo
