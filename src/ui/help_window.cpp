#include "help_window.h"

#include <QFileInfo>
#include <QUrl>

namespace kavlo {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("HelpWindow");
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

}  // namespace kavlo
