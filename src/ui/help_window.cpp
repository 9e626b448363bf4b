#include "help_window.h"

#include <QFileInfo>
#include <QUrl>

// The help lives in a static library, whose resources are registered only on request.
static void registerHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace kavlo {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("helpWindow");
    setWindowTitle("Kavlo ヘルプ");
    setOpenExternalLinks(true);
    resize(760, 820);
}

bool HelpWindow::open(const QString& helpFile) {
    const QFileInfo info(helpFile);
    if (!info.isFile() || !info.isReadable()) {
        return false;
    }
    // The file is HTML whatever its extension says.
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    setSearchPaths({info.absolutePath()});
    setHtml(QString::fromUtf8(file.readAll()));
    scrollToAnchor("contents");
    return true;
}

QString helpFileIn(const std::filesystem::path& folder) {
    const QString own = QString::fromStdString((folder / "Kavlo.hlp").string());
    if (QFileInfo::exists(own)) {
        return own;
    }
    registerHelpResource();
    return ":/help/Kavlo.hlp";
}

}  // namespace kavlo
