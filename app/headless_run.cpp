#include "headless_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display_choice.h"
#include "stream_messages.h"

namespace kavlo {
namespace {

// Ours alone: a real folder (not a link someone planted), owned by us, closed to others.
bool privateFolder(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid()) {
        return false;
    }
    return (status.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

// The runtime folder of this user: named by the user id, not by $USER, which may be unset or
// say anything; a fresh one of its own when that name is taken by someone else.
std::string runtimeFolder() {
    const std::string temp = QDir::tempPath().toStdString();
    const std::string named = temp + "/runtime-" + std::to_string(::geteuid());
    ::mkdir(named.c_str(), 0700);
    if (privateFolder(named)) {
        return named;
    }
    std::string fresh = temp + "/kavlo-runtime-XXXXXX";
    return ::mkdtemp(fresh.data()) ? fresh : std::string();
}

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
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        if (const std::string folder = runtimeFolder(); !folder.empty()) {
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
        }
    }
}

}  // namespace kavlo
